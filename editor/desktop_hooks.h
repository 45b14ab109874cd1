// The window-capture thread's ears: foreground and focus changes everywhere, the mouse buttons
// anywhere, and the followed window's own moves, sizes and minimising, hooked in its process
// and thread only. The hooks are out of context: every callback runs on the thread that made them,
// from its message loop, so that thread must pump messages; they are removed with the object, on
// that thread. One object per thread.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "editor/capture_events.h"
#include "platform/win32/handles.h"

namespace keyrack {

class DesktopHooks {
  public:
    using Listener = std::function<void(const CaptureEvent&)>;

    explicit DesktopHooks(Listener listener);
    ~DesktopHooks();
    DesktopHooks(const DesktopHooks&) = delete;
    DesktopHooks& operator=(const DesktopHooks&) = delete;

    // Scopes the window hooks to `window`'s process and thread (none for an empty one).
    void Follow(const FollowedWindow& window);
    // The message loop offers each thread message here first: true when it was a mouse
    // button the mouse hook passed on (and the listener has heard it).
    bool OnThreadMessage(const MSG& msg);

  private:
    static void CALLBACK OnWinEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                    LONG child, DWORD thread, DWORD time);
    static LRESULT CALLBACK OnMouse(int code, WPARAM wParam, LPARAM lParam);

    Listener m_listener;
    UniqueWinEventHook m_foreground;
    UniqueWinEventHook m_focus;
    UniqueWindowsHook m_mouse;
    FollowedWindow m_followed;
    std::vector<UniqueWinEventHook> m_windowHooks;
};

}  // namespace keyrack
