#include "deploy/placement_watch.h"

#include <algorithm>

#include "deploy/process_image.h"
#include "deploy/program_path.h"
#include "deploy/window_search.h"

namespace keyrack {

void PlacementWatch::Add(SlotItem& item, const Rect& placedAt, const std::u16string& programPath,
                         const std::unordered_set<WindowHandle>& claimed) {
    Entry entry;
    entry.item = &item;
    entry.window = item.window;
    entry.programPath = programPath;
    entry.claimed = std::make_shared<const std::unordered_set<WindowHandle>>(claimed);
    entry.target = placedAt;
    m_desktop.GetWindowThreadProcessId(item.window, &entry.processId);
    m_desktop.GetWindowRect(item.window, &entry.before);
    std::lock_guard lock(m_lock);
    m_taken.insert(item.window);
    m_entries.push_back(std::move(entry));
}

void PlacementWatch::Pass() {
    // Entries are only appended, so an index taken here still names the same entry after the
    // checks; only this thread changes them.
    std::vector<std::pair<std::size_t, Entry>> open;
    {
        std::lock_guard lock(m_lock);
        for (std::size_t i = 0; i < m_entries.size(); ++i)
            if (!m_entries[i].released) open.emplace_back(i, m_entries[i]);
    }
    for (auto& [index, entry] : open) Check(entry);
    std::lock_guard lock(m_lock);
    for (auto& [index, entry] : open) {
        Entry& stored = m_entries[index];
        if (stored.window != entry.window) m_replaced = true;
        stored = std::move(entry);
        stored.item->window = stored.window;
    }
}

void PlacementWatch::WatchFor(const StopRequest& stop, unsigned milliseconds) {
    const std::uint64_t end = m_desktop.SteadyClockMs() + milliseconds;
    while (!stop.Requested()) {
        Pass();
        const std::uint64_t now = m_desktop.SteadyClockMs();
        if (now >= end && !InSpan()) return;
        const std::uint64_t left = now < end ? end - now : kWatchPassMs;
        m_desktop.WaitUnlessStopped(
            stop, static_cast<unsigned>(std::min<std::uint64_t>(left, kWatchPassMs)));
    }
}

bool PlacementWatch::InSpan() {
    const std::uint64_t now = m_desktop.SteadyClockMs();
    std::lock_guard lock(m_lock);
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry& entry) {
        return !entry.released && entry.tookAt != 0 && now - entry.tookAt < kWatchSpanMs;
    });
}

bool PlacementWatch::TookPlacement(const Entry& entry) {
    Rect now;
    if (m_desktop.GetWindowRect(entry.window, &now) && now == entry.target) return true;
    // A thread that has answered since the placement was posted has taken it (whatever it
    // made of it); one the system counts as hung is not asked.
    return !m_desktop.IsHungAppWindow(entry.window) &&
           WindowAnswers(m_desktop, entry.window, kWatchAnswerMs);
}

bool PlacementWatch::Watches(WindowHandle window) const {
    std::lock_guard lock(m_lock);
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&](const Entry& entry) { return entry.window == window; });
}

bool PlacementWatch::Take(WindowHandle window) {
    std::lock_guard lock(m_lock);
    return m_taken.insert(window).second;
}

bool PlacementWatch::Taken(WindowHandle window) const {
    std::lock_guard lock(m_lock);
    return m_taken.count(window) != 0;
}

bool PlacementWatch::Replaced() const {
    std::lock_guard lock(m_lock);
    return m_replaced;
}

void PlacementWatch::Check(Entry& entry) {
    const WindowHandle window = entry.window;
    std::uint32_t processId = 0;
    const bool alive =
        m_desktop.GetWindowThreadProcessId(window, &processId) != 0 && processId == entry.processId;
    if (!alive || !m_desktop.IsWindowVisible(window)) {
        TakeSuccessor(entry);
        return;
    }
    if (entry.tookAt == 0) {
        // Not yet taken: the placement still waits in the window's queue, and what the
        // window shows now is from before it.
        if (!TookPlacement(entry)) return;
        entry.tookAt = m_desktop.SteadyClockMs();
    } else if (m_desktop.SteadyClockMs() - entry.tookAt >= kWatchSpanMs) {
        entry.released = true;
        return;
    }
    // A minimised window was put away by the user; it is not the program undoing the place.
    if (m_desktop.IsIconic(window) || !MovedAway(entry)) return;
    if (MouseButtonDown()) {
        // The user is dragging or sizing it: where the user puts it, it stays.
        entry.released = true;
        return;
    }
    if (entry.replacements >= kMaxReplacements) {
        entry.released = true;
        return;
    }
    ++entry.replacements;
    PlaceAndRemember(entry);
}

bool PlacementWatch::MovedAway(Entry& entry) {
    const bool zoomed = m_desktop.IsZoomed(entry.window);
    if (entry.item->maximize != 0) return !zoomed;
    if (zoomed) return true;
    Rect now;
    if (!m_desktop.GetWindowRect(entry.window, &now)) return false;
    if (!entry.placed) {
        // The first look since the placement was posted. Still where it was: the program put it
        // back, or its thread never took the placement; anywhere else is the window's own take
        // on the target.
        if (now == entry.before && !(now == entry.target)) return true;
        entry.placed = now;
        return false;
    }
    return !(now == *entry.placed);
}

bool PlacementWatch::MouseButtonDown() {
    for (const int button : {win::kVkLButton, win::kVkRButton, win::kVkMButton})
        if (m_desktop.GetAsyncKeyState(button) < 0) return true;
    return false;
}

bool PlacementWatch::TakeSuccessor(Entry& entry) {
    WindowHandle successor = 0;
    m_desktop.EnumWindows([&](WindowHandle window) {
        if (entry.claimed->count(window) != 0 || Taken(window)) return true;
        if (!IsCandidateWindow(m_desktop, window)) return true;
        const auto path = ImagePathOfWindow(m_desktop, window);
        // Taken at once: a search that matched the window meanwhile keeps it.
        if (path && SameProgramPath(m_desktop, *path, entry.programPath) && Take(window))
            successor = window;
        return successor == 0;
    });
    if (successor == 0) return false;
    entry.window = successor;
    m_desktop.GetWindowThreadProcessId(successor, &entry.processId);
    entry.replacements = 0;
    entry.tookAt = 0;
    PlaceAndRemember(entry);
    return true;
}

void PlacementWatch::PlaceAndRemember(Entry& entry) {
    m_desktop.GetWindowRect(entry.window, &entry.before);
    entry.target = PlaceWindow(m_desktop, entry.window, *entry.item);
    entry.placed.reset();
}

}  // namespace keyrack
