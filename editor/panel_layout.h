// Where the slot editor puts its panels and where each panel puts the controls it took over,
// as plain functions of the client size, so the windows only move what these return.
#pragma once

#include <array>
#include <optional>

#include "platform/desktop.h"

namespace keyrack {

// A window's place as MoveWindow takes it.
struct Placement {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const Placement&, const Placement&) = default;
};

struct ControlPlacement {
    int id;  // the control's id in the editor's dialog template
    Placement place;
};

struct Margins {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const Margins&, const Margins&) = default;
};

// Every panel: rounded corners of this diameter and a rim of this width.
inline constexpr int kPanelCornerDiameter = 10;
inline constexpr int kPanelBorderWidth = 2;
// The information and position panels: margins on every side, row heights and the gap.
inline constexpr int kPanelMargin = 10;
inline constexpr int kPanelLabelHeight = 25;
inline constexpr int kPanelEditHeight = 25;
inline constexpr int kPanelGap = 10;
// The information panel is sized to its content: margins, three label rows, three edit rows
// and two gaps.
inline constexpr int kInfoPanelHeight =
    2 * kPanelMargin + 3 * kPanelLabelHeight + 3 * kPanelEditHeight + 2 * kPanelGap;

// The margins a panel gives a single child when none were set: the distance, cut to whole
// pixels, from the corner to where the 45-degree diagonal meets the corner's arc, and one more
// on the right and at the bottom. (1, 1, 2, 2) for the corner diameter 10.
Margins MarginsFromCorner(int cornerDiameter);

// Where a panel with a client area `client` puts its single child: inside the margins and the
// rim. Nothing (the child keeps its place) when the panel was resized to no width or height.
std::optional<Placement> ContainerChildPlacement(int cx, int cy, const Rect& client,
                                                 const Margins& margins, int borderWidth);

// The position panel: four label-edit pairs every 109 pixels, the maximise box, and the
// preview filling the rest below the row. Ids of the editor's dialog template.
std::array<ControlPlacement, 10> PositionPanelLayout(int cx, int cy, const Margins& margins);

// The information panel: the icon centred over the save and remove buttons in a left column,
// the three label-edit pairs in a text column to its right.
std::array<ControlPlacement, 9> InfoPanelLayout(int cx, int cy);

// The editor's own controls and its three panels in a client area of cx x cy.
struct EditorLayout {
    std::array<ControlPlacement, 5> controls;  // the two labels, the slot name, OK, Cancel
    Placement listPanel, infoPanel, displayPanel;
};
EditorLayout EditorDialogLayout(int cx, int cy);

// The editor's window: 1000 x 750 pixels, centred on a screen of this size (halves truncated).
Placement EditorWindowPlacement(int screenWidth, int screenHeight);

}  // namespace keyrack
