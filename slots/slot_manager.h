// The owner of slot state at run time: hands each operation a working slot of its own and keeps
// the twelve window lists behind one mutex, so the deployment thread and the user-interface
// thread never free or replace a slot or a list the other is using.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/desktop.h"
#include "slots/path_table.h"
#include "slots/slot.h"
#include "slots/store_paths.h"
#include "slots/window_list.h"

namespace keyrack {

class SlotManager {
  public:
    SlotManager(StorePaths paths, Desktop& desktop);

    // A fresh working slot for index 0..11, loaded from its file; null when the file can't
    // be read. The caller owns it for the length of its operation.
    std::unique_ptr<Slot> LoadCurrent(int index);
    // The same with a copy of `table` as the slot's table, instead of reading the table file.
    std::unique_ptr<Slot> LoadCurrent(int index, const ProcessSourcePathTable& table);
    // Releases a working slot and resets the pointer.
    static void ReleaseCurrent(std::unique_ptr<Slot>& current);

    // Window lists. Each call holds the mutex only for its own read or change. A list is pruned
    // as it is read: a handle that no longer names a window, or that now belongs to another
    // process than the one it was taken in with, is nulled, and a list left with no live handle
    // or no entry is dropped, so a slot whose windows have all closed counts as having none.
    bool HasWindowList(int index);
    std::optional<WindowList> GetWindowList(int index);
    void SetWindowList(int index, WindowList list);  // replaces any list there
    // Appends pairs, creating the list when the slot has none.
    void AppendWindowPairs(int index, const WindowList& pairs);
    // An edited slot's pairs: a slot without a list (after pruning) takes them as they are, zero
    // handles included; a slot with one gets only the pairs that carry a window appended, and
    // keeps its own pairs unchanged.
    void MergeEditedWindowList(int index, const WindowList& edited);
    // Runs `change` on the slot's list under the mutex; false when the slot has no list.
    // `change` must not block (no Sleep, no SendMessage).
    bool UpdateWindowList(int index, const std::function<void(WindowList&)>& change);

    const StorePaths& Paths() const { return m_paths; }
    // The one path table: every write of the table and of a slot that names new entries.
    PathTable& Table() { return m_table; }

  private:
    // The pair's handle still names a window, of the process it was taken in with.
    bool IsSameOwner(const HandleMaxiPair& pair) const;
    // Notes the owning process of each handle that has none noted yet.
    void StampOwners(WindowList& list) const;
    void PruneListLocked(std::optional<WindowList>& list) const;

    StorePaths m_paths;
    Desktop* m_desktop;
    PathTable m_table;
    mutable std::mutex m_windowsMutex;
    std::array<std::optional<WindowList>, kSlotCount> m_windows;
};

}  // namespace keyrack
