// Operations on the window lists of open slots: the chord's minimise / raise toggle, the raise
// that ends a deployment and the tray's close command. Each works on a snapshot of the list and
// writes the flags back under the slot manager's mutex, which is never held across a window
// call or a pause. The show and z-order calls are posted to the windows' threads: a window that
// does not answer never holds up the others.
#pragma once

#include "deploy/deploy_limits.h"
#include "platform/run_log.h"
#include "slots/slot_manager.h"

namespace keyrack {

// Raises the slot when its first entry is marked minimised, otherwise minimises it. A slot
// without a list or with an empty list is left alone.
// The run log gets a line saying which of the two it does.
void ToggleSlotWindows(Desktop& desktop, SlotManager& slots, int index, RunLog& log);
void MinimizeSlotWindows(Desktop& desktop, SlotManager& slots, int index);
// Minimises every window, then brings them back one by one: the last item ends on top.
void RaiseSlotWindows(Desktop& desktop, SlotManager& slots, int index);
// Posts WM_CLOSE to every window of the slot that still exists, of the process it was taken in
// with (the list is pruned as it is read, so a handle the system has given to another
// program's window is not closed).
void CloseSlotWindows(Desktop& desktop, SlotManager& slots, int index);

}  // namespace keyrack
