// The slot editor flow of the tray's edit commands: a working slot of its own, the editor run
// modally on it, and after OK the slot's window list extended and its file written.
#pragma once

#include "editor/editor_session.h"
#include "slots/slot.h"
#include "slots/slot_manager.h"

namespace keyrack {

// The editor as the flow sees it: the Win32 dialog, or a test's script.
class SlotEditorDialog {
  public:
    virtual ~SlotEditorDialog() = default;
    // Runs the editor modally on the working slot (which the editor reads from its file when
    // it opens) within the session; true when it ended with OK.
    virtual bool Run(Slot& slot, EditorSession& session) = 0;
    // Another edit was asked for while this editor is open.
    virtual void BringToFront() = 0;
};

// Edits slot index 0..11 on the user-interface thread, in the main window's editor session. After
// OK a slot without a window list gets one pair per item in item order (zero handles for items that
// were not captured); a slot with one gains only the pairs of captured windows. Table entries the
// editor added are written whatever the outcome. While an editor is open, a second call (the tray's
// commands still run under the modal loop) brings that editor to the front instead of opening
// another one on a second working slot.
void EditSlot(SlotManager& manager, EditorSession& session, int index, SlotEditorDialog& dialog);

}  // namespace keyrack
