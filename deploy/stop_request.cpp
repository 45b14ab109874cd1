#include "deploy/stop_request.h"

#include <algorithm>

namespace keyrack {

void PauseUnlessStopped(Desktop& desktop, const StopRequest& stop, unsigned milliseconds) {
    for (unsigned left = milliseconds; left > 0 && !stop.Requested();) {
        const unsigned slice = std::min(left, kStopCheckMs);
        desktop.Sleep(slice);
        left -= slice;
    }
}

}  // namespace keyrack
