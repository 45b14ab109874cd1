#include "editor/edit_slot.h"

#include <memory>
#include <system_error>

#include "platform/atomic_file.h"

namespace keyrack {

std::u16string SaveFailureText(const StoreOutcome& outcome) {
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(outcome.file, ec);
    if (ec) full = outcome.file;
    const std::u16string reason = outcome.error == kTooManyItemsError
                                      ? u"슬롯 하나에 담을 수 있는 아이템보다 많습니다"
                                      : SystemErrorText(outcome.error);
    return u"다음 파일을 저장하지 못했습니다.\n\n" + full.u16string() + u"\n\n" + reason;
}

void EditSlot(SlotManager& manager, EditorSession& session, int index, SlotEditorDialog& dialog) {
    if (session.openEditor != nullptr) {
        session.openEditor->BringToFront();
        return;
    }
    if (index < 0 || index >= kSlotCount) return;
    session.openEditor = &dialog;
    auto slot = std::make_unique<Slot>(index, manager.Paths());
    Slot& edited = *slot;
    dialog.Run(edited, session, [&manager, &edited, index] {
        const StoreOutcome outcome = manager.Table().SaveSlot(edited);
        // One step under the manager's lock: a deployment or a pruning between a look at the
        // list and a change of it would otherwise get the wrong half of the rule.
        if (outcome.Written()) manager.MergeEditedWindowList(index, edited.BuildWindowList());
        return outcome;
    });
    SlotManager::ReleaseCurrent(slot);
    session.openEditor = nullptr;
}

}  // namespace keyrack
