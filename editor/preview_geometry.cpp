#include "editor/preview_geometry.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

namespace keyrack {

PreviewOffsets MonitorOffsets(std::span<const Rect> monitors) {
    int leftmost = -1;
    int topmost = 0;
    for (const Rect& monitor : monitors) {
        leftmost = std::min(leftmost, monitor.left);
        topmost = std::min(topmost, monitor.top);
    }
    return {std::abs(leftmost), std::abs(topmost)};
}

std::vector<Rect> ShiftMonitors(std::span<const Rect> monitors, PreviewOffsets offsets) {
    std::vector<Rect> shifted;
    shifted.reserve(monitors.size());
    for (const Rect& m : monitors) {
        shifted.push_back({m.left + offsets.horizontal, m.top + offsets.vertical,
                           m.right + offsets.horizontal, m.bottom + offsets.vertical});
    }
    return shifted;
}

Rect LayoutExtent(std::span<const Rect> shifted) {
    if (shifted.empty()) return {};
    Rect box = shifted.front();
    for (const Rect& m : shifted.subspan(1)) {
        box.left = std::min(box.left, m.left);
        box.top = std::min(box.top, m.top);
        box.right = std::max(box.right, m.right);
        box.bottom = std::max(box.bottom, m.bottom);
    }
    return box;
}

PixelSize FitLayout(const Rect& extent, int clientWidth, int clientHeight) {
    const std::int64_t vw = extent.Width();
    const std::int64_t vh = extent.Height();
    if (vw <= 0 || vh <= 0 || clientWidth <= 0 || clientHeight <= 0) return {};
    const std::int64_t fittedHeight = vh * clientWidth / vw;
    if (fittedHeight > clientHeight) {
        return {static_cast<int>(vw * clientHeight / vh), clientHeight};
    }
    return {clientWidth, static_cast<int>(fittedHeight)};
}

namespace {

// Division first, then multiplication, as the preview has always scaled. Item fields come from
// slot files and may hold any 32-bit value, so edges are doubles and the result is clamped to
// the int range before it is truncated.
int Scale(double coordinate, int origin, int span, int scaled) {
    const double value = (coordinate - origin) / span * scaled;
    return static_cast<int>(
        std::clamp(value, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

Rect ScaleEdges(double left, double top, double right, double bottom, const Rect& extent,
                PixelSize scaled) {
    const int vw = extent.Width();
    const int vh = extent.Height();
    if (vw <= 0 || vh <= 0) return {};
    return {Scale(left, extent.left, vw, scaled.width), Scale(top, extent.top, vh, scaled.height),
            Scale(right, extent.left, vw, scaled.width),
            Scale(bottom, extent.top, vh, scaled.height)};
}

}  // namespace

Rect ScaleToPreview(const Rect& shifted, const Rect& extent, PixelSize scaled) {
    return ScaleEdges(shifted.left, shifted.top, shifted.right, shifted.bottom, extent, scaled);
}

int LayoutTop(int clientHeight, PixelSize scaled) { return clientHeight / 2 - scaled.height / 2; }

PreviewLayout::PreviewLayout(std::span<const Rect> monitors, int clientWidth, int clientHeight)
    : m_offsets(MonitorOffsets(monitors)),
      m_shifted(ShiftMonitors(monitors, m_offsets)),
      m_extent(LayoutExtent(m_shifted)) {
    Resize(clientWidth, clientHeight);
}

void PreviewLayout::Resize(int clientWidth, int clientHeight) {
    m_clientHeight = clientHeight;
    m_scaled = FitLayout(m_extent, clientWidth, clientHeight);
    m_monitorPixels.clear();
    for (const Rect& monitor : m_shifted) {
        m_monitorPixels.push_back(ScaleToPreview(monitor, m_extent, m_scaled));
    }
}

Rect PreviewLayout::ItemRect(int x, int y, int width, int height) const {
    const double left = static_cast<double>(m_offsets.horizontal) + x;
    const double top = static_cast<double>(m_offsets.vertical) + y;
    return ScaleEdges(left, top, left + width, top + height, m_extent, m_scaled);
}

}  // namespace keyrack
