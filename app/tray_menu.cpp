#include "app/tray_menu.h"

#include <optional>

#include "platform/format.h"
#include "slots/slot_manager.h"

namespace keyrack {
namespace {

TrayMenuEntry Item(std::u16string text, unsigned id, bool checked = false, bool grayed = false) {
    return TrayMenuEntry{false, std::move(text), id, checked, grayed};
}
TrayMenuEntry Separator() { return TrayMenuEntry{true, {}, 0, false, false}; }

TraySlotMenu SlotMenu(SlotManager& slots, int index, const ProcessSourcePathTable& table) {
    TraySlotMenu menu;
    const auto keyNumber = index + 1;
    // The deployed state is taken first, as one copy, so a list that the deployment thread
    // replaces meanwhile can't change under the menu.
    const std::optional<WindowList> windows = slots.GetWindowList(index);
    const bool deployed = windows.has_value();
    menu.checked = deployed;

    std::unique_ptr<Slot> slot = slots.LoadCurrent(index, table);
    if (!slot) {
        menu.label = PrintfFormat(u"[F%d] 빈슬롯", {keyNumber});
        menu.entries.push_back(Item(u"채우기", kIdSlotEditFirst + index));
        return menu;
    }
    menu.label = PrintfFormat(u"[F%d] %s", {keyNumber, slot->name});
    for (std::size_t j = 0; j < slot->items.size(); ++j) {
        if (deployed) {
            const bool open = j < windows->size() && (*windows)[j].handle != 0;
            menu.entries.push_back(Item(slot->items[j]->name, 0, open, false));
        } else {
            menu.entries.push_back(Item(slot->items[j]->name, 0, false, true));
        }
    }
    menu.entries.push_back(Separator());
    menu.entries.push_back(Item(u"닫기", kIdSlotCloseFirst + index, false, !deployed));
    menu.entries.push_back(Item(u"속성", kIdSlotEditFirst + index));
    SlotManager::ReleaseCurrent(slot);
    return menu;
}

}  // namespace

int SlotOfEditCommand(unsigned id) {
    return id >= kIdSlotEditFirst && id < kIdSlotEditFirst + kSlotCount
               ? static_cast<int>(id - kIdSlotEditFirst)
               : -1;
}

int SlotOfCloseCommand(unsigned id) {
    return id >= kIdSlotCloseFirst && id < kIdSlotCloseFirst + kSlotCount
               ? static_cast<int>(id - kIdSlotCloseFirst)
               : -1;
}

TrayMenuModel BuildTrayMenuModel(SlotManager& slots, const ChordlessSlots& chordless) {
    TrayMenuModel model;
    // One read of the table for the whole menu: it may be large, and every slot holds a copy.
    ProcessSourcePathTable table;
    table.Load(slots.Paths());
    for (int i = 0; i < kSlotCount; ++i) {
        TraySlotMenu& menu = model.slots[static_cast<std::size_t>(i)];
        menu = SlotMenu(slots, i, table);
        if (chordless[static_cast<std::size_t>(i)]) menu.label += kChordTakenSuffix;
    }
    model.tail.push_back(Separator());
    model.tail.push_back(Item(u"정보", kIdTrayAbout));
    model.tail.push_back(Item(u"종료", kIdTrayExit));
    return model;
}

}  // namespace keyrack
