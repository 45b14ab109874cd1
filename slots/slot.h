// One of the twelve slots: its name, its ordered items and its own copy of the psp table.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

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

enum class SaveResult { kSaved, kTooManyItems, kCannotWrite };

class Slot {
  public:
    // A new, empty slot for index 0..11; loads its table from the table file.
    Slot(int index, StorePaths paths, Desktop& desktop);
    // The same with a table the caller has read already (the tray menu reads twelve slots).
    Slot(int index, StorePaths paths, Desktop& desktop, ProcessSourcePathTable table);
    // Releases the slot if that has not been done yet.
    ~Slot();
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;

    // Reads the slot file. False (and an empty slot) when the file can't be opened.
    bool Load();
    // Writes the slot file atomically; the old file stays intact on any failure.
    SaveResult Save();
    // Destroys the items and writes the table if it changed.
    void Release();
    // One pair per item, in item order.
    WindowList BuildWindowList() const;

    // The file image and its reader, for Load/Save and for tests and fuzzing. LoadFromBytes
    // fills an empty slot as Load does: `count` is the count byte as read, `items` the
    // announced records wholly in `bytes`, icons come from the desktop. ToBytes is null when
    // the slot holds more than kMaxSlotItems items.
    void LoadFromBytes(std::span<const std::uint8_t> bytes);
    std::optional<std::vector<std::uint8_t>> ToBytes() const;

    std::int8_t count = 0;
    std::u16string name;
    SlotItems items;
    std::int8_t index = 0;
    ProcessSourcePathTable psp;

    const StorePaths& Paths() const { return m_paths; }
    Desktop& GetDesktop() const { return *m_desktop; }

  private:
    StorePaths m_paths;
    Desktop* m_desktop;
    bool m_released = false;
};

}  // namespace keyrack
