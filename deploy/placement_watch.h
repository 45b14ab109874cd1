// Placement that holds: programs that restore their own saved position shortly after their
// window appears, and splash windows that give way to the main window. A placed window is
// watched from the moment it has taken its placement (it stands at the rectangle, or its thread
// answered after the placement was posted: a busy starter takes it only seconds later) for
// kWatchSpanMs on the desktop's clock, and until the deployment ends; a window its program
// moved away from the item's rectangle meanwhile is placed again, and a placed window that
// vanishes is replaced by the next new window of the same program.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "deploy/deploy_limits.h"
#include "deploy/place_window.h"
#include "deploy/stop_request.h"
#include "platform/desktop.h"
#include "slots/slot_item.h"

namespace keyrack {

// How often one window is placed again after its first placement.
inline constexpr int kMaxReplacements = 3;

// Shared by the item-group threads, which add what they place, and the thread that waits for
// them and shows the outcome, which runs the passes. Safe to use from several threads: the
// lock guards the entries only; the desktop is called on copies taken under it, so a window
// that does not answer never holds up a thread asking whether a window is watched.
class PlacementWatch {
  public:
    explicit PlacementWatch(Desktop& desktop) : m_desktop(desktop) {}

    // `item.window` has just been placed at `placedAt` (PlaceWindow); `programPath` is the
    // image path its window was recognised by (a successor must have it too) and `claimed` the
    // group's windows that may not be taken (the program's windows from before the deployment,
    // the group's earlier items' windows), which are no successor either. A window that does
    // not answer is watched like any other: placing it again only queues the same placement.
    void Add(SlotItem& item, const Rect& placedAt, const std::u16string& programPath,
             const std::unordered_set<WindowHandle>& claimed);
    // One look at every watched window. Writes a successor window into its item's `window`.
    // Called from one thread at a time.
    void Pass();
    // Passes every kWatchPassMs for `milliseconds` on the desktop's clock, and on for as long as
    // a window is still in its watched span; ends at once on a stop request.
    void WatchFor(const StopRequest& stop, unsigned milliseconds);
    // Whether `window` is an item's window under watch.
    bool Watches(WindowHandle window) const;
    // Gives `window` to an item of this deployment: false when an item or a successor has it
    // already. The item-group searches take what they find through it, and a successor is
    // taken through it too, so one window never goes to two items.
    bool Take(WindowHandle window);
    // Whether an item of this deployment has `window`.
    bool Taken(WindowHandle window) const;
    // Whether any item got a successor window so far.
    bool Replaced() const;

  private:
    struct Entry {
        SlotItem* item = nullptr;
        WindowHandle window = 0;  // the item's window; written back into the item under the lock
        std::u16string programPath;
        std::uint32_t processId = 0;
        // Where it was asked to go, and where it was when asked: the placement is posted, so it
        // shows only at a later pass.
        Rect target;
        Rect before;
        // Where it went: the target, or what the window made of it (a window that can't take
        // the exact size is not fought over). Unknown until a pass has seen the placement.
        std::optional<Rect> placed;
        int replacements = 0;
        // When the window took the placement (0: not yet); its watched span counts from then.
        std::uint64_t tookAt = 0;
        bool released = false;  // the user moved it, or it was placed as often as allowed
        std::shared_ptr<const std::unordered_set<WindowHandle>> claimed;
    };

    // The checks of one entry, on a copy, outside the lock.
    void Check(Entry& entry);
    bool MovedAway(Entry& entry);
    bool TookPlacement(const Entry& entry);
    // Whether some entry is still within its watched span.
    bool InSpan();
    bool MouseButtonDown();
    bool TakeSuccessor(Entry& entry);
    void PlaceAndRemember(Entry& entry);

    Desktop& m_desktop;
    mutable std::mutex m_lock;
    std::vector<Entry> m_entries;
    std::unordered_set<WindowHandle> m_taken;
    bool m_replaced = false;
};

}  // namespace keyrack
