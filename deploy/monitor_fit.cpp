#include "deploy/monitor_fit.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace keyrack {
namespace {

Rect Intersection(const Rect& a, const Rect& b) {
    return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

std::int64_t OverlapArea(const Rect& a, const Rect& b) {
    const Rect piece = Intersection(a, b);
    if (piece.Width() <= 0 || piece.Height() <= 0) return 0;
    return static_cast<std::int64_t>(piece.Width()) * piece.Height();
}

// Squared distance between the closest points of two rectangles; 0 when they touch.
std::int64_t DistanceSquared(const Rect& a, const Rect& b) {
    const std::int64_t dx = std::max({0, b.left - a.right, a.left - b.right});
    const std::int64_t dy = std::max({0, b.top - a.bottom, a.top - b.bottom});
    return dx * dx + dy * dy;
}

bool HasUsablePiece(const Rect& rect, const MonitorInfo& monitor) {
    const Rect piece = Intersection(rect, monitor.monitor);
    return piece.Width() >= kMinVisibleWidth && piece.Height() >= kMinVisibleHeight;
}

// Shifts [start, start + length) the shortest way into [low, high); `length` fits.
int ShiftInto(int start, int length, int low, int high) {
    return std::clamp(start, low, std::max(low, high - length));
}

Rect VirtualScreen(const std::vector<MonitorInfo>& monitors) {
    if (monitors.empty()) return Rect{-32768, -32768, 32767, 32767};
    Rect screen = monitors.front().monitor;
    for (const MonitorInfo& info : monitors) {
        screen.left = std::min(screen.left, info.monitor.left);
        screen.top = std::min(screen.top, info.monitor.top);
        screen.right = std::max(screen.right, info.monitor.right);
        screen.bottom = std::max(screen.bottom, info.monitor.bottom);
    }
    return screen;
}

// [start, start + length) with length cut to [0, high - low] and start to [low - length, high].
std::pair<int, int> ClampSpan(std::int64_t start, std::int64_t length, int low, int high) {
    const std::int64_t cut = std::clamp<std::int64_t>(length, 0, std::int64_t{high} - low);
    const std::int64_t at = std::clamp<std::int64_t>(start, low - cut, high);
    return {static_cast<int>(at), static_cast<int>(at + cut)};
}

}  // namespace

Rect StoredRect(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height,
                const std::vector<MonitorInfo>& monitors) {
    const Rect screen = VirtualScreen(monitors);
    const auto [left, right] = ClampSpan(x, width, screen.left, screen.right);
    const auto [top, bottom] = ClampSpan(y, height, screen.top, screen.bottom);
    return Rect{left, top, right, bottom};
}

const MonitorInfo* NearestMonitor(const Rect& rect, const std::vector<MonitorInfo>& monitors) {
    const MonitorInfo* best = nullptr;
    std::int64_t bestArea = 0;
    for (const MonitorInfo& monitor : monitors) {
        const std::int64_t area = OverlapArea(rect, monitor.monitor);
        if (area > bestArea) {
            best = &monitor;
            bestArea = area;
        }
    }
    if (best) return best;
    std::int64_t bestDistance = 0;
    for (const MonitorInfo& monitor : monitors) {
        const std::int64_t distance = DistanceSquared(rect, monitor.monitor);
        if (!best || distance < bestDistance) {
            best = &monitor;
            bestDistance = distance;
        }
    }
    return best;
}

Rect FitOnMonitors(const Rect& rect, const std::vector<MonitorInfo>& monitors) {
    if (std::any_of(monitors.begin(), monitors.end(),
                    [&](const MonitorInfo& monitor) { return HasUsablePiece(rect, monitor); }))
        return rect;
    const MonitorInfo* nearest = NearestMonitor(rect, monitors);
    if (!nearest) return rect;
    const Rect& work = nearest->workArea;
    const int width = std::min(rect.Width(), work.Width());
    const int height = std::min(rect.Height(), work.Height());
    const int left = ShiftInto(rect.left, width, work.left, work.right);
    const int top = ShiftInto(rect.top, height, work.top, work.bottom);
    return Rect{left, top, left + width, top + height};
}

}  // namespace keyrack
