// Runs a working slot's items: one item-group thread per psp id, all in parallel, joined
// before returning.
#pragma once

#include <functional>
#include <memory>
#include <thread>

#include "deploy/deploy_context.h"
#include "deploy/placement_watch.h"
#include "deploy/worker_status_list.h"
#include "platform/run_log.h"
#include "slots/slot.h"

namespace keyrack {

// Starts a thread running `body`; throws std::system_error when no thread can be started.
using ThreadStarter = std::function<std::unique_ptr<std::thread>(std::function<void()> body)>;
std::unique_ptr<std::thread> StartStdThread(std::function<void()> body);

// On return every item's `window` holds the window found for it or null, and the slot's table
// has been saved when a group learned a new path. The context's stop is handed to every group
// (see RunItemGroup); the groups are joined all the same. A group whose thread ends by an
// exception leaves a line in the run log. The groups add what they place to `watch`, whose
// passes run on the calling thread while it waits for them. Launches name `launchOwner` as the
// owner of a consent prompt.
void RunItemGroups(Slot& slot, const DeployContext& context, const ThreadStarter& start,
                   PlacementWatch& watch, WindowHandle launchOwner = 0);
// The same with a watch that ends with the call.
void RunItemGroups(Slot& slot, const DeployContext& context, const ThreadStarter& start);

}  // namespace keyrack
