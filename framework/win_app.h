// The application object: start-up, the message loop shared by every window of the
// user-interface thread, and shutdown.
#pragma once

#include <windows.h>

namespace keyrack {

class CDialogEx;

class CWinApp {
  public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start-up; returning FALSE ends the program without running the message loop.
    virtual BOOL InitInstance() { return TRUE; }
    // Shutdown after the message loop; the result is the process exit code.
    virtual int ExitInstance();
    // Runs the message loop until WM_QUIT, giving keyboard messages of modeless dialogs to
    // IsDialogMessage, then returns ExitInstance's result.
    virtual int Run();

    // The one application object of the process, or null.
    static CWinApp* Current();

    HINSTANCE m_hInstance = nullptr;
    // Destroying this window posts WM_QUIT, which ends Run.
    CDialogEx* m_pMainWnd = nullptr;
    // The wParam of the WM_QUIT that ended Run.
    int m_exitCode = 0;
};

// Start-up, message loop and shutdown, as a wWinMain does it: InitInstance, then Run (which
// ends with ExitInstance) or, when InitInstance fails, ExitInstance at once.
int AfxWinMain(CWinApp& app);

// Dispatches one retrieved message the way Run does (IsDialogMessage for modeless dialogs
// first). WaitWhileDispatching uses it too.
void AfxPumpMessage(MSG& msg);

}  // namespace keyrack
