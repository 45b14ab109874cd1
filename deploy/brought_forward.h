// A single-instance program launched again opens no window: it brings its open one forward
// instead. This notes, when an item is launched, the foreground window and which of the
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

    // One of `open` that has become the foreground window since the launch, or was restored
    // from minimised since then; 0 when there is none.
    WindowHandle Find();

  private:
    bool Takeable(WindowHandle window) const;

    Desktop& m_desktop;
    const std::unordered_set<WindowHandle>& m_open;
    std::function<bool(WindowHandle)> m_takenElsewhere;
    WindowHandle m_foregroundAtLaunch = 0;
    std::unordered_set<WindowHandle> m_minimisedAtLaunch;
};

}  // namespace keyrack
