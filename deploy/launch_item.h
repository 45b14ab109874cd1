// Starting one item's program through the shell: a file starts in its own folder, on a thread
// with a COM apartment (see RunItemGroup), and a consent prompt belongs to the indicator.
#pragma once

#include <string>

#include "deploy/group_shared.h"
#include "slots/slot_item.h"

namespace keyrack {

// The file the item's path names now: the path itself, or, when it names a file in a version
// folder that is gone, the same file in the newest sibling version that holds it (logged;
// the item keeps its text).
std::u16string ResolveLaunchPath(const GroupShared& shared, const SlotItem& item);

// Launches the item at `path` (see ResolveLaunchPath) and logs which way it went. False when
// the program could not be started.
bool LaunchItem(const GroupShared& shared, const SlotItem& item, const std::u16string& path);

}  // namespace keyrack
