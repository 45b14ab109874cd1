#include "editor/edit_slot.h"

#include <memory>

namespace keyrack {

void EditSlot(SlotManager& manager, EditorSession& session, int index, SlotEditorDialog& dialog) {
    if (session.openEditor != nullptr) {
        session.openEditor->BringToFront();
        return;
    }
    if (index < 0 || index >= kSlotCount) return;
    session.openEditor = &dialog;
    auto slot = std::make_unique<Slot>(index, manager.Paths(), manager.GetDesktop());
    if (dialog.Run(*slot, session)) {
        // One step under the manager's lock: a deployment or a pruning between a look at the
        // list and a change of it would otherwise get the wrong half of the rule.
        manager.MergeEditedWindowList(index, slot->BuildWindowList());
        slot->Save();
    }
    SlotManager::ReleaseCurrent(slot);
    session.openEditor = nullptr;
}

}  // namespace keyrack
