#include "editor/capture_events.h"

#include <utility>

namespace keyrack {

CaptureEvents::CaptureEvents(Desktop& desktop, MayTakeWindow mayTake)
    : m_desktop(desktop), m_mayTake(std::move(mayTake)) {}

std::optional<CaptureSample> CaptureEvents::OnEvent(const CaptureEvent& event) {
    int pressed = 0;
    switch (event.kind) {
        case DesktopEvent::kLocationChange:
        case DesktopEvent::kMoveSizeStart:
        case DesktopEvent::kMoveSizeEnd:
        case DesktopEvent::kMinimizeStart:
        case DesktopEvent::kMinimizeEnd:
            // The scoped hooks also hear the other windows of the followed window's thread.
            if (event.window == 0 || event.window != m_followed.window) return std::nullopt;
            if (event.kind == DesktopEvent::kLocationChange) m_locationHeard = true;
            break;
        case DesktopEvent::kButtonDown:
            // The hook hears the press before the system's button state shows it.
            pressed = event.button;
            break;
        case DesktopEvent::kForeground:
        case DesktopEvent::kButtonUp:
        case DesktopEvent::kTimer:
            break;
    }
    CaptureSample sample = Look(pressed);
    if (!m_filter.ShouldHandOver(sample)) return std::nullopt;
    return sample;
}

CaptureSample CaptureEvents::Look(int pressedButton) {
    CaptureSample sample = SampleDesktop(m_desktop, m_mayTake, pressedButton);
    if (sample.window != m_followed.window) {
        FollowedWindow followed;
        if (sample.window != 0) {
            followed.window = sample.window;
            followed.threadId =
                m_desktop.GetWindowThreadProcessId(sample.window, &followed.processId);
        }
        m_followed = followed;
    }
    return sample;
}

}  // namespace keyrack
