#include "app/chord_hotkeys.h"

namespace keyrack {
namespace {

// Hotkey ids of the chords: kFirstId + slot index (application ids lie below 0xC000).
constexpr int kFirstId = 0x4B00;

}  // namespace

void ChordHotkeys::Register(HWND window) {
    Unregister();
    m_window = window;
    for (int i = 0; i < kSlotCount; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        if (RegisterHotKey(window, kFirstId + i, MOD_CONTROL | MOD_SHIFT | MOD_NOREPEAT,
                           VK_F1 + i)) {
            m_status[slot] = Status::kRegistered;
            m_error[slot] = 0;
            continue;
        }
        m_error[slot] = GetLastError();
        m_status[slot] =
            m_error[slot] == ERROR_HOTKEY_ALREADY_REGISTERED ? Status::kTaken : Status::kFailed;
    }
}

void ChordHotkeys::Unregister() {
    for (int i = 0; i < kSlotCount; ++i) {
        auto& status = m_status[static_cast<std::size_t>(i)];
        if (status == Status::kRegistered) UnregisterHotKey(m_window, kFirstId + i);
        status = Status::kUnregistered;
    }
    m_window = nullptr;
}

ChordlessSlots ChordHotkeys::Taken() const {
    ChordlessSlots taken;
    for (std::size_t i = 0; i < m_status.size(); ++i) taken[i] = m_status[i] == Status::kTaken;
    return taken;
}

int ChordHotkeys::SlotOf(WPARAM id) {
    return id >= kFirstId && id < static_cast<WPARAM>(kFirstId + kSlotCount)
               ? static_cast<int>(id - kFirstId)
               : -1;
}

}  // namespace keyrack
