// Recognising an item's new top-level window: the candidate test and the window search of one
// item-group thread.
#pragma once

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

// The searches of one item-group thread, private to it. A window found is claimed: no later
// search of the group finds it again.
class WindowSearch {
  public:
    // The pre-scan: claims every candidate of the group's program open now ("pre: <path>" in
    // the run log). `processPath` is the group's table entry, which a title match rewrites.
    WindowSearch(Desktop& desktop, RunLog& log, std::u16string& processPath);

    // A new item's search begins: the windows judged during the last one are judged afresh.
    void BeginItem() { m_judgedOther.clear(); }
    // The first unclaimed candidate whose owner's image path is the group's path.
    std::optional<WindowHandle> FindByPath();
    // The first unclaimed candidate titled `title` (case-insensitively), whatever program owns
    // it; the owner's image path becomes the group's path. An empty title matches nothing.
    std::optional<WindowHandle> FindByTitle(const std::u16string& title);
    // Takes a window open before the deployment that a launch brought forward.
    void TakeOpenBefore(WindowHandle window) { m_openBefore.erase(window); }

    // The group's program's windows from before the deployment that no item has taken yet:
    // the only windows an item may take when its launch brings one forward.
    const std::unordered_set<WindowHandle>& OpenBefore() const { return m_openBefore; }
    // Windows that must not be taken: those open before, and every window taken so far.
    const std::unordered_set<WindowHandle>& Claimed() const { return m_claimed; }
    const std::u16string& ProcessPath() const { return m_processPath; }

  private:
    std::optional<WindowHandle> Find(bool (WindowSearch::*test)(WindowHandle));
    bool MatchesPath(WindowHandle window);
    bool MatchesTitle(WindowHandle window);

    Desktop& m_desktop;
    std::u16string& m_processPath;
    std::unordered_set<WindowHandle> m_claimed;
    std::unordered_set<WindowHandle> m_openBefore;
    std::u16string m_title;  // of the title search in progress
    // For the length of one item's search: the windows whose image path the path search read
    // and found not to be the group's, with the process id that owned them then. While that
    // process still owns the window its path cannot have changed, so the window is rejected
    // with one call instead of opening its process again on every attempt.
    std::unordered_map<WindowHandle, std::uint32_t> m_judgedOther;
};

}  // namespace keyrack
