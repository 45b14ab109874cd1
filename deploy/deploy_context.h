// The services a deployment and the chord handling below the main window work with, passed
// down from the main window instead of fetched from process-wide objects: the desktop, the
// run log, the status list the indicator shows and the program's stop request.
#pragma once

#include "deploy/stop_request.h"
#include "deploy/worker_status_list.h"
#include "platform/desktop.h"
#include "platform/run_log.h"

namespace keyrack {

struct DeployContext {
    Desktop& desktop;
    RunLog& log;
    WorkerStatusList& status;
    const StopRequest& stop;
};

}  // namespace keyrack
