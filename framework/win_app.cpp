#include "framework/win_app.h"

#include <algorithm>
#include <vector>

#include "framework/modeless_registry.h"

namespace keyrack {

namespace {
CWinApp* g_app = nullptr;
thread_local std::vector<HWND> t_modeless;
}  // namespace

namespace detail {

void RegisterModeless(HWND dialog) {
    if (std::find(t_modeless.begin(), t_modeless.end(), dialog) == t_modeless.end())
        t_modeless.push_back(dialog);
}

void UnregisterModeless(HWND dialog) {
    t_modeless.erase(std::remove(t_modeless.begin(), t_modeless.end(), dialog), t_modeless.end());
}

bool DispatchToModeless(MSG& msg) {
    if (msg.hwnd == nullptr || t_modeless.empty()) return false;
    HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    if (root == nullptr) return false;
    if (std::find(t_modeless.begin(), t_modeless.end(), root) == t_modeless.end()) return false;
    return ::IsDialogMessageW(root, &msg) != FALSE;
}

}  // namespace detail

CWinApp::CWinApp() : m_hInstance(::GetModuleHandleW(nullptr)) {
    if (g_app == nullptr) g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

CWinApp* CWinApp::Current() { return g_app; }

int CWinApp::ExitInstance() { return m_exitCode; }

void AfxPumpMessage(MSG& msg) {
    if (detail::DispatchToModeless(msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

int CWinApp::Run() {
    MSG msg;
    for (;;) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            m_exitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1) break;
        AfxPumpMessage(msg);
    }
    return ExitInstance();
}

int AfxWinMain(CWinApp& app) {
    if (!app.InitInstance()) return app.ExitInstance();
    return app.Run();
}

}  // namespace keyrack
