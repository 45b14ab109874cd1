// The body of one item-group thread: launches the group's items one after another, finds each
// one's new window and moves it to the item's rectangle.
#pragma once

#include <cstddef>
#include <queue>
#include <string>

#include "deploy/deploy_limits.h"
#include "deploy/group_shared.h"
#include "slots/slot_item.h"

namespace keyrack {

using ItemQueue = std::queue<SlotItem*>;

// Consumes the queue. Writes each item's `window` (null when none was found), may rewrite
// `processPath` (the group's table entry) and set `pspChanged`, and publishes its status lines
// in entry `statusIndex` of `status`, which it sets to null at the end. Each search runs on
// the desktop's clock from its launch (see deploy_limits.h): path attempts every
// kPathAttemptMs and whenever a new top-level window appears, the title search from
// kTitleSearchAfterMs, the time-out ("타임아웃" on the popup and in the run log) at
// kSearchTimeoutMs. Every placed window goes to `watch`. When a launch opens no new window but
// brings one of the program's windows from before the deployment forward (activates, restores
// or flashes it), or after kExistingWindowAfterMs the program has exactly one visible window
// from before, that window is the item's ("기존 창 배치" and a run-log line); no second item
// takes it. An item without a path, or whose launch the shell refuses, is reported at once
// ("실행 실패" and a run-log line) and not searched. A window that the system counts as hung, or
// that has not answered for kNotAnsweringAfterMs, counts as placed ("응답 없음" on the popup and in
// the run log); its placement applies when it answers. Once `stop` is requested no further item
// is launched and every wait ends at once; the items left get no window. The thread is
// per-monitor DPI aware, as every thread of the process is from its manifest.
void RunItemGroup(const GroupShared& shared, ItemQueue& queue, std::u16string& processPath,
                  std::size_t statusIndex);

}  // namespace keyrack
