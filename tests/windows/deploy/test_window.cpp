// A small program that owns top-level windows, for the deployment tests under Wine:
//   keyrack_test_window.exe <count> <title>
// opens <count> visible windows titled <title> and runs until all are closed (at most two
// minutes, so a failed test leaves nothing behind).
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <string>

namespace {

int g_open = 0;
constexpr UINT_PTR kLifetimeTimer = 1;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kLifetimeTimer) PostQuitMessage(0);
            return 0;
        case WM_DESTROY:
            if (--g_open == 0) PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const int count = argc > 1 ? _wtoi(argv[1]) : 1;
    const std::wstring title = argc > 2 ? argv[2] : L"Keyrack test window";
    LocalFree(argv);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"KeyrackTestWindow";
    RegisterClassW(&windowClass);

    HWND first = nullptr;
    for (int k = 0; k < count; ++k) {
        HWND window = CreateWindowExW(
            0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
            50 + (k % 40) * 5, 50 + (k % 40) * 5, 400, 300, nullptr, nullptr, instance, nullptr);
        if (window) {
            ++g_open;
            if (!first) first = window;
        }
    }
    if (!first) return 1;
    SetTimer(first, kLifetimeTimer, 120000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
