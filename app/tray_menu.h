// The tray icon's popup menu as data: twelve slot submenus (label, check mark, entries) and the
// About and exit entries. Built fresh from the slot files and window lists each time the menu
// opens; the Win32 half (tray_menu_win32.cpp) turns it into menus.
#pragma once

#include <array>
#include <bitset>
#include <string>
#include <vector>

#include "slots/slot.h"

namespace keyrack {

class SlotManager;

// Command ids of the tray menu.
inline constexpr unsigned kIdTrayExit = 100;
inline constexpr unsigned kIdTrayAbout = 101;
inline constexpr unsigned kIdSlotEditFirst = 200;   // 200..211: edit slot id - 200
inline constexpr unsigned kIdSlotCloseFirst = 400;  // 400..411: close the windows of slot id - 400

// Slot index of an edit or close command, or -1 when `id` is not one.
int SlotOfEditCommand(unsigned id);
int SlotOfCloseCommand(unsigned id);

struct TrayMenuEntry {
    bool separator = false;
    std::u16string text;
    unsigned id = 0;
    bool checked = false;
    bool grayed = false;
    friend bool operator==(const TrayMenuEntry&, const TrayMenuEntry&) = default;
};

struct TraySlotMenu {
    std::u16string label;  // "[F%d] %s" or "[F%d] 빈슬롯"
    bool checked = false;  // the slot is deployed
    std::vector<TrayMenuEntry> entries;
};

struct TrayMenuModel {
    std::array<TraySlotMenu, kSlotCount> slots;
    std::vector<TrayMenuEntry> tail;  // separator, "정보", "종료"
};

// What the label of a slot whose chord another program holds ends in.
inline constexpr char16_t kChordTakenSuffix[] = u" (단축키 사용 중)";

// Slots by index whose chord could not be registered because another program holds it.
using ChordlessSlots = std::bitset<kSlotCount>;

// Prunes the window lists first, so the check marks show the windows that exist now. Reads
// every slot file into a slot object of its own (never the slot a deployment is using), the
// table file once, and each window list once, under the manager's lock, as a copy.
TrayMenuModel BuildTrayMenuModel(SlotManager& slots, const ChordlessSlots& chordless = {});

}  // namespace keyrack
