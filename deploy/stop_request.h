// The request to stop a deployment in flight, made when the program exits ("종료" or a close
// request). The deployment thread ends on it, and the deployment observes it between its steps:
// no item is launched after it, a search ends at its next attempt, and pauses are cut short.
#pragma once

#include <atomic>

#include "platform/desktop.h"

namespace keyrack {

// How soon a pause notices a stop: pauses are taken in slices of at most this length.
inline constexpr unsigned kStopCheckMs = 100;

class StopRequest {
  public:
    void Request() { m_requested.store(true); }
    bool Requested() const { return m_requested.load(); }

  private:
    std::atomic<bool> m_requested{false};
};

// Pauses `milliseconds` through the desktop's Sleep, in slices of kStopCheckMs, and ends at
// the first slice's end after a stop was requested (at once when it already was).
void PauseUnlessStopped(Desktop& desktop, const StopRequest& stop, unsigned milliseconds);

}  // namespace keyrack
