// A small program for the end-to-end chord tests:
//   keyrack_e2e_keys.exe record <file> <title>   a window titled <title> that appends every key
//                                                message it receives to <file>, one line each:
//                                                "down|up <vk> <scan code>[ ext]" (decimal; ext
//                                                for an extended key such as Right Ctrl)
//   keyrack_e2e_keys.exe hold <n>                holds the chord Ctrl+Shift+F<n> as another
//                                                program would; a hidden window titled
//                                                "Keyrack e2e holds F<n>" exists only once the
//                                                registration succeeded
// It runs for at most five minutes, so a failed test leaves nothing behind.
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

FILE* g_record = nullptr;
constexpr UINT_PTR kLifetimeTimer = 1;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (g_record) {
                const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
                const auto scan = static_cast<unsigned>((lParam >> 16) & 0xFF);
                const bool extended = (lParam & (1 << 24)) != 0;
                std::fprintf(g_record, "%s %u %u%s\n", down ? "down" : "up",
                             static_cast<unsigned>(wParam), scan, extended ? " ext" : "");
                std::fflush(g_record);
            }
            return 0;
        case WM_TIMER:
            if (wParam == kLifetimeTimer) PostQuitMessage(0);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    const std::wstring first = argc > 2 ? argv[2] : L"";
    const std::wstring title = argc > 3 ? argv[3] : L"Keyrack e2e keys";
    LocalFree(argv);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"KeyrackE2eKeys";
    RegisterClassW(&windowClass);

    HWND window = nullptr;
    if (mode == L"record") {
        g_record = _wfopen(first.c_str(), L"a");
        if (!g_record) return 1;
        window = CreateWindowExW(0, windowClass.lpszClassName, title.c_str(),
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300, 500, 300, nullptr,
                                 nullptr, instance, nullptr);
    } else if (mode == L"hold") {
        const int n = _wtoi(first.c_str());
        if (n < 1 || n > 12 ||
            !RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_SHIFT | MOD_NOREPEAT, VK_F1 + n - 1))
            return 1;
        const std::wstring held = L"Keyrack e2e holds F" + std::to_wstring(n);
        window = CreateWindowExW(0, windowClass.lpszClassName, held.c_str(), WS_OVERLAPPEDWINDOW, 0,
                                 0, 200, 100, nullptr, nullptr, instance, nullptr);
    }
    if (!window) return 1;
    SetTimer(window, kLifetimeTimer, 5 * 60 * 1000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (g_record) std::fclose(g_record);
    return 0;
}
