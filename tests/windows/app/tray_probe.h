// Whether the shell holds Keyrack's tray icon for a window, asked from the test.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include "app/tray_icon.h"

namespace keyrack::testing {

// NIM_MODIFY with no flags changes nothing and succeeds only while the shell holds the icon.
inline bool HasTrayIcon(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = kTrayIconId;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

}  // namespace keyrack::testing
