// Moving an item's window to its rectangle without waiting on the window's program: the show
// and move calls are posted to the window's thread, so a program that stops answering does
// not stop the deployment; its window moves once it answers again.
#pragma once

#include "deploy/deploy_limits.h"
#include "platform/desktop.h"
#include "slots/slot_item.h"

namespace keyrack {

// The rectangle the item's window is placed at: the item's own, moved onto the nearest
// monitor when none shows a usable piece of it (see FitOnMonitors).
Rect PlacementRect(Desktop& desktop, const SlotItem& item);

// ShowWindowAsync(SW_SHOWNORMAL) on `window`, an asynchronous SetWindowPos to PlacementRect, then
// ShowWindowAsync(SW_SHOWMAXIMIZED) when the item is maximised, so that it maximises on the
// monitor of that rectangle. Returns the rectangle. The calls return before the window has
// moved. `refused`, when given, tells whether the system refused a call with access denied
// (the window belongs to an elevated program).
Rect PlaceWindow(Desktop& desktop, WindowHandle window, const SlotItem& item,
                 bool* refused = nullptr);

// Whether the window's process runs at a higher integrity level than Keyrack's (an elevated
// program), whose windows the system does not let Keyrack show or move.
bool IsElevatedWindow(Desktop& desktop, WindowHandle window);

// Whether the window's thread answers a WM_NULL within `timeoutMs` (SendMessageTimeout with
// SMTO_ABORTIFHUNG, which gives up at once on a window the system already counts as hung).
bool WindowAnswers(Desktop& desktop, WindowHandle window, unsigned timeoutMs);

}  // namespace keyrack
