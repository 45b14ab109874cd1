// What lasts from one slot editor to the next, owned by the main window and handed to each
// editor: the window captured last, which the next editor does not capture again until another
// window has been captured (or the left button was down with nothing in front), and the editor
// that is open, so that a second edit command brings it to the front instead of opening another.
#pragma once

#include "platform/desktop.h"

namespace keyrack {

class SlotEditorDialog;

struct EditorSession {
    WindowHandle lastCaptured = 0;
    SlotEditorDialog* openEditor = nullptr;
};

}  // namespace keyrack
