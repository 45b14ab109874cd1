// Deploying a slot: load it, run its items, store its window list, raise its windows, show
// the outcome on the indicator and release the working slot.
#pragma once

#include "deploy/deploy_context.h"
#include "deploy/deploy_limits.h"
#include "deploy/indicator.h"
#include "slots/slot_manager.h"

namespace keyrack {

// `indicator` may be null (the main window is going away): the slot is deployed all the same
// and nothing is shown. Once the context's stop is requested the item groups end early (see
// RunItemGroup), the windows placed so far are kept where they are but not raised, and the outcome
// pause is cut short.
void DeploySlot(SlotManager& slots, int index, DeploymentIndicator* indicator,
                const DeployContext& context);

}  // namespace keyrack
