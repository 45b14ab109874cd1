#include "framework/dialog_ex.h"

#include "framework/modeless_registry.h"
#include "framework/win_app.h"

namespace keyrack {

CDialogEx::CDialogEx(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

CDialogEx::~CDialogEx() {
    if (m_hWnd != nullptr) {
        HWND hwnd = m_hWnd;
        // The window must not call back into a half-destroyed object.
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        detail::UnregisterModeless(hwnd);
        m_hWnd = nullptr;
        ::DestroyWindow(hwnd);
    }
}

HWND CDialogEx::OwnerForNewDialog(HWND parent) const {
    if (parent != nullptr) return parent;
    CWinApp* app = CWinApp::Current();
    if (app != nullptr && app->m_pMainWnd != nullptr && app->m_pMainWnd != this)
        return app->m_pMainWnd->m_hWnd;
    return nullptr;
}

INT_PTR CDialogEx::DoModal() {
    if (m_hWnd != nullptr) return -1;  // one window per object
    m_modal = true;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    INT_PTR result =
        ::DialogBoxParamW(instance, MAKEINTRESOURCEW(m_templateId), OwnerForNewDialog(m_parent),
                          &CDialogEx::StaticDialogProc, reinterpret_cast<LPARAM>(this));
    m_modal = false;
    return result;
}

BOOL CDialogEx::Create(UINT templateId, HWND parent) {
    if (m_hWnd != nullptr) return FALSE;  // one window per object
    if (templateId != 0) m_templateId = templateId;
    if (parent != nullptr) m_parent = parent;
    m_modal = false;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HWND hwnd =
        ::CreateDialogParamW(instance, MAKEINTRESOURCEW(m_templateId), OwnerForNewDialog(m_parent),
                             &CDialogEx::StaticDialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd == nullptr) return FALSE;
    detail::RegisterModeless(hwnd);
    return TRUE;
}

BOOL CDialogEx::CreateChild(HWND parent, const RECT& rect, int id) {
    if (m_hWnd != nullptr || parent == nullptr) return FALSE;
    m_parent = parent;
    m_modal = false;
    // DLGTEMPLATE followed by empty menu, class and title arrays; DWORD-aligned.
    struct alignas(4) {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } empty{};
    empty.header.style = WS_CHILD | WS_VISIBLE | DS_CONTROL;
    HWND hwnd = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), &empty.header, parent,
                                             &CDialogEx::StaticDialogProc,
                                             reinterpret_cast<LPARAM>(this));
    if (hwnd == nullptr) return FALSE;
    ::SetWindowLongPtrW(hwnd, GWLP_ID, id);
    ::MoveWindow(hwnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    return TRUE;
}

BOOL CDialogEx::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CDialogEx::EndDialog(INT_PTR result) {
    if (m_hWnd == nullptr) return;
    if (m_modal)
        ::EndDialog(m_hWnd, result);
    else
        ::ShowWindow(m_hWnd, SW_HIDE);
}

std::wstring CDialogEx::GetDlgItemText(int id) const {
    HWND item = GetDlgItem(id);
    if (item == nullptr) return {};
    int length = ::GetWindowTextLengthW(item);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int got = ::GetWindowTextW(item, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

void CDialogEx::CenterWindow() const {
    if (m_hWnd == nullptr) return;
    RECT area{};
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
        area = monitor.rcWork;
    }
    RECT self{};
    ::GetWindowRect(m_hWnd, &self);
    const int w = self.right - self.left, h = self.bottom - self.top;
    const int x = area.left + (area.right - area.left - w) / 2;
    const int y = area.top + (area.bottom - area.top - h) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CDialogEx::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DialogProcDefault(msg, wParam, lParam);
}

INT_PTR CDialogEx::DialogProcDefault(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            if (OnCommand(wParam, lParam)) return TRUE;
            switch (LOWORD(wParam)) {
                case IDOK:
                    OnOK();
                    return TRUE;
                case IDCANCEL:
                    OnCancel();
                    return TRUE;
                default:
                    return FALSE;
            }
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (!OnNotify(wParam, lParam, &result)) return FALSE;
            ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK CDialogEx::StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CDialogEx* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialogEx*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->m_hWnd = hwnd;
    } else {
        self = reinterpret_cast<CDialogEx*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (self == nullptr) return FALSE;

    INT_PTR handled = self->DialogProc(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        detail::UnregisterModeless(hwnd);
        self->m_hWnd = nullptr;
        CWinApp* app = CWinApp::Current();
        bool wasMain = app != nullptr && app->m_pMainWnd == self;
        if (wasMain) app->m_pMainWnd = nullptr;
        self->PostNcDestroy();
        // The main window's end is the program's end.
        if (wasMain) ::PostQuitMessage(0);
    }
    return handled;
}

}  // namespace keyrack
