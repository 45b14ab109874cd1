#include "framework/dpi_dialog.h"

#include "framework/dpi.h"

namespace keyrack {

BOOL CDpiDialog::OnInitDialog() {
    CDialogEx::OnInitDialog();
    KeepDialogLayoutOnDpiChange(m_hWnd);
    m_dpi = WindowDpi(m_hWnd);
    return TRUE;
}

bool CDpiDialog::ReadDpi() {
    const int now = WindowDpi(m_hWnd);
    if (now == m_dpi) return false;
    m_dpi = now;
    return true;
}

bool CDpiDialog::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_DPICHANGED) return DialogProcDefault(msg, wParam, lParam, result);
    m_dpi = HIWORD(wParam);
    OnDpiChanged(lParam);
    return true;
}

}  // namespace keyrack
