#include "app/chord_side.h"

namespace keyrack {
namespace {

bool IsDown(Desktop& desktop, int virtualKey) { return desktop.GetAsyncKeyState(virtualKey) < 0; }

}  // namespace

bool IsLeftHandChord(Desktop& desktop) {
    const bool leftControl = IsDown(desktop, win::kVkLControl);
    const bool leftShift = IsDown(desktop, win::kVkLShift);
    const bool rightControl = IsDown(desktop, win::kVkRControl);
    const bool rightShift = IsDown(desktop, win::kVkRShift);
    return !(rightControl && !leftControl) && !(rightShift && !leftShift);
}

}  // namespace keyrack
