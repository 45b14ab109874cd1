// Maps psp ids to the image path of the process that owns an item's window; kept in the file
// "processsourcepath" as 524-byte records (520 bytes of UTF-16LE path, 4 bytes of id).
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "slots/slot_item.h"
#include "slots/store_paths.h"

namespace keyrack {

inline constexpr std::size_t kTableRecordSize = 524;

class ProcessSourcePathTable {
  public:
    std::map<std::uint32_t, std::u16string> paths;
    std::uint32_t lastId = kNoPspId;  // highest id; kNoPspId (-1) while empty
    bool dirty = false;
    // The ids AddPath gave out since the table was read: stand-ins for ids the slot manager's
    // PathTable hands out when it writes the file (see PathTable::SaveSlot).
    std::vector<std::uint32_t> added;

    // Fills the (empty) table from the file; a missing file leaves it empty. For duplicate
    // ids the first record wins; a trailing partial record is ignored.
    void Load(const StorePaths& paths);
    // Writes the table when dirty, replacing the file atomically; clears `dirty` only when the
    // new file is in place. False (with the system's error code) when it could not be written.
    WriteOutcome Save(const StorePaths& paths);
    // Inserts the entry unless the id is present already. Leaves `lastId` and `dirty` alone.
    void Add(std::uint32_t id, std::u16string_view path);
    // A new entry under a given id, with the table's own bookkeeping: unless the id is present
    // already (or is kNoPspId), inserts it, raises `lastId` to it and marks the table dirty.
    // True when the entry was inserted.
    bool AddEntry(std::uint32_t id, std::u16string_view path);
    // The id of the first entry (ascending ids) whose path equals `path` ignoring ASCII case.
    std::uint32_t FindByPath(std::u16string_view path) const;
    // The path of `id`, or null when the table has no such entry.
    const std::u16string* PathOf(std::uint32_t id) const;
    // The editor's way of adding a path: the existing id when a case-insensitive equal path is
    // there, otherwise a new entry with id lastId + 1 that marks the table dirty and is listed
    // in `added`.
    // Paths longer than a record holds are cut as the file would cut them. kNoPspId when the
    // id space is used up.
    std::uint32_t AddPath(std::u16string_view path);

    // The file image and its reader, for Load/Save and for tests and fuzzing. FromBytes fills
    // an empty table; records with id kNoPspId (the "no entry" value) are skipped.
    void LoadFromBytes(std::span<const std::uint8_t> bytes);
    // One record per entry in ascending id order, through one buffer that is cleared once, so
    // a shorter path leaves the tail of a longer earlier one after its NUL.
    std::vector<std::uint8_t> ToBytes() const;
};

}  // namespace keyrack
