#include "deploy/brought_forward.h"

namespace keyrack {

BroughtForward::BroughtForward(Desktop& desktop, const std::unordered_set<WindowHandle>& open,
                               std::function<bool(WindowHandle)> takenElsewhere)
    : m_desktop(desktop), m_open(open), m_takenElsewhere(std::move(takenElsewhere)) {
    m_foregroundAtLaunch = desktop.GetForegroundWindow();
    m_launchedAt = desktop.SteadyClockMs();
    for (const WindowHandle window : open)
        if (desktop.IsIconic(window)) m_minimisedAtLaunch.insert(window);
}

WindowHandle BroughtForward::Find() {
    // A window that was in front already when the item was launched tells nothing: the launch
    // may have left it there or not reached the program at all.
    const WindowHandle foreground = m_desktop.GetForegroundWindow();
    if (foreground != m_foregroundAtLaunch && Takeable(foreground)) return foreground;
    for (const WindowHandle window : m_minimisedAtLaunch) {
        // A window that was closed meanwhile is neither iconic nor visible.
        if (Takeable(window) && !m_desktop.IsIconic(window) && m_desktop.IsWindowVisible(window))
            return window;
    }
    for (const WindowHandle window : m_open) {
        const std::uint64_t flashed = m_desktop.LastFlashMs(window);
        if (flashed != 0 && flashed >= m_launchedAt && Takeable(window)) return window;
    }
    return 0;
}

WindowHandle BroughtForward::OnlyVisible() const {
    WindowHandle only = 0;
    for (const WindowHandle window : m_open) {
        if (!Takeable(window) || !m_desktop.IsWindowVisible(window)) continue;
        if (only != 0) return 0;
        only = window;
    }
    return only;
}

bool BroughtForward::Takeable(WindowHandle window) const {
    return window != 0 && m_open.count(window) != 0 && !m_takenElsewhere(window);
}

}  // namespace keyrack
