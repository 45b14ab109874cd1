// Which hand pressed a registered chord. The system reports Ctrl+Shift+F<n> for either Ctrl and
// either Shift; only the left ones make Keyrack's chord. The keys are read as the chord arrives
// (GetAsyncKeyState). While an elevated window has focus the system hides the keyboard state
// from a program of lower integrity and all four read as up; the chord then counts, since the
// side can't be known.
#pragma once

#include "platform/desktop.h"

namespace keyrack {

// False when Right Ctrl or Right Shift is down without its left counterpart: that keystroke is
// used up and does nothing. True otherwise (both left keys down, or nothing readable).
bool IsLeftHandChord(Desktop& desktop);

}  // namespace keyrack
