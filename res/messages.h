// The program's private window messages, one list for every window that sends or handles
// them. Their values are fixed; a new private message takes a value from WM_APP on.
#pragma once

#include <windows.h>

namespace keyrack {

// The tray icon's callback to the main window.
inline constexpr UINT WM_TRAY_CALLBACK = WM_USER;
// Sent by the deployment thread to the main window: make and show an indicator; the result is
// the new indicator, or 0.
inline constexpr UINT WM_CREATE_INDICATOR = WM_USER + 3;
// Posted by an indicator to its owner once it has closed; wParam is the indicator itself, so
// the owner deletes exactly that popup.
inline constexpr UINT WM_RELEASE_INDICATOR = WM_USER + 4;

}  // namespace keyrack
