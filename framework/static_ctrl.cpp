#include "framework/static_ctrl.h"

#include <commctrl.h>

namespace keyrack {

namespace {
// One subclass id for every CStatic; the object itself travels in refData.
constexpr UINT_PTR kSubclassId = 0x4B524331;  // "KRC1"
}  // namespace

CStatic::~CStatic() { UnsubclassWindow(); }

BOOL CStatic::SubclassDlgItem(int id, HWND parent) {
    return SubclassWindow(::GetDlgItem(parent, id));
}

BOOL CStatic::SubclassWindow(HWND hwnd) {
    if (hwnd == nullptr || m_hWnd != nullptr) return FALSE;
    if (!::SetWindowSubclass(hwnd, &CStatic::SubclassProc, kSubclassId,
                             reinterpret_cast<DWORD_PTR>(this)))
        return FALSE;
    m_hWnd = hwnd;
    return TRUE;
}

HWND CStatic::UnsubclassWindow() {
    HWND hwnd = m_hWnd;
    if (hwnd != nullptr) ::RemoveWindowSubclass(hwnd, &CStatic::SubclassProc, kSubclassId);
    m_hWnd = nullptr;
    return hwnd;
}

LRESULT CStatic::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return Default(msg, wParam, lParam);
}

LRESULT CStatic::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefSubclassProc(m_hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK CStatic::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR /*id*/, DWORD_PTR refData) {
    auto* self = reinterpret_cast<CStatic*>(refData);
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, &CStatic::SubclassProc, kSubclassId);
        if (self != nullptr) self->m_hWnd = nullptr;
        return ::DefSubclassProc(hwnd, msg, wParam, lParam);
    }
    if (self == nullptr || self->m_hWnd != hwnd)
        return ::DefSubclassProc(hwnd, msg, wParam, lParam);
    return self->WindowProc(msg, wParam, lParam);
}

}  // namespace keyrack
