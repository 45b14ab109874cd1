// The slot editor flow of the tray's edit commands: a working slot of its own, the editor run
// modally on it, and at OK the table and the slot file written and the slot's window list
// extended.
#pragma once

#include <functional>

#include "editor/editor_session.h"
#include "slots/path_table.h"
#include "slots/slot.h"
#include "slots/slot_manager.h"

namespace keyrack {

// The editor's OK: writes the table, then the slot, and merges the window list once both are
// written. The editor closes only on a written outcome; otherwise it stays open with its content
// and tells the user which file could not be written and why.
using SaveEditedSlot = std::function<StoreOutcome()>;

// What the editor's message box says of a save that failed: the file's full path and the
// system's text for the error.
std::u16string SaveFailureText(const StoreOutcome& outcome);

// The editor as the flow sees it: the Win32 dialog, or a test's script.
class SlotEditorDialog {
  public:
    virtual ~SlotEditorDialog() = default;
    // Runs the editor modally on the working slot (which the editor reads from its file when
    // it opens) within the session, calling `save` at each OK; true when it ended with OK, which
    // it does only after a save that wrote both files.
    virtual bool Run(Slot& slot, EditorSession& session, const SaveEditedSlot& save) = 0;
    // Another edit was asked for while this editor is open.
    virtual void BringToFront() = 0;
};

// Edits slot index 0..11 on the user-interface thread, in the main window's editor session. After
// a written OK a slot without a window list gets one pair per item in item order (zero handles for
// items that were not captured); a slot with one gains only the pairs of captured windows. Table
// entries the editor added are written only with the slot. While an editor is open, a second call
// (the tray's commands still run under the modal loop) brings that editor to the front instead of
// opening another one on a second working slot.
void EditSlot(SlotManager& manager, EditorSession& session, int index, SlotEditorDialog& dialog);

}  // namespace keyrack
