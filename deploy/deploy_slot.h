// Deploying a slot: load it, run its items, store its window list, raise its windows, show
// the outcome on the indicator and release the working slot.
#pragma once

#include "deploy/indicator.h"
#include "deploy/worker_status_list.h"
#include "platform/run_log.h"
#include "slots/slot_manager.h"

namespace keyrack {

inline constexpr unsigned kOutcomePauseMs = 2500;

// `indicator` may be null (the main window is going away): the slot is deployed all the same
// and nothing is shown. Uses the process-wide status list and run log.
void DeploySlot(SlotManager& slots, int index, DeploymentIndicator* indicator);
void DeploySlot(SlotManager& slots, int index, DeploymentIndicator* indicator,
                WorkerStatusList& status, RunLog& log);

}  // namespace keyrack
