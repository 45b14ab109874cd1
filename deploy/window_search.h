// Recognising an item's new top-level window: the candidate test and the three EnumWindows
// callbacks of an item-group thread. Each callback returns true to go on enumerating.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "platform/desktop.h"

namespace keyrack {

inline constexpr std::size_t kTitleCapacity = 1024;

// The state of one item-group thread's searches, private to that thread.
struct WindowSearch {
    WindowSearch(Desktop& desktop, std::u16string& processPath)
        : desktop(desktop), processPath(processPath) {}

    Desktop& desktop;
    // Windows that must not be taken: the group's program's windows that were open before its
    // first launch, and every window an earlier item of the group took.
    std::unordered_set<WindowHandle> claimed;
    // The part of `claimed` the pre-scan found that no item has taken yet: the only windows an
    // item may take when its launch brings one forward instead of opening a new one.
    std::unordered_set<WindowHandle> openBefore;
    // The group's process-source path: the table entry itself, which a title match rewrites.
    std::u16string& processPath;
    WindowHandle found = 0;
    std::u16string title;  // the name of the item being searched
    // For the length of one item's search: the windows whose image path the path search read
    // and found not to be the group's, with the process id that owned them then. While that
    // process still owns the window its path cannot have changed, so the window is rejected
    // with one call instead of opening its process again on every attempt.
    std::unordered_map<WindowHandle, std::uint32_t> judgedOther;
};

// Visible, either WS_EX_APPWINDOW or neither WS_EX_TOOLWINDOW nor an owner, and a window
// Keyrack may take (not its own, not the shell's).
bool IsCandidateWindow(Desktop& desktop, WindowHandle window);

// Claims every candidate of the group's program ("pre: <path>" on standard output) and notes
// it in `openBefore`.
bool CollectExistingWindows(WindowSearch& search, WindowHandle window);
// Takes the first unclaimed candidate whose owner's image path is the group's path. A window
// in `judgedOther` whose process id is unchanged is passed over after that one check.
bool FindWindowByPath(WindowSearch& search, WindowHandle window);
// Takes the first unclaimed candidate titled like the item, whatever program owns it, and
// learns the owner's image path as the group's path. An empty item name matches nothing.
bool FindWindowByTitle(WindowSearch& search, WindowHandle window);

}  // namespace keyrack
