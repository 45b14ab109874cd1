// Helpers for tests that drive real windows on the test's own thread: bounded polling that
// keeps the thread's messages flowing.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "framework/win_app.h"

namespace keyrack::testing {

// Handles the waiting messages, then pauses for at most 1 ms or until a message arrives.
inline void PumpOnce() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) AfxPumpMessage(msg);
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
}

// Pumps until the condition holds, for at most the given number of attempts.
inline bool PumpUntil(const std::function<bool()>& condition, int attempts = 20000) {
    for (int i = 0; i < attempts; ++i) {
        if (condition()) return true;
        PumpOnce();
    }
    return condition();
}

inline std::wstring WindowText(HWND hwnd) {
    wchar_t buffer[1024] = {};
    ::GetWindowTextW(hwnd, buffer, 1024);
    return buffer;
}

inline std::wstring ClassName(HWND hwnd) {
    wchar_t buffer[256] = {};
    ::GetClassNameW(hwnd, buffer, 256);
    return buffer;
}

inline std::wstring ModuleFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path);
    return text.substr(0, text.find_last_of(L'\\'));
}

}  // namespace keyrack::testing
