#include "editor/panel_layout.h"

#include <cmath>

#include "res/resource.h"

namespace keyrack {

Margins MarginsFromCorner(int cornerDiameter) {
    const double r = cornerDiameter / 2;
    const double angle = std::atan(r / r);
    const int left = static_cast<int>(r - r * std::cos(angle));
    const int top = static_cast<int>(r - r * std::sin(angle));
    return {left, top, left + 1, top + 1};
}

std::optional<Placement> ContainerChildPlacement(int cx, int cy, const Rect& client,
                                                 const Margins& m, int borderWidth) {
    if (cx <= 0 || cy <= 0) return std::nullopt;
    return Placement{client.left + m.left + borderWidth, client.top + m.top + borderWidth,
                     client.Width() - m.left - m.right - 2 * borderWidth,
                     client.Height() - m.top - m.bottom - 2 * borderWidth};
}

std::array<ControlPlacement, 10> PositionPanelLayout(int cx, int cy, const Margins& m) {
    const int l = m.left;
    const int t = m.top;
    constexpr int kRow = kPanelEditHeight;
    return {{
        {IDC_EDITOR_X_LABEL, {l, t + 5, 25, 25}},
        {IDC_EDITOR_X, {l + 29, t, 70, kRow}},
        {IDC_EDITOR_Y_LABEL, {l + 109, t + 5, 25, 25}},
        {IDC_EDITOR_Y, {l + 138, t, 70, kRow}},
        {IDC_EDITOR_W_LABEL, {l + 218, t + 5, 25, 25}},
        {IDC_EDITOR_W, {l + 247, t, 70, kRow}},
        {IDC_EDITOR_H_LABEL, {l + 327, t + 5, 25, 25}},
        {IDC_EDITOR_H, {l + 356, t, 70, kRow}},
        {IDC_EDITOR_MAXIMIZE, {l + 436, t, 70, kRow}},
        {IDC_EDITOR_PREVIEW, {l, t + 35, cx - l - m.right, cy - t - m.bottom - 35}},
    }};
}

std::array<ControlPlacement, 9> InfoPanelLayout(int cx, int cy) {
    constexpr int p = kPanelMargin;
    constexpr int L = kPanelLabelHeight;
    constexpr int E = kPanelEditHeight;
    constexpr int g = kPanelGap;
    constexpr int kButtonWidth = 75;
    constexpr int kButtonHeight = 25;
    constexpr int kIconSize = 64;
    constexpr int kLeftColumn = p + kButtonWidth + g + kButtonWidth + g;
    constexpr int c = kLeftColumn / 2;
    const int buttonRow = cy - p - kButtonHeight;
    const int w = cx - p - 2 * c;
    return {{
        {IDC_EDITOR_ICON, {c - kIconSize / 2, buttonRow / 2 - kIconSize / 2, kIconSize, kIconSize}},
        {IDC_EDITOR_NAME_LABEL, {2 * c, p, w, L}},
        {IDC_EDITOR_NAME, {2 * c, p + L, w, E}},
        {IDC_EDITOR_PATH_LABEL, {2 * c, p + L + E + g, w, L}},
        {IDC_EDITOR_PATH, {2 * c, p + 2 * L + E + g, w, E}},
        {IDC_EDITOR_PARAMETERS_LABEL, {2 * c, p + 2 * L + 2 * E + 2 * g, w, L}},
        {IDC_EDITOR_PARAMETERS, {2 * c, p + 3 * L + 2 * E + 2 * g, w, E}},
        {IDC_EDITOR_SAVE, {p, buttonRow, kButtonWidth, kButtonHeight}},
        {IDC_EDITOR_REMOVE, {p + kButtonWidth + g, buttonRow, kButtonWidth, kButtonHeight}},
    }};
}

EditorLayout EditorDialogLayout(int cx, int cy) {
    constexpr int H = kInfoPanelHeight;
    constexpr int kIdOk = 1;      // IDOK
    constexpr int kIdCancel = 2;  // IDCANCEL
    return {{{
                {IDC_EDITOR_SLOT_NAME_LABEL, {111, 35, 70, 20}},
                {IDC_EDITOR_SLOT_NAME, {185, 30, 346, 25}},
                {IDC_EDITOR_LIST_LABEL, {20, 35, 80, 20}},
                {kIdOk, {cx - 170, cy - 55, 70, 25}},
                {kIdCancel, {cx - 90, cy - 55, 70, 25}},
            }},
            {20, 55, 81, cy - 85},
            {111, 65, cx - 131, H},
            {111, H + 75, cx - 131, cy - H - 140}};
}

Placement EditorWindowPlacement(int screenWidth, int screenHeight) {
    constexpr int kWidth = 1000;
    constexpr int kHeight = 750;
    return {screenWidth / 2 - kWidth / 2, screenHeight / 2 - kHeight / 2, kWidth, kHeight};
}

}  // namespace keyrack
