// What the window-capture thread hears from the desktop, and what each event means for the
// editor: whether it calls for a fresh look at the desktop (a sample for the user-interface
// thread), and which window the thread's scoped hooks follow. The thread itself only hooks,
// waits and hands over.
#pragma once

#include <cstdint>
#include <optional>

#include "editor/capture_sample.h"

namespace keyrack {

enum class DesktopEvent {
    kForeground,      // another window came to the front, or the keyboard focus moved
    kLocationChange,  // a window (not a caret or a cursor) moved or changed size
    kMoveSizeStart,   // the user started or ended moving or sizing a window
    kMoveSizeEnd,
    kMinimizeStart,  // a window was minimised or restored from the taskbar
    kMinimizeEnd,
    kButtonDown,  // the left or right mouse button went down or up, anywhere
    kButtonUp,
    kTimer,  // the stand-in timer (see CaptureEvents::TimerWanted)
};

struct CaptureEvent {
    DesktopEvent kind = DesktopEvent::kForeground;
    WindowHandle window = 0;  // the window it is about; 0 for buttons and the timer
    int button = 0;           // kButtonDown / kButtonUp: win::kVkLButton or win::kVkRButton
};

// The window in front that the capture thread follows, with the process and thread its
// location hooks are scoped to; all zero while no window may be taken (the editor in front).
struct FollowedWindow {
    WindowHandle window = 0;
    std::uint32_t processId = 0;
    std::uint32_t threadId = 0;
    friend bool operator==(const FollowedWindow&, const FollowedWindow&) = default;
};

class CaptureEvents {
  public:
    CaptureEvents(Desktop& desktop, MayTakeWindow mayTake);

    // The sample the event calls for, when it differs from what was handed over last (or a
    // button is down: clicks are rules applied sample by sample); nothing for an event about
    // a window other than the followed one. Every sample also settles which window is
    // followed.
    std::optional<CaptureSample> OnEvent(const CaptureEvent& event);

    const FollowedWindow& Followed() const { return m_followed; }
    // The stand-in timer runs while a window is followed, until a location change of a followed
    // window has been heard: Wine 8 reports no location changes (nor moves, sizes and
    // minimising) of other processes' windows, and refuses hooks scoped to one process.
    bool TimerWanted() const { return m_followed.window != 0 && !m_locationHeard; }

  private:
    CaptureSample Look(int pressedButton);

    Desktop& m_desktop;
    MayTakeWindow m_mayTake;
    SampleFilter m_filter;
    FollowedWindow m_followed;
    bool m_locationHeard = false;
};

}  // namespace keyrack
