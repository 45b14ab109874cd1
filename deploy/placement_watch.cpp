#include "deploy/placement_watch.h"

#include <algorithm>

#include "deploy/process_image.h"
#include "deploy/window_search.h"
#include "platform/text.h"

namespace keyrack {

void PlaceWindow(Desktop& desktop, const SlotItem& item) {
    desktop.ShowWindow(item.window, win::kSwShowNormal);
    desktop.MoveWindow(item.window, item.x, item.y, item.width, item.height, false);
    if (item.maximize != 0) desktop.ShowWindow(item.window, win::kSwShowMaximized);
}

void PlacementWatch::Add(SlotItem& item, const std::u16string& programPath,
                         const std::unordered_set<WindowHandle>& claimed) {
    Entry entry;
    entry.item = &item;
    entry.programPath = programPath;
    entry.claimed = claimed;
    m_desktop.GetWindowThreadProcessId(item.window, &entry.processId);
    m_desktop.GetWindowRect(item.window, &entry.placed);
    std::lock_guard lock(m_lock);
    m_entries.push_back(std::move(entry));
}

void PlacementWatch::Pass() {
    std::lock_guard lock(m_lock);
    for (Entry& entry : m_entries)
        if (!entry.released) Check(entry);
}

void PlacementWatch::WatchFor(const StopRequest& stop, unsigned milliseconds) {
    for (unsigned left = milliseconds; left > 0 && !stop.Requested();) {
        Pass();
        const unsigned slice = std::min(left, kWatchPassMs);
        m_desktop.Sleep(slice);
        left -= slice;
    }
}

bool PlacementWatch::Watches(WindowHandle window) const {
    std::lock_guard lock(m_lock);
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&](const Entry& entry) { return entry.item->window == window; });
}

bool PlacementWatch::Replaced() const {
    std::lock_guard lock(m_lock);
    return m_replaced;
}

void PlacementWatch::Check(Entry& entry) {
    const WindowHandle window = entry.item->window;
    std::uint32_t processId = 0;
    const bool alive =
        m_desktop.GetWindowThreadProcessId(window, &processId) != 0 && processId == entry.processId;
    if (!alive || !m_desktop.IsWindowVisible(window)) {
        TakeSuccessor(entry);
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

bool PlacementWatch::MovedAway(const Entry& entry) {
    const bool zoomed = m_desktop.IsZoomed(entry.item->window);
    if (entry.item->maximize != 0) return !zoomed;
    if (zoomed) return true;
    Rect now;
    return m_desktop.GetWindowRect(entry.item->window, &now) && !(now == entry.placed);
}

bool PlacementWatch::MouseButtonDown() {
    for (const int button : {win::kVkLButton, win::kVkRButton, win::kVkMButton})
        if (m_desktop.GetAsyncKeyState(button) < 0) return true;
    return false;
}

bool PlacementWatch::TakeSuccessor(Entry& entry) {
    WindowHandle successor = 0;
    m_desktop.EnumWindows([&](WindowHandle window) {
        if (entry.claimed.count(window) != 0) return true;
        const bool watched = std::any_of(m_entries.begin(), m_entries.end(),
                                         [&](const Entry& e) { return e.item->window == window; });
        if (watched || !IsCandidateWindow(m_desktop, window)) return true;
        const auto path = ImagePathOfWindow(m_desktop, window);
        if (path && EqualsNoCase(*path, entry.programPath)) successor = window;
        return successor == 0;
    });
    if (successor == 0) return false;
    entry.item->window = successor;
    m_desktop.GetWindowThreadProcessId(successor, &entry.processId);
    entry.replacements = 0;
    m_replaced = true;
    PlaceAndRemember(entry);
    return true;
}

void PlacementWatch::PlaceAndRemember(Entry& entry) {
    PlaceWindow(m_desktop, *entry.item);
    m_desktop.GetWindowRect(entry.item->window, &entry.placed);
}

}  // namespace keyrack
