// What the item-group threads of one deployment share with each other and with the thread
// that started them.
#pragma once

#include "deploy/path_learning.h"
#include "deploy/placement_watch.h"
#include "deploy/stop_request.h"
#include "deploy/worker_status_list.h"
#include "platform/desktop.h"
#include "platform/run_log.h"

namespace keyrack {

struct GroupShared {
    Desktop& desktop;
    WorkerStatusList& status;
    RunLog& log;
    PathLearning& pspChanged;
    const StopRequest& stop;
    PlacementWatch& watch;
    // The window a launch's consent prompt or error box belongs to: the indicator's.
    WindowHandle launchOwner;
};

}  // namespace keyrack
