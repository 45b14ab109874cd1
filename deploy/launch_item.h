// Starting one item's program. A plain .exe is started with CreateProcessW and the item's
// rectangle as its first window's start-up position and size, so a program that creates that
// window with CW_USEDEFAULT opens where the item puts it instead of opening elsewhere and
// jumping; the placement after the window shows stays as it is, for programs that ignore the
// hint. Everything else (documents, folders, URLs, shell targets, links, scripts, App Paths
// names, an .exe that needs elevation) goes through the shell, on the item's monitor.
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
// the program could not be started either way.
bool LaunchItem(const GroupShared& shared, const SlotItem& item, const std::u16string& path);

}  // namespace keyrack
