#include "editor/desktop_hooks.h"

#include <utility>

namespace keyrack {
namespace {

// The hooks' callbacks carry no context of their own; they run on the thread that made them.
thread_local DesktopHooks* t_hooks = nullptr;

// A button the mouse hook heard, passed on to the message loop: the hook itself returns at
// once, so the user's input never waits for a look at the desktop.
constexpr UINT WM_CAPTURE_BUTTON = WM_APP + 1;

std::optional<DesktopEvent> KindOf(DWORD event) {
    switch (event) {
        case EVENT_SYSTEM_FOREGROUND:
        case EVENT_OBJECT_FOCUS:
            return DesktopEvent::kForeground;
        case EVENT_OBJECT_LOCATIONCHANGE:
            return DesktopEvent::kLocationChange;
        case EVENT_SYSTEM_MOVESIZESTART:
            return DesktopEvent::kMoveSizeStart;
        case EVENT_SYSTEM_MOVESIZEEND:
            return DesktopEvent::kMoveSizeEnd;
        case EVENT_SYSTEM_MINIMIZESTART:
            return DesktopEvent::kMinimizeStart;
        case EVENT_SYSTEM_MINIMIZEEND:
            return DesktopEvent::kMinimizeEnd;
        default:
            return std::nullopt;
    }
}

}  // namespace

DesktopHooks::DesktopHooks(Listener listener) : m_listener(std::move(listener)) {
    t_hooks = this;
    // Keyrack's own windows are heard too: the editor coming to the front pauses tracking.
    m_foreground.Reset(::SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                         &OnWinEvent, 0, 0, WINEVENT_OUTOFCONTEXT));
    // Wine 8 reports no foreground changes, but it does report the focus that goes with them.
    m_focus.Reset(::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, &OnWinEvent, 0,
                                    0, WINEVENT_OUTOFCONTEXT));
    // Clicks that change no window (a right click anywhere, a click on the window already in
    // front) are heard only here.
    m_mouse.Reset(::SetWindowsHookExW(WH_MOUSE_LL, &OnMouse, ::GetModuleHandleW(nullptr), 0));
}

DesktopHooks::~DesktopHooks() {
    m_windowHooks.clear();
    m_mouse.Close();
    m_focus.Close();
    m_foreground.Close();
    t_hooks = nullptr;
}

void DesktopHooks::Follow(const FollowedWindow& window) {
    if (window == m_followed) return;
    m_followed = window;
    m_windowHooks.clear();
    // A zero process would widen the hooks to every process.
    if (window.window == 0 || window.processId == 0) return;
    constexpr DWORD kFlags = WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS;
    for (const auto& [first, last] :
         {std::pair<DWORD, DWORD>{EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE},
          {EVENT_SYSTEM_MOVESIZESTART, EVENT_SYSTEM_MOVESIZEEND},
          {EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND}}) {
        UniqueWinEventHook hook(::SetWinEventHook(first, last, nullptr, &OnWinEvent,
                                                  window.processId, window.threadId, kFlags));
        if (hook) m_windowHooks.push_back(std::move(hook));
    }
}

bool DesktopHooks::OnThreadMessage(const MSG& msg) {
    if (msg.hwnd != nullptr || msg.message != WM_CAPTURE_BUTTON) return false;
    m_listener({msg.lParam != 0 ? DesktopEvent::kButtonDown : DesktopEvent::kButtonUp, 0,
                static_cast<int>(msg.wParam)});
    return true;
}

void CALLBACK DesktopHooks::OnWinEvent(HWINEVENTHOOK /*hook*/, DWORD event, HWND window,
                                       LONG object, LONG child, DWORD /*thread*/, DWORD /*time*/) {
    const std::optional<DesktopEvent> kind = KindOf(event);
    if (t_hooks == nullptr || !kind || window == nullptr) return;
    // Location changes are also reported for carets, cursors and scroll bars.
    const bool ofWindow = object == OBJID_WINDOW && child == CHILDID_SELF;
    if (event == EVENT_OBJECT_LOCATIONCHANGE && !ofWindow) return;
    t_hooks->m_listener({*kind, reinterpret_cast<WindowHandle>(window), 0});
}

LRESULT CALLBACK DesktopHooks::OnMouse(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        int button = 0;
        bool down = false;
        switch (wParam) {
            case WM_LBUTTONDOWN:
                button = VK_LBUTTON, down = true;
                break;
            case WM_LBUTTONUP:
                button = VK_LBUTTON;
                break;
            case WM_RBUTTONDOWN:
                button = VK_RBUTTON, down = true;
                break;
            case WM_RBUTTONUP:
                button = VK_RBUTTON;
                break;
            default:
                break;
        }
        if (button != 0)
            ::PostThreadMessageW(::GetCurrentThreadId(), WM_CAPTURE_BUTTON,
                                 static_cast<WPARAM>(button), down ? 1 : 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace keyrack
