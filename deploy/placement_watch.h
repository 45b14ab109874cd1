// Placement that holds: programs that restore their own saved position shortly after their
// window appears, and splash windows that give way to the main window. Every placed window is
// watched until the deployment ends; a window its program moved away from the item's
// rectangle is placed again, and a placed window that vanishes is replaced by the next new
// window of the same program.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "deploy/stop_request.h"
#include "platform/desktop.h"
#include "slots/slot_item.h"

namespace keyrack {

// How often the watched windows are looked at.
inline constexpr unsigned kWatchPassMs = 50;
// How often one window is placed again after its first placement.
inline constexpr int kMaxReplacements = 3;

// ShowWindow(SW_SHOWNORMAL), MoveWindow to the item's rectangle, then SW_SHOWMAXIMIZED when
// the item is maximised.
void PlaceWindow(Desktop& desktop, const SlotItem& item);

// Shared by the item-group threads, which add what they place, and the thread that waits for
// them and shows the outcome, which runs the passes. Safe to use from several threads.
class PlacementWatch {
  public:
    explicit PlacementWatch(Desktop& desktop) : m_desktop(desktop) {}

    // `item.window` has just been placed; `programPath` is the image path its window was
    // recognised by (a successor must have it too) and `claimed` the group's windows that may
    // not be taken (the program's windows from before the deployment, the group's earlier
    // items' windows), which are no successor either.
    void Add(SlotItem& item, const std::u16string& programPath,
             const std::unordered_set<WindowHandle>& claimed);
    // One look at every watched window. Writes a successor window into its item's `window`.
    void Pass();
    // Passes every kWatchPassMs for `milliseconds`, ending early on a stop request.
    void WatchFor(const StopRequest& stop, unsigned milliseconds);
    // Whether `window` is an item's window under watch (taken by an item of this deployment).
    bool Watches(WindowHandle window) const;
    // Whether any item got a successor window so far.
    bool Replaced() const;

  private:
    struct Entry {
        SlotItem* item = nullptr;
        std::u16string programPath;
        std::uint32_t processId = 0;
        // The window's rectangle right after it was placed: a window that can't take the
        // item's exact size is not fought over.
        Rect placed;
        int replacements = 0;
        bool released = false;  // the user moved it, or it was placed as often as allowed
        std::unordered_set<WindowHandle> claimed;
    };

    void Check(Entry& entry);
    bool MovedAway(const Entry& entry);
    bool MouseButtonDown();
    bool TakeSuccessor(Entry& entry);
    void PlaceAndRemember(Entry& entry);

    Desktop& m_desktop;
    mutable std::mutex m_lock;
    std::vector<Entry> m_entries;
    bool m_replaced = false;
};

}  // namespace keyrack
