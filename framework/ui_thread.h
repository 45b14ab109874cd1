// The user-interface thread's two services for code that must not block it: waiting for a
// handle while the thread keeps serving its windows, and work posted to a window's thread.
#pragma once

#include <windows.h>

namespace keyrack {

// The message that carries posted work (CDialogEx::PostTask) to a dialog's procedure.
inline constexpr UINT WM_RUN_POSTED_TASKS = WM_APP;

// Which messages WaitWhileDispatching serves while it waits.
enum class Serve {
    // Only messages other threads send to this thread's windows: their senders wait for the
    // answer, so a thread that waits for them without serving them would wait for ever.
    kSentMessages,
    // Every message, dispatched as the message loop does (modeless dialogs first).
    kAllMessages,
};

// Waits until `handle` is signalled, at most `timeoutMs`, while the calling thread keeps
// serving its windows. A WM_QUIT met meanwhile is posted again, so the outer message loop still
// ends. False when the time ran out or the wait itself failed (a null or closed handle).
bool WaitWhileDispatching(HANDLE handle, Serve serve = Serve::kAllMessages,
                          DWORD timeoutMs = INFINITE);

}  // namespace keyrack
