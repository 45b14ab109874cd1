// Rectangles of monitors that are gone: a slot captured on an external monitor, deployed on an
// undocked laptop, would put its windows where no monitor is. Such a rectangle is moved onto
// the nearest monitor; the slot keeps the stored one.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/desktop.h"

namespace keyrack {

// The smallest piece of a window on one monitor that the user can still see and grab.
inline constexpr int kMinVisibleWidth = 100;
inline constexpr int kMinVisibleHeight = 40;

// The monitor MonitorFromRect(MONITOR_DEFAULTTONEAREST) picks: the one the rectangle overlaps
// most, or, when it overlaps none, the one closest to it. Null when there is no monitor.
const MonitorInfo* NearestMonitor(const Rect& rect, const std::vector<MonitorInfo>& monitors);

// The rectangle of a stored position and size, worked out in 64 bits so that no field value
// overflows: the size cut to the virtual screen (the monitors' bounding box; -32768..32767
// without monitors) and a negative size to 0, the corner kept within reach of it (no further
// than one window size beyond each edge).
Rect StoredRect(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height,
                const std::vector<MonitorInfo>& monitors);

// `rect` itself when a piece of it at least kMinVisibleWidth x kMinVisibleHeight lies on one
// of `monitors` (or there are none); otherwise `rect` shrunk to the nearest monitor's work area
// where it is larger, then shifted the shortest way into that work area.
Rect FitOnMonitors(const Rect& rect, const std::vector<MonitorInfo>& monitors);

}  // namespace keyrack
