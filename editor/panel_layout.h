// Where the slot editor puts everything: its three panels and every control, in the editor's
// client area, from one function of the client size and the window's DPI. The design's sizes
// are pixels at 96 DPI, each scaled to the DPI; distances from the right and bottom edges
// follow the client size. The windows only move what this returns.
#pragma once

#include <array>
#include <vector>

#include "platform/desktop.h"

namespace keyrack {

// A window's place as MoveWindow takes it.
struct Placement {
    int x = 0, y = 0, width = 0, height = 0;
    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
    friend bool operator==(const Placement&, const Placement&) = default;
};

// The panel a control stands on (it takes the panel's colours), or none (the dialog's own).
enum class PanelId { kNone = -1, kList = 0, kInfo = 1, kPosition = 2 };

struct ControlPlacement {
    int id;  // the control's id in the editor's dialog template
    Placement place;
    PanelId panel = PanelId::kNone;
};

// Every panel: rounded corners of this diameter and a rim of this width (96-DPI pixels).
inline constexpr int kPanelCornerDiameter = 10;
inline constexpr int kPanelBorderWidth = 2;

struct PanelStyle {
    int corner = kPanelCornerDiameter;
    int border = kPanelBorderWidth;
};

struct EditorLayout {
    std::array<Placement, 3> panels;  // indexed by PanelId
    std::vector<ControlPlacement> controls;
    PanelStyle style;
};

// The whole editor in a client area of cx x cy physical pixels at `dpi`. At 96 DPI every
// place is the one the design gives in pixels.
EditorLayout EditorDialogLayout(int cx, int cy, int dpi);

// The editor's window on a monitor: 1000 x 750 design pixels scaled to `dpi`, centred on the
// monitor (halves truncated) as long as that lies inside the work area; otherwise as much of
// that size as fits the work area, centred on it.
Placement EditorWindowPlacement(const Rect& monitor, const Rect& workArea, int dpi);

}  // namespace keyrack
