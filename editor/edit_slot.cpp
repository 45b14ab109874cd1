#include "editor/edit_slot.h"

#include <memory>

namespace keyrack {

namespace {

// The editor that is open, if any; only the user-interface thread runs the flow.
SlotEditorDialog* s_openEditor = nullptr;

}  // namespace

void EditSlot(SlotManager& manager, int index, SlotEditorDialog& dialog) {
    if (s_openEditor != nullptr) {
        s_openEditor->BringToFront();
        return;
    }
    if (index < 0 || index >= kSlotCount) return;
    s_openEditor = &dialog;
    auto slot = std::make_unique<Slot>(index, manager.Paths(), manager.GetDesktop());
    if (dialog.Run(*slot)) {
        // One step under the manager's lock: a deployment or a pruning between a look at the
        // list and a change of it would otherwise get the wrong half of the rule.
        manager.MergeEditedWindowList(index, slot->BuildWindowList());
        slot->Save();
    }
    SlotManager::ReleaseCurrent(slot);
    s_openEditor = nullptr;
}

}  // namespace keyrack
