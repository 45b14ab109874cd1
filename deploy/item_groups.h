// Runs a working slot's items: one item-group thread per psp id, all in parallel, joined
// before returning.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
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

// The paths the groups learned by a title match, by their id: for the slot manager's table to keep.
using LearnedPaths = std::map<std::uint32_t, std::u16string>;

// On return every item's `window` holds the window found for it or null; the result holds the
// paths learned (the slot's own table is not written). The context's stop is handed to every group
// (see RunItemGroup); the groups are joined all the same. A group whose thread ends by an
// exception leaves a line in the run log. The groups add what they place to `watch`, whose
// passes run on the calling thread while it waits for them. Launches name `launchOwner` as the
// owner of a consent prompt.
LearnedPaths RunItemGroups(Slot& slot, const DeployContext& context, const ThreadStarter& start,
                           PlacementWatch& watch, WindowHandle launchOwner = 0);

}  // namespace keyrack
