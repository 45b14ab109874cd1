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
        const WindowList pairs = slot->BuildWindowList();
        const bool extended = manager.UpdateWindowList(index, [&](WindowList& list) {
            for (const HandleMaxiPair& pair : pairs) {
                if (pair.handle != 0) list.push_back(pair);
            }
        });
        if (!extended) manager.AppendWindowPairs(index, pairs);
        slot->Save();
    }
    SlotManager::ReleaseCurrent(slot);
    s_openEditor = nullptr;
}

}  // namespace keyrack
