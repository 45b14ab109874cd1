#include "slots/slot_editor_dialog.h"

#include "platform/format.h"

namespace keyrack {

std::u16string DefaultSlotName(int index) { return Printf(u"F%d 슬롯", index + 1); }

bool OpenForEditing(Slot& slot) {
    if (slot.Load()) return true;
    slot.name = DefaultSlotName(slot.index);
    return false;
}

}  // namespace keyrack
