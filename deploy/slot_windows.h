// Operations on the window lists of open slots: the chord's minimise / raise toggle, the raise
// that ends a deployment and the tray's close command. Each works on a snapshot of the list and
// writes the flags back under the slot manager's mutex, which is never held across a window
// call or a pause. The show and z-order calls are posted to the windows' threads: a window that
// does not answer never holds up the others. The raise takes the foreground for the slot while
// Keyrack holds the right to (the chord has just come).
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
// Minimises every window, restores them all, then brings the last one into the foreground and
// orders the others under it one by one: the last item ends on top, the first lowest.
void RaiseSlotWindows(Desktop& desktop, SlotManager& slots, int index);
// When one of the slot's earlier windows has taken the foreground since the raise (the placement
// watch placed it again, which activates it), brings the last one forward and orders the others
// under it again; a window of another program in front, the user's choice, stays there.
void KeepSlotInFront(Desktop& desktop, SlotManager& slots, int index);
// Posts WM_CLOSE to every window of the slot that still exists, of the process it was taken in
// with (the list is pruned as it is read, so a handle the system has given to another
// program's window is not closed).
void CloseSlotWindows(Desktop& desktop, SlotManager& slots, int index);

}  // namespace keyrack
