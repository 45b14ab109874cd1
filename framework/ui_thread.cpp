#include "framework/ui_thread.h"

#include "framework/win_app.h"

namespace keyrack {

bool WaitWhileDispatching(HANDLE handle, Serve serve, DWORD timeoutMs) {
    const DWORD wake = serve == Serve::kSentMessages ? QS_SENDMESSAGE : QS_ALLINPUT;
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    bool quit = false;
    WPARAM quitCode = 0;
    bool signalled = false;
    for (;;) {
        // MWMO_INPUTAVAILABLE: messages that were already waiting wake the wait too.
        DWORD left = INFINITE;
        if (timeoutMs != INFINITE) {
            const ULONGLONG now = ::GetTickCount64();
            left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        }
        const DWORD woke =
            ::MsgWaitForMultipleObjectsEx(1, &handle, left, wake, MWMO_INPUTAVAILABLE);
        if (woke != WAIT_OBJECT_0 + 1) {
            signalled = woke == WAIT_OBJECT_0;
            break;
        }
        MSG msg;
        if (serve == Serve::kSentMessages) {
            // Peeking delivers the sent messages; nothing posted is taken from the queue.
            ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            continue;
        }
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = msg.wParam;
                continue;
            }
            AfxPumpMessage(msg);
        }
    }
    if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
    return signalled;
}

}  // namespace keyrack
