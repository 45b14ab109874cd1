// A single-instance program launched again opens no window: it brings its open one forward
// instead, or, refused the foreground (Windows' foreground lock), flashes its taskbar button.
// This notes, when an item is launched, the time, the foreground window and which of the
// program's open windows are minimised, so that the search can tell the window the launch
// brought forward.
#pragma once

#include <functional>
#include <unordered_set>
#include <utility>

#include "platform/desktop.h"

namespace keyrack {

class BroughtForward {
  public:
    // `open` are the program's windows from before the deployment that no item has taken yet;
    // `takenElsewhere` tells a window another item of the deployment has taken. Call right
    // before the launch.
    BroughtForward(Desktop& desktop, const std::unordered_set<WindowHandle>& open,
                   std::function<bool(WindowHandle)> takenElsewhere);

    // One of `open` that has become the foreground window since the launch, was restored from
    // minimised or flashed since then; 0 when there is none.
    WindowHandle Find();
    // The program was running at the launch and has exactly one visible window from before:
    // that window (the item's when no new window comes); 0 otherwise.
    WindowHandle OnlyVisible() const;

  private:
    bool Takeable(WindowHandle window) const;

    Desktop& m_desktop;
    const std::unordered_set<WindowHandle>& m_open;
    std::function<bool(WindowHandle)> m_takenElsewhere;
    WindowHandle m_foregroundAtLaunch = 0;
    std::uint64_t m_launchedAt = 0;
    std::unordered_set<WindowHandle> m_minimisedAtLaunch;
};

}  // namespace keyrack
