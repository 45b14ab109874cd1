#include "app/keyrack_app.h"

#include <commctrl.h>

#include <exception>
#include <filesystem>
#include <system_error>

#include "app/crash_filter.h"
#include "platform/crash_report.h"
#include "platform/run_log.h"
#include "platform/win32/win32_desktop.h"
#include "res/resource.h"
#include "res/shared_resources.h"

namespace keyrack {

bool EnsureFolder(std::wstring_view name) {
    // The module path at any length: a truncated one would name some other folder.
    const std::filesystem::path folder = ExecutableFolderOfProcess();
    if (folder.empty()) return false;
    const std::filesystem::path target = folder / name;
    std::error_code ignored;
    return !std::filesystem::exists(target, ignored) &&
           CreateDirectoryW(target.c_str(), nullptr) != FALSE;
}

BOOL CKeyrackApp::InitInstance() {
    InstallCrashFilter();
    // An exception that escapes a thread, and std::terminate, end in the same report.
    SetCrashReporter(ReportCrash);
    std::set_terminate([] { ReportTermination(); });

    // One Keyrack per session: a second one would answer every chord a second time.
    m_instance = std::make_unique<SingleInstance>();
    if (!m_instance->IsFirst()) return FALSE;

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    // Restart Manager support, restart only: after a crash or a hang, or when an installer has
    // to end Keyrack, it starts again (no recovery data, nothing on the command line). Not after
    // an update's reboot: the Startup shortcut starts it at that logon, and a second start
    // would only leave again.
    RegisterApplicationRestart(L"", RESTART_NO_REBOOT);

    // No data folder yet: the very first start, which the tray icon greets.
    const bool firstStart = EnsureFolder(L"data");
    EnsureFolder(L"crash");
    logger().SetDumpFile(ExecutableFolderOfProcess() / L"crash" / L"CrashLog.txt");

    m_dlg = std::make_unique<CKeyrackDlg>(firstStart);
    // Without its window there is no tray icon, no chord and no way to end the program: a
    // message loop would run invisibly for ever and hold the single-instance mutex, so that
    // no later start could run either. End at once instead.
    if (!m_dlg->Create(IDD_MAIN, nullptr)) return FALSE;
    m_pMainWnd = m_dlg.get();
    return TRUE;
}

int CKeyrackApp::ExitInstance() {
    // A start that found another Keyrack running made nothing and leaves everything alone.
    if (m_instance && m_instance->IsFirst()) {
        // The window is gone by now; the object still owns the slot manager and the
        // indicators.
        m_dlg.reset();
        RemoveFontFiles();
    }
    m_instance.reset();
    return CWinApp::ExitInstance();
}

}  // namespace keyrack
