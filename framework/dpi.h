// The DPI a window is shown at, and the fonts and placement that follow a change of it. The
// per-window functions are looked up in user32 when first needed: before Windows 10 1607 they
// are missing and the system DPI stands in.
#pragma once

#include <windows.h>

#include "platform/dpi_scale.h"

namespace keyrack {

// GetDpiForWindow; where that is missing GetDpiForSystem; where that is missing too, the
// screen's logical pixels per inch. 96 when nothing answers.
int WindowDpi(HWND window);
// GetDpiForSystem, or the screen's logical pixels per inch before Windows 10 1607.
int SystemDpi();

// A WM_DPICHANGED: the window moves to the rectangle the system suggests (lParam).
void MoveToSuggestedRect(HWND window, LPARAM suggested);

// Keeps the dialog manager from re-laying out a template dialog on a DPI change
// (SetDialogDpiChangeBehavior, Windows 10 1703 on): the window places its controls itself.
void KeepDialogLayoutOnDpiChange(HWND dialog);

}  // namespace keyrack
