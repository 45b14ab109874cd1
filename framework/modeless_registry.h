// The modeless dialogs of the current thread, so the message loop can give their keyboard
// messages to IsDialogMessage.
#pragma once

#include <windows.h>

namespace keyrack::detail {

void RegisterModeless(HWND dialog);
void UnregisterModeless(HWND dialog);
// True when the message belongs to a modeless dialog and IsDialogMessage handled it.
bool DispatchToModeless(MSG& msg);

}  // namespace keyrack::detail
