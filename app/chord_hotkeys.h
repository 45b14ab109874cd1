// The twelve chords, Ctrl+Shift+F1..F12, registered as hotkeys of the main window. The system
// delivers each as WM_HOTKEY to the user-interface thread, also while an elevated window has
// focus, and the program in front never sees the keystroke. MOD_NOREPEAT: a held chord arrives
// once. Unregistered when this object goes.
#pragma once

#include <windows.h>

#include <array>

#include "app/tray_menu.h"

namespace keyrack {

class ChordHotkeys {
  public:
    enum class Status { kUnregistered, kRegistered, kTaken, kFailed };

    ChordHotkeys() = default;
    ~ChordHotkeys() { Unregister(); }
    ChordHotkeys(const ChordHotkeys&) = delete;
    ChordHotkeys& operator=(const ChordHotkeys&) = delete;

    // Registers the twelve chords for `window`. One that fails leaves only its own slot without
    // a chord: kTaken when another program holds it, kFailed (with ErrorOf) otherwise.
    void Register(HWND window);
    void Unregister();

    Status StatusOf(int index) const { return m_status[static_cast<std::size_t>(index)]; }
    DWORD ErrorOf(int index) const { return m_error[static_cast<std::size_t>(index)]; }
    // The slots whose chord another program holds.
    ChordlessSlots Taken() const;

    // The slot index 0..11 that a WM_HOTKEY's id names, or -1 for an id not ours.
    static int SlotOf(WPARAM id);

  private:
    HWND m_window = nullptr;
    std::array<Status, kSlotCount> m_status{};
    std::array<DWORD, kSlotCount> m_error{};
};

}  // namespace keyrack
