#include <algorithm>

#include "platform/atomic_file.h"

namespace keyrack {

int ReplaceWithRetry(const std::function<int()>& replace,
                     const std::function<void(unsigned)>& pause) {
    unsigned waited = 0;
    unsigned next = kReplaceFirstPauseMs;
    for (;;) {
        const int result = replace();
        if (result == 0 || !IsTransientReplaceError(result) || waited >= kReplaceRetryMs)
            return result;
        const unsigned ms = std::min(next, kReplaceRetryMs - waited);
        pause(ms);
        waited += ms;
        next = std::min(next * 2, kReplaceLongestPauseMs);
    }
}

}  // namespace keyrack
