// keyrack.exe: the application object is made during static initialisation, like the shared
// fonts and the run log; wWinMain runs start-up, the message loop and shutdown.
#include <windows.h>

#include "app/keyrack_app.h"

namespace {
keyrack::CKeyrackApp theApp;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return keyrack::AfxWinMain(theApp); }
