#include "editor/display_container.h"

#include <array>

#include "res/resource.h"
#include "res/shared_resources.h"

namespace keyrack {
namespace {

const std::array<TakenOverControl, 9> kControls{{
    {IDC_EDITOR_X, &fontMedium17},
    {IDC_EDITOR_Y, &fontMedium17},
    {IDC_EDITOR_W, &fontMedium17},
    {IDC_EDITOR_H, &fontMedium17},
    {IDC_EDITOR_X_LABEL, &fontMedium15},
    {IDC_EDITOR_Y_LABEL, &fontMedium15},
    {IDC_EDITOR_W_LABEL, &fontMedium15},
    {IDC_EDITOR_H_LABEL, &fontMedium15},
    {IDC_EDITOR_MAXIMIZE, &fontMedium17},
}};

}  // namespace

DisplayContainer::DisplayContainer(HWND editor, Slot& slot) : Container(editor), m_preview(slot) {
    m_preview.SubclassDlgItem(IDC_EDITOR_PREVIEW, editor);
    TakeOver(editor, kControls);
    if (m_preview.m_hWnd != nullptr) ::SetParent(m_preview.m_hWnd, m_hWnd);
    m_preview.m_background = &m_background;
    m_margins = {kPanelMargin, kPanelMargin, kPanelMargin, kPanelMargin};
    m_x = GetDlgItem(IDC_EDITOR_X);
}

void DisplayContainer::OnSize(int cx, int cy) {
    Container::OnSize(cx, cy);
    if (m_x == nullptr || !::IsWindow(m_x)) return;
    for (const ControlPlacement& control : PositionPanelLayout(cx, cy, m_margins)) Place(control);
}

}  // namespace keyrack
