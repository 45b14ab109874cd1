// The program's stop request as the deployment sees it: no item is launched after it, a search
// ends at once, and every pause ends at once (the waits go through the desktop's clock).
#pragma once

#include "platform/desktop.h"
#include "platform/stop_request.h"

namespace keyrack {

// Pauses `milliseconds` on the desktop's clock; ends at once when a stop is requested.
inline void PauseUnlessStopped(Desktop& desktop, const StopRequest& stop, unsigned milliseconds) {
    if (milliseconds > 0) desktop.WaitUnlessStopped(stop, milliseconds);
}

}  // namespace keyrack
