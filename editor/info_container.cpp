#include "editor/info_container.h"

#include "res/resource.h"
#include "res/shared_resources.h"

namespace keyrack {
namespace {

// In the order they are re-parented.
const std::array<TakenOverControl, 9> kControls{{
    {IDC_EDITOR_NAME, &fontMedium17},
    {IDC_EDITOR_PATH, &fontMedium17},
    {IDC_EDITOR_PARAMETERS, &fontMedium17},
    {IDC_EDITOR_ICON, nullptr},
    {IDC_EDITOR_SAVE, &fontMedium15},
    {IDC_EDITOR_REMOVE, &fontMedium15},
    {IDC_EDITOR_NAME_LABEL, &fontMedium15},
    {IDC_EDITOR_PATH_LABEL, &fontMedium15},
    {IDC_EDITOR_PARAMETERS_LABEL, &fontMedium15},
}};

}  // namespace

InfoContainer::InfoContainer(HWND editor) : Container(editor) {
    m_margins = {kPanelMargin, kPanelMargin, kPanelMargin, kPanelMargin};
    TakeOver(editor, kControls);
    m_icon = GetDlgItem(IDC_EDITOR_ICON);
}

BOOL InfoContainer::OnCommand(WPARAM wParam, LPARAM lParam) {
    // Save and remove (and the edits' notifications) reach the editor's handlers.
    ::SendMessageW(::GetParent(m_hWnd), WM_COMMAND, wParam, lParam);
    return TRUE;
}

void InfoContainer::OnSize(int cx, int cy) {
    Container::OnSize(cx, cy);
    if (m_icon == nullptr || !::IsWindow(m_icon)) return;
    for (const ControlPlacement& control : InfoPanelLayout(cx, cy)) Place(control);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

}  // namespace keyrack
