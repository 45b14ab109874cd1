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

    // Window lists. Each call holds the mutex only for its own read or change.
    bool HasWindowList(int index) const;
    std::optional<WindowList> GetWindowList(int index) const;
    void SetWindowList(int index, WindowList list);  // replaces any list there
    // Appends pairs, creating the list when the slot has none.
    void AppendWindowPairs(int index, const WindowList& pairs);
    // An edited slot's pairs: a slot without a list takes them as they are, zero handles
    // included; a slot with one gets only the pairs that carry a window appended, and keeps its
    // own pairs unchanged. The lists are pruned first, so a list whose windows have all closed
    // counts as none.
    void MergeEditedWindowList(int index, const WindowList& edited);
    // Runs `change` on the slot's list under the mutex; false when the slot has no list.
    // `change` must not block (no Sleep, no SendMessage).
    bool UpdateWindowList(int index, const std::function<void(WindowList&)>& change);
    // Nulls every handle for which `alive` is false or which now belongs to another process than
    // the one it had when the pair was taken in, and drops lists left with no live handle or no
    // entry. `alive` is called under the mutex.
    void PruneWindowLists(const std::function<bool(WindowHandle)>& alive);
    // The same for the windows that no longer exist on the desktop. Nothing prunes on a
    // schedule: whoever is about to decide by a list (a chord, the tray menu, the close
    // command, the editor's merge) prunes first.
    void PruneWindowLists();

    const StorePaths& Paths() const { return m_paths; }
    Desktop& GetDesktop() const { return *m_desktop; }
    // The one path table: every write of the table and of a slot that names new entries.
    PathTable& Table() { return m_table; }

  private:
    // The pair's handle still names a window, of the process it was taken in with.
    bool IsSameOwner(const HandleMaxiPair& pair) const;
    // Notes the owning process of each handle that has none noted yet.
    void StampOwners(WindowList& list) const;
    void PruneLocked(const std::function<bool(const HandleMaxiPair&)>& alive);

    StorePaths m_paths;
    Desktop* m_desktop;
    PathTable m_table;
    mutable std::mutex m_windowsMutex;
    std::array<std::optional<WindowList>, kSlotCount> m_windows;
};

}  // namespace keyrack
