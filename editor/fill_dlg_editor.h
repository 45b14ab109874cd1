// The slot manager's editor on Windows: runs a FillDlg modally on the working slot, and while
// it is open brings it to the front when another edit command comes.
#pragma once

#include "editor/edit_slot.h"
#include "editor/fill_dlg.h"

namespace keyrack {

class FillDlgEditor : public SlotEditorDialog {
  public:
    explicit FillDlgEditor(Desktop& desktop) : m_desktop(desktop) {}

    bool Run(Slot& slot, EditorSession& session, const SaveEditedSlot& save) override {
        FillDlg dialog(slot, m_desktop, session, save);
        m_open = &dialog;
        const bool confirmed = dialog.DoModal() == IDOK;
        m_open = nullptr;
        return confirmed;
    }
    void BringToFront() override {
        if (m_open != nullptr) m_open->BringToFront();
    }

  private:
    Desktop& m_desktop;
    FillDlg* m_open = nullptr;
};

}  // namespace keyrack
