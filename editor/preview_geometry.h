// The arithmetic of the monitor layout preview: the monitors of the desktop shifted into
// non-negative coordinates, their bounding box fitted into the preview's client area, and
// screen rectangles (monitors, item windows) scaled into preview pixels.
#pragma once

#include <span>
#include <vector>

#include "platform/desktop.h"

namespace keyrack {

struct PixelSize {
    int width = 0, height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// What is added to every screen coordinate so that the layout lies at x >= 0 and y >= 0: the
// absolute value of the least left edge, counted from -1 (so a layout that already starts at
// x = 0 moves one pixel right), and of the least top edge, counted from 0.
struct PreviewOffsets {
    int horizontal = 0, vertical = 0;
    friend bool operator==(const PreviewOffsets&, const PreviewOffsets&) = default;
};

PreviewOffsets MonitorOffsets(std::span<const Rect> monitors);

// The monitors moved by the offsets, in the same order.
std::vector<Rect> ShiftMonitors(std::span<const Rect> monitors, PreviewOffsets offsets);

// The bounding box of the shifted monitors: least left and top, greatest right and bottom, so
// stacked monitors and monitors with different top edges keep their real arrangement. All 0
// without monitors.
Rect LayoutExtent(std::span<const Rect> shifted);

// The extent fitted into a client area, keeping its proportions: the full client width when the
// height that goes with it fits, otherwise the full client height. Integer arithmetic with
// truncating division. 0 x 0 for an empty extent or client area, so nothing divides by zero.
PixelSize FitLayout(const Rect& extent, int clientWidth, int clientHeight);

// A shifted screen rectangle in preview pixels: each edge's distance from the extent's left
// (top) edge, divided by the extent's width (height) and multiplied by the scaled width
// (height) in double precision, truncated toward zero. All 0 for an empty extent.
Rect ScaleToPreview(const Rect& shifted, const Rect& extent, PixelSize scaled);

// The top of the layout in a client area of this height: centred, each half truncated.
int LayoutTop(int clientHeight, PixelSize scaled);

// The gathered monitors and their fit into the current client area.
class PreviewLayout {
  public:
    PreviewLayout() = default;
    // `monitors` are screen rectangles in the order the platform enumerates them.
    PreviewLayout(std::span<const Rect> monitors, int clientWidth, int clientHeight);

    // Refits the layout into a new client area.
    void Resize(int clientWidth, int clientHeight);

    // An item window (screen position and size) in preview pixels.
    Rect ItemRect(int x, int y, int width, int height) const;

    bool HasMonitors() const { return !m_shifted.empty(); }
    PreviewOffsets Offsets() const { return m_offsets; }
    const Rect& Extent() const { return m_extent; }
    PixelSize Scaled() const { return m_scaled; }
    // The monitors in preview pixels, relative to the layout's top left corner.
    const std::vector<Rect>& MonitorPixels() const { return m_monitorPixels; }
    // Where the layout's top edge stands in the client area.
    int Top() const { return LayoutTop(m_clientHeight, m_scaled); }

  private:
    PreviewOffsets m_offsets;
    std::vector<Rect> m_shifted;
    Rect m_extent;
    int m_clientHeight = 0;
    PixelSize m_scaled;
    std::vector<Rect> m_monitorPixels;
};

}  // namespace keyrack
