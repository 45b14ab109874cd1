// The editor's window-capture thread: a message loop that follows the desktop through event
// hooks (DesktopHooks), looks at it when an event calls for it (CaptureEvents) and hands the
// samples over; it sleeps while nothing happens. Stopped by a WM_QUIT posted to it and joined
// when the object goes.
#pragma once

#include <windows.h>

#include <functional>
#include <thread>

#include "editor/capture_events.h"

namespace keyrack {

class CaptureThread {
  public:
    using HandOver = std::function<void(CaptureSample)>;

    // The stand-in timer's period (see CaptureEvents::TimerWanted).
    static constexpr UINT kStandInMilliseconds = 50;

    // Starts the thread; returns once its hooks are in place (or could not be made).
    // `handOver` runs on the capture thread and must not wait for the user-interface thread.
    CaptureThread(Desktop& desktop, MayTakeWindow mayTake, HandOver handOver);
    ~CaptureThread();
    CaptureThread(const CaptureThread&) = delete;
    CaptureThread& operator=(const CaptureThread&) = delete;

  private:
    std::thread m_thread;
    DWORD m_threadId = 0;
};

}  // namespace keyrack
