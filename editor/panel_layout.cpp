#include "editor/panel_layout.h"

#include <algorithm>

#include "platform/dpi_scale.h"
#include "res/resource.h"

namespace keyrack {
namespace {

// In 96-DPI pixels.
constexpr int kMargin = 10;
constexpr int kRow = 25;
constexpr int kGap = 10;
constexpr int kInfoHeight = 2 * kMargin + 3 * kRow + 3 * kRow + 2 * kGap;  // 190
constexpr int kWindowWidth = 1000;
constexpr int kWindowHeight = 750;

class Scaler {
  public:
    explicit Scaler(int dpi) : m_dpi(dpi) {}
    int operator()(int value) const { return ScaleDpi(value, m_dpi); }

  private:
    int m_dpi;
};

// The program list fills its panel inside the rim and the margins a corner of diameter 10
// leaves (1 on the left and at the top, 2 on the right and at the bottom).
void PlaceList(const Placement& panel, const Scaler& s, std::vector<ControlPlacement>& out) {
    const int near = s(1 + kPanelBorderWidth);
    const int both = s(1 + 2 + 2 * kPanelBorderWidth);
    out.push_back({IDC_EDITOR_LIST,
                   {panel.x + near, panel.y + near, panel.width - both, panel.height - both},
                   PanelId::kList});
}

// The icon centred over the save and remove buttons in a left column; the three label-edit
// pairs in a text column to its right.
void PlaceInfo(const Placement& panel, const Scaler& s, std::vector<ControlPlacement>& out) {
    constexpr int kButtonWidth = 75;
    constexpr int kIcon = 64;
    constexpr int kColumn = (kMargin + kButtonWidth + kGap + kButtonWidth + kGap) / 2;  // 90
    const int x = panel.x, y = panel.y;
    const int buttonRow = panel.height - s(kMargin + kRow);
    const int textX = x + s(2 * kColumn);
    const int textWidth = panel.width - s(kMargin + 2 * kColumn);
    // Each row ends where the next begins, whatever the rounding.
    auto text = [&](int id, int top) {
        out.push_back({id, {textX, y + s(top), textWidth, s(top + kRow) - s(top)}, PanelId::kInfo});
    };
    out.push_back(
        {IDC_EDITOR_ICON,
         {x + s(kColumn - kIcon / 2), y + buttonRow / 2 - s(kIcon / 2), s(kIcon), s(kIcon)},
         PanelId::kInfo});
    text(IDC_EDITOR_NAME_LABEL, kMargin);
    text(IDC_EDITOR_NAME, kMargin + kRow);
    text(IDC_EDITOR_PATH_LABEL, kMargin + 2 * kRow + kGap);
    text(IDC_EDITOR_PATH, kMargin + 3 * kRow + kGap);
    text(IDC_EDITOR_PARAMETERS_LABEL, kMargin + 4 * kRow + 2 * kGap);
    text(IDC_EDITOR_PARAMETERS, kMargin + 5 * kRow + 2 * kGap);
    out.push_back({IDC_EDITOR_SAVE,
                   {x + s(kMargin), y + buttonRow, s(kButtonWidth), s(kRow)},
                   PanelId::kInfo});
    out.push_back({IDC_EDITOR_REMOVE,
                   {x + s(kMargin + kButtonWidth + kGap), y + buttonRow, s(kButtonWidth), s(kRow)},
                   PanelId::kInfo});
}

// Four label-edit pairs every 109 pixels and the maximise box in a row; the preview fills the
// rest below it.
void PlacePosition(const Placement& panel, const Scaler& s, std::vector<ControlPlacement>& out) {
    constexpr int kPitch = 109;
    const int x = panel.x + s(kMargin), y = panel.y + s(kMargin);
    const int ids[][2] = {{IDC_EDITOR_X_LABEL, IDC_EDITOR_X},
                          {IDC_EDITOR_Y_LABEL, IDC_EDITOR_Y},
                          {IDC_EDITOR_W_LABEL, IDC_EDITOR_W},
                          {IDC_EDITOR_H_LABEL, IDC_EDITOR_H}};
    for (int k = 0; k < 4; ++k) {
        out.push_back({ids[k][0], {x + s(k * kPitch), y + s(5), s(25), s(25)}, PanelId::kPosition});
        out.push_back({ids[k][1], {x + s(k * kPitch + 29), y, s(70), s(kRow)}, PanelId::kPosition});
    }
    out.push_back(
        {IDC_EDITOR_MAXIMIZE, {x + s(4 * kPitch), y, s(70), s(kRow)}, PanelId::kPosition});
    out.push_back({IDC_EDITOR_PREVIEW,
                   {x, y + s(35), panel.width - s(2 * kMargin), panel.height - s(2 * kMargin + 35)},
                   PanelId::kPosition});
}

}  // namespace

EditorLayout EditorDialogLayout(int cx, int cy, int dpi) {
    const Scaler s(dpi);
    EditorLayout layout;
    layout.style = {s(kPanelCornerDiameter), s(kPanelBorderWidth)};
    const int panelX = s(111);
    const int panelWidth = cx - s(131);
    layout.panels = {{
        {s(20), s(55), s(81), cy - s(85)},
        {panelX, s(65), panelWidth, s(kInfoHeight)},
        {panelX, s(kInfoHeight + 75), panelWidth, cy - s(kInfoHeight + 140)},
    }};
    auto& out = layout.controls;
    out.push_back({IDC_EDITOR_LIST_LABEL, {s(20), s(35), s(80), s(20)}});
    out.push_back({IDC_EDITOR_SLOT_NAME_LABEL, {s(111), s(35), s(70), s(20)}});
    out.push_back({IDC_EDITOR_SLOT_NAME, {s(185), s(30), s(346), s(25)}});
    out.push_back({1 /* IDOK */, {cx - s(170), cy - s(55), s(70), s(25)}});
    out.push_back({2 /* IDCANCEL */, {cx - s(90), cy - s(55), s(70), s(25)}});
    PlaceList(layout.panels[0], s, out);
    PlaceInfo(layout.panels[1], s, out);
    PlacePosition(layout.panels[2], s, out);
    return layout;
}

Placement EditorWindowPlacement(const Rect& monitor, const Rect& workArea, int dpi) {
    const int width = ScaleDpi(kWindowWidth, dpi);
    const int height = ScaleDpi(kWindowHeight, dpi);
    const Placement centred{monitor.left + monitor.Width() / 2 - width / 2,
                            monitor.top + monitor.Height() / 2 - height / 2, width, height};
    if (centred.x >= workArea.left && centred.y >= workArea.top &&
        centred.Right() <= workArea.right && centred.Bottom() <= workArea.bottom)
        return centred;
    const int w = std::min(width, workArea.Width());
    const int h = std::min(height, workArea.Height());
    return {workArea.left + (workArea.Width() - w) / 2, workArea.top + (workArea.Height() - h) / 2,
            w, h};
}

}  // namespace keyrack
