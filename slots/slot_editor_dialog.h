// What the slot manager needs of the slot editor: a dialog that edits a working slot modally
// and says whether it ended with OK. The Win32 editor implements it; tests script it.
#pragma once

#include "slots/slot.h"

namespace keyrack {

class SlotEditorDialog {
  public:
    virtual ~SlotEditorDialog() = default;

    // Runs the editor modally on `slot`: a new working slot whose table is loaded and whose
    // file is not read yet (the editor reads it as it opens, so an editor for a slot without a
    // file starts empty). True when the user ended it with OK; the slot then holds the edited
    // name and items.
    virtual bool Run(Slot& slot) = 0;
    // An edit command came while this editor is open: show the open editor in front instead
    // of a second one, which would release the slot the first one still edits.
    virtual void BringToFront() = 0;
};

}  // namespace keyrack
