// Recognising an item's new top-level window: the candidate test and the window search of one
// item-group thread.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "platform/desktop.h"
#include "platform/run_log.h"

namespace keyrack {

inline constexpr std::size_t kTitleCapacity = 1024;

// Visible, either WS_EX_APPWINDOW or neither WS_EX_TOOLWINDOW nor an owner, and a window
// Keyrack may take (not its own, not the shell's).
bool IsCandidateWindow(Desktop& desktop, WindowHandle window);

// Asks the deployment for a window an item's search found: false when an item of another
// group, or the placement watch for a successor, has it already.
using TakeWindow = std::function<bool(WindowHandle)>;

// The searches of one item-group thread, private to it. A window found is claimed: no later
// search of the group finds it again, and `take` (when given) gives it to no other item.
class WindowSearch {
  public:
    // The pre-scan: claims every candidate of the group's program open now ("pre: <path>" in
    // the run log). `processPath` is the group's table entry, which a title match rewrites.
    WindowSearch(Desktop& desktop, RunLog& log, std::u16string& processPath, TakeWindow take = {});

    // A new item's search begins: the windows judged during the last one are judged afresh.
    void BeginItem();
    // The first unclaimed candidate whose owner's image path is the group's path. Only a
    // `full` attempt looks again at the windows judged before (whether their handle now names
    // a window of another process); the others cost one enumeration and the new windows.
    std::optional<WindowHandle> FindByPath(bool full = true);
    // The path search among `windows` only (the new windows an attempt between full ones looks
    // at) and the group's program's windows not shown yet.
    std::optional<WindowHandle> FindByPathAmong(const std::vector<WindowHandle>& windows);
    // Whether the last path attempt met a window it had not judged before.
    bool MetNewWindows() const { return m_metNew; }
    // The first unclaimed candidate titled `title` (case-insensitively), whatever program owns
    // it; the owner's image path becomes the group's path. An empty title matches nothing. Only
    // a `full` attempt reads the titles of the windows the last attempt saw (titles change).
    std::optional<WindowHandle> FindByTitle(const std::u16string& title, bool full = true);
    // Takes a window open before the deployment that a launch brought forward; false when
    // another item has it.
    bool TakeOpenBefore(WindowHandle window);

    // The group's program's windows from before the deployment that no item has taken yet:
    // the only windows an item may take when its launch brings one forward.
    const std::unordered_set<WindowHandle>& OpenBefore() const { return m_openBefore; }
    // Windows that must not be taken: those open before, and every window taken so far.
    const std::unordered_set<WindowHandle>& Claimed() const { return m_claimed; }
    const std::u16string& ProcessPath() const { return m_processPath; }

  private:
    std::optional<WindowHandle> Find(bool (WindowSearch::*test)(WindowHandle, bool), bool full);
    bool MatchesPath(WindowHandle window, bool full);
    bool MatchesTitle(WindowHandle window, bool full);
    // Whether the window's handle still names a window of `processId` (one call).
    bool SameProcess(WindowHandle window, std::uint32_t processId);
    // Claims a window a test matched; false when another item has it (it is then never
    // looked at again).
    bool Claim(WindowHandle window);

    Desktop& m_desktop;
    std::u16string& m_processPath;
    TakeWindow m_take;
    std::unordered_set<WindowHandle> m_claimed;
    std::unordered_set<WindowHandle> m_openBefore;
    std::u16string m_title;      // of the title search in progress
    std::u16string m_titlePath;  // the image path of the last window the title matched
    // For the length of one item's search, the windows whose image path the path search read,
    // with the process id that owned them then: not the group's (rejected without a call, and
    // with one in a full attempt), or the group's (only the candidate test is repeated, for a
    // window that is not shown yet). While that process owns the window its path cannot have
    // changed.
    std::unordered_map<WindowHandle, std::uint32_t> m_judgedOther;
    std::unordered_map<WindowHandle, std::uint32_t> m_judgedOurs;
    bool m_metNew = false;
    // The windows the title search's last attempt saw.
    std::unordered_set<WindowHandle> m_titleSeen;
};

}  // namespace keyrack
