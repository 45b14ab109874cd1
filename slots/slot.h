// One of the twelve slots: its name, its ordered items and the psp table as it was read for the
// operation that made it (never written back: the slot manager's PathTable writes the table).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/desktop.h"
#include "slots/process_source_path_table.h"
#include "slots/slot_item.h"
#include "slots/slot_items.h"
#include "slots/store_paths.h"
#include "slots/window_list.h"

namespace keyrack {

inline constexpr int kSlotCount = 12;
inline constexpr std::size_t kSlotNameCapacity = 256;
inline constexpr std::size_t kSlotHeaderSize = 513;  // count byte + 512-byte name
inline constexpr std::size_t kMaxSlotItems = 127;    // the count byte is signed
// Bytes past the largest slot the count byte can announce are never looked at.
inline constexpr std::size_t kLargestSlotFile = kSlotHeaderSize + kMaxSlotItems * kSlotItemSize;

enum class SaveResult { kSaved, kTooManyItems, kCannotWrite };

class Slot {
  public:
    // A new, empty slot for index 0..11; reads the table file for its `psp`.
    Slot(int index, StorePaths paths);
    // The same with a table the caller has read already (the tray menu reads twelve slots).
    Slot(int index, StorePaths paths, ProcessSourcePathTable table);
    // Releases the slot if that has not been done yet.
    ~Slot();
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;

    // Reads the slot file, without icons. False (and an empty slot) when the file can't be opened.
    bool Load();
    // Gives every item the first icon of its table entry's file (the application's own icon when
    // that has none). Only the editor shows icons; the menu and the chords never wait for a file
    // on a slow disk or share.
    void LoadIcons(Desktop& desktop);
    // Writes the slot file atomically; the old file stays intact on any failure, and `outcome`
    // (when given) gets the system's error code.
    SaveResult Save(WriteOutcome* outcome = nullptr);
    // Destroys the items.
    void Release();
    // One pair per item, in item order.
    WindowList BuildWindowList() const;

    // The file image and its reader, for Load/Save and for tests and fuzzing. LoadFromBytes
    // fills an empty slot as Load does: `items` are the announced records wholly in `bytes`
    // (none for a negative count byte), without icons. ToBytes is null when
    // the slot holds more than kMaxSlotItems items.
    void LoadFromBytes(std::span<const std::uint8_t> bytes);
    std::optional<std::vector<std::uint8_t>> ToBytes() const;

    // The number of items, as the count byte of the file holds it; always that of `items`.
    std::size_t count() const { return items.size(); }

    std::u16string name;
    SlotItems items;
    std::int8_t index = 0;
    ProcessSourcePathTable psp;

    const StorePaths& Paths() const { return m_paths; }

  private:
    StorePaths m_paths;
    bool m_released = false;
};

}  // namespace keyrack
