// The desktop seam's clock and waits on Win32: deadlines on GetTickCount64, waits that the
// stop request ends at once, and, on a thread that watches new windows, waits that also end
// when a WinEvent tells of a new top-level window.
#include <windows.h>

#include <utility>
#include <vector>

#include "platform/win32/win32_desktop.h"

namespace keyrack {
namespace {

// The calling thread's WinEvent hook and whether it has seen a new window since its last wait.
struct NewWindowHook {
    HWINEVENTHOOK hook = nullptr;
    bool seen = false;
    std::vector<WindowHandle> windows;  // since the last TakeNewWindows
};
thread_local NewWindowHook t_newWindows;

void CALLBACK OnWindowEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                            DWORD) {
    if (event == EVENT_OBJECT_DESTROY || window == nullptr) return;
    // Carets, cursors and child windows raise the same events.
    if (object != OBJID_WINDOW || child != CHILDID_SELF) return;
    if (::GetAncestor(window, GA_PARENT) != ::GetDesktopWindow()) return;
    t_newWindows.seen = true;
    t_newWindows.windows.push_back(reinterpret_cast<WindowHandle>(window));
}

// Serves the thread's messages (the hook's callbacks come with them); false on WM_QUIT, which
// is posted again for the thread's own loop (and ends the wait).
bool ServeMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return true;
}

bool TakeSeen() {
    const bool seen = t_newWindows.seen;
    t_newWindows.seen = false;
    return seen;
}

}  // namespace

std::uint64_t Win32Desktop::SteadyClockMs() { return ::GetTickCount64(); }

Desktop::WaitEnd Win32Desktop::WaitUnlessStopped(const StopRequest& stop, unsigned milliseconds) {
    if (stop.Requested()) return WaitEnd::kStopped;
    if (t_newWindows.hook == nullptr)
        return stop.WaitFor(std::chrono::milliseconds(milliseconds)) ? WaitEnd::kStopped
                                                                     : WaitEnd::kElapsed;
    if (TakeSeen()) return WaitEnd::kNewWindow;
    // The request wakes the message wait with a message of no meaning.
    const DWORD thread = ::GetCurrentThreadId();
    const StopRequest::Waker waker(stop, [thread] { ::PostThreadMessageW(thread, WM_NULL, 0, 0); });
    const std::uint64_t deadline = ::GetTickCount64() + milliseconds;
    for (std::uint64_t now = ::GetTickCount64(); now < deadline; now = ::GetTickCount64()) {
        // MWMO_INPUTAVAILABLE: messages already waiting end the wait at once too.
        const DWORD woke = ::MsgWaitForMultipleObjectsEx(
            0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_TIMEOUT || !ServeMessages()) break;
        if (stop.Requested()) return WaitEnd::kStopped;
        if (TakeSeen()) return WaitEnd::kNewWindow;
    }
    return stop.Requested() ? WaitEnd::kStopped : WaitEnd::kElapsed;
}

void Win32Desktop::WatchNewWindows(bool on) {
    NewWindowHook& watch = t_newWindows;
    if (on && watch.hook == nullptr) {
        // The hook's events come as messages: the thread needs a queue first.
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
        watch.hook =
            ::SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr, OnWindowEvent, 0, 0,
                              WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
        watch.seen = false;
        watch.windows.clear();
    } else if (!on && watch.hook != nullptr) {
        ::UnhookWinEvent(watch.hook);
        watch.hook = nullptr;
    }
}

std::vector<WindowHandle> Win32Desktop::TakeNewWindows() {
    return std::exchange(t_newWindows.windows, {});
}

bool Win32Desktop::IsHungAppWindow(WindowHandle window) {
    return ::IsHungAppWindow(reinterpret_cast<HWND>(window)) != FALSE;
}

std::uint64_t Win32Desktop::LastFlashMs(WindowHandle window) {
    std::lock_guard lock(m_flashMutex);
    const auto it = m_flashes.find(window);
    return it != m_flashes.end() ? it->second : 0;
}

void Win32Desktop::NoteFlash(WindowHandle window) {
    std::lock_guard lock(m_flashMutex);
    m_flashes[window] = ::GetTickCount64();
}

}  // namespace keyrack
