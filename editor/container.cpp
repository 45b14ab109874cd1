#include "editor/container.h"

#include "framework/gdi.h"

namespace keyrack {

Container::Container(HWND owner, const RECT& rect) : CDialogEx(0, owner) {
    CreateChild(owner, rect);
}

void Container::SetColourRefs(COLORREF* background, COLORREF* text, COLORREF* border) {
    if (background != nullptr) m_background = background;
    if (text != nullptr) m_text = text;
    if (border != nullptr) m_border = border;
}

void Container::SetChild(HWND control) {
    m_child = control;
    if (m_margins == Margins{}) m_margins = MarginsFromCorner(m_corner);
    ::SetParent(control, m_hWnd);
    ::SendMessageW(
        m_hWnd, WM_SIZE, SIZE_RESTORED,
        MAKELPARAM(static_cast<WORD>(m_client.right), static_cast<WORD>(m_client.bottom)));
}

void Container::TakeOver(HWND editor, std::span<const TakenOverControl> controls) {
    for (const TakenOverControl& control : controls) {
        HWND hwnd = ::GetDlgItem(editor, control.id);
        if (hwnd == nullptr) continue;
        ::SetParent(hwnd, m_hWnd);
        if (control.font != nullptr)
            ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(control.font->Get()), TRUE);
    }
}

void Container::Place(const ControlPlacement& control) const {
    HWND hwnd = GetDlgItem(control.id);
    if (hwnd == nullptr) return;
    const Placement& at = control.place;
    ::MoveWindow(hwnd, at.x, at.y, at.width, at.height, TRUE);
}

void Container::OnSize(int cx, int cy) {
    if (cx <= 0 || cy <= 0) return;
    ::GetClientRect(m_hWnd, &m_client);
    CRgn region = CRgn::RoundRect(m_client.left, m_client.top, m_client.right, m_client.bottom,
                                  m_corner, m_corner);
    // The window owns the region once SetWindowRgn has taken it.
    if (!region.IsNull() && ::SetWindowRgn(m_hWnd, region.Get(), TRUE)) region.Detach();
    if (m_child == nullptr) return;
    const Rect client{m_client.left, m_client.top, m_client.right, m_client.bottom};
    if (const auto at = ContainerChildPlacement(cx, cy, client, m_margins, m_borderWidth))
        ::MoveWindow(m_child, at->x, at->y, at->width, at->height, TRUE);
}

void Container::Paint() const {
    CPaintDC dc(m_hWnd);
    CBrush inside(*m_background);
    CBrush rim(*m_border);
    ::FillRect(dc, &m_client, rim);
    CRgn area = CRgn::RoundRect(m_client.left + m_borderWidth, m_client.top + m_borderWidth,
                                m_client.right - m_borderWidth, m_client.bottom - m_borderWidth,
                                m_corner, m_corner);
    ::FillRgn(dc, area, inside);
}

HBRUSH Container::OnCtlColorListBox(HDC dc) const {
    // One brush for every panel, made from the first panel that asks and kept to the end.
    static CBrush brush(*m_background);
    ::SetBkColor(dc, *m_background);
    ::SetTextColor(dc, *m_text);
    return brush.Get();
}

HBRUSH Container::OnCtlColorStatic(HDC dc) const {
    if (m_staticBrush.IsNull() || m_staticBrushColour != *m_background) {
        m_staticBrush = CBrush(*m_background);
        m_staticBrushColour = *m_background;
    }
    ::SetBkColor(dc, *m_background);
    ::SetTextColor(dc, *m_text);
    return m_staticBrush.Get();
}

bool Container::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_SIZE:
            OnSize(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            return false;
        case WM_PAINT:
            Paint();
            return true;
        case WM_ERASEBKGND:
            result = TRUE;  // the paint covers the whole panel
            return true;
        case WM_CTLCOLORLISTBOX:
            result = reinterpret_cast<LRESULT>(OnCtlColorListBox(reinterpret_cast<HDC>(wParam)));
            return true;
        case WM_CTLCOLORSTATIC:
            result = reinterpret_cast<LRESULT>(OnCtlColorStatic(reinterpret_cast<HDC>(wParam)));
            return true;
        default:
            return DialogProcDefault(msg, wParam, lParam, result);
    }
}

}  // namespace keyrack
