// Test access to the run log's mutex: holds it the way the log's own writers do.
#pragma once

#include <utility>

#include "platform/run_log.h"

namespace keyrack {

struct RunLogProbe {
    // Runs `body` while holding the log's mutex on the calling thread.
    template <typename Body>
    static void WhileHeld(const RunLog& log, Body&& body) {
        RunLog::Hold hold(log);
        std::forward<Body>(body)();
    }
};

}  // namespace keyrack
