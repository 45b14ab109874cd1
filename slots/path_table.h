// The one process-source-path table of the store, owned by the slot manager. Nobody writes a
// copy of the table back: every change is a read-modify-write of the file under the store lock
// (shared with every other Keyrack process and the slotfile tool), applying only that operation's
// own changes, and a slot is written only after the entries it names are in the table file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "slots/process_source_path_table.h"
#include "slots/slot.h"
#include "slots/store_paths.h"

namespace keyrack {

// Which file of the store could not be written and the system's error code; an empty `file`
// when everything was written.
struct StoreOutcome {
    std::filesystem::path file;
    int error = 0;
    bool Written() const { return file.empty(); }
};

// The run log's line for a failed write: the file, the error code and the system's text for it.
std::string StoreFailureLine(const StoreOutcome& outcome);

// Error code of a slot with more items than its count byte can hold.
inline constexpr int kTooManyItemsError = -1;

class PathTable {
  public:
    explicit PathTable(StorePaths paths) : m_paths(std::move(paths)) {}

    // The table as the file holds it now.
    ProcessSourcePathTable Read() const;

    // Writes `slot`, the table first. Every id of `slot.psp.added` that an item names becomes the
    // id of an equal path in the file's table, or else a new entry whose id no slot file and no
    // entry uses; an item id the file's table lacks but `slot.psp` knows gets its entry back.
    // Once the table is written the items carry the final ids and `slot.psp` is the file's
    // table, so a second call after a failed slot write adds nothing twice.
    StoreOutcome SaveSlot(Slot& slot);

    // Keeps the paths a deployment of slot `index` learned for its ids. An id no other slot file
    // names gets its entry rewritten; an id that other slots name too keeps its entry for them,
    // and this slot's items move to an entry of their own for the learned path (the slot file is
    // rewritten after the table). Ids the table lacks learn nothing.
    StoreOutcome KeepLearnedPaths(int index,
                                  const std::map<std::uint32_t, std::u16string>& learned);

    // The ids named by the items of every slot file but `except`'s (-1: every slot file).
    std::set<std::uint32_t> IdsInSlotFiles(int except = -1) const;

  private:
    ProcessSourcePathTable ReadLocked() const;
    std::uint32_t NewId(const ProcessSourcePathTable& table,
                        const std::set<std::uint32_t>& inUse) const;
    // The id of `path` in `table`: its entry's, or that of a new entry whose id no slot file and
    // no entry uses (added to `table` and `inUse`, and `changed` set). kNoPspId when no id is
    // left: the item falls to the title search.
    std::uint32_t EntryFor(ProcessSourcePathTable& table, std::set<std::uint32_t>& inUse,
                           const std::u16string& path, bool& changed) const;
    // Writes `table` when `changed`; the outcome names the table file when that fails.
    StoreOutcome WriteIfChanged(ProcessSourcePathTable& table, bool changed) const;

    StorePaths m_paths;
    mutable std::mutex m_mutex;
};

}  // namespace keyrack
