// keyrack.exe: the application object is made during static initialisation, like the shared
// fonts and the run log; wWinMain runs start-up, the message loop and shutdown.
#include <windows.h>

#include "app/keyrack_app.h"

namespace {
keyrack::CKeyrackApp theApp;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // DLLs loaded from here on come from System32 only, never from the executable's folder,
    // which the user can write to (the statically linked ones are all KnownDLLs).
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return keyrack::AfxWinMain(theApp);
}
