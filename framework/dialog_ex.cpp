#include "framework/dialog_ex.h"

#include "framework/modeless_registry.h"
#include "framework/ui_thread.h"
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

bool CDialogEx::PostTask(std::function<void()> task) {
    const HWND hwnd = m_hWnd;
    if (hwnd == nullptr) return false;
    std::lock_guard lock(m_tasksMutex);
    // One message serves every task queued before it is handled.
    if (m_tasks.empty() && !::PostMessageW(hwnd, WM_RUN_POSTED_TASKS, 0, 0)) return false;
    m_tasks.push_back(std::move(task));
    return true;
}

void CDialogEx::RunPostedTasks() {
    std::vector<std::function<void()>> tasks;
    {
        std::lock_guard lock(m_tasksMutex);
        tasks.swap(m_tasks);
    }
    for (auto& task : tasks) task();
}

bool CDialogEx::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return DialogProcDefault(msg, wParam, lParam, result);
}

bool CDialogEx::DialogProcDefault(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG:
            result = OnInitDialog();
            return true;
        case WM_COMMAND:
            if (OnCommand(wParam, lParam)) return true;
            switch (LOWORD(wParam)) {
                case IDOK:
                    OnOK();
                    return true;
                case IDCANCEL:
                    OnCancel();
                    return true;
                default:
                    return false;
            }
        case WM_NOTIFY:
            return OnNotify(wParam, lParam, &result) != FALSE;
        case WM_RUN_POSTED_TASKS:
            RunPostedTasks();
            return true;
        default:
            return false;
    }
}

namespace {

// Messages whose result is the dialog procedure's return value rather than DWLP_MSGRESULT.
bool AnswersThroughReturnValue(UINT msg) {
    switch (msg) {
        case WM_INITDIALOG:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return true;
        default:
            return false;
    }
}

}  // namespace

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

    LRESULT result = 0;
    const bool handled = self->DialogProc(msg, wParam, lParam, result);
    INT_PTR answer = FALSE;
    if (handled && AnswersThroughReturnValue(msg)) {
        answer = static_cast<INT_PTR>(result);
    } else if (handled) {
        ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
        answer = TRUE;
    }
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
    return answer;
}

}  // namespace keyrack
