// A small program that owns top-level windows, for the deployment tests under Wine:
//   keyrack_test_window.exe <count> <title>   <count> visible windows titled <title>
//   keyrack_test_window.exe moves <title>     one window that, 300 ms and 1 s after it first
//                                             appears, moves itself back to its saved place
//   keyrack_test_window.exe splash <title>    a splash window that gives way after 700 ms to
//                                             the main window titled <title>
//   keyrack_test_window.exe frame <title>     a frame of class ApplicationFrameWindow that
//                                             hosts a child window of a second process (built
//                                             as ApplicationFrameHost.exe for that test)
//   keyrack_test_window.exe child <frame>     that second process: a child window of <frame>
//   keyrack_test_window.exe single <title>    a single-instance program: a second start
//                                             finds the first's window titled <title>,
//                                             restores it if minimised, brings it forward
//                                             with SetForegroundWindow and exits
//   keyrack_test_window.exe startup <title>   one window created at CW_USEDEFAULT and shown with
//                                             the start-up show state, titled
//                                             "<title> in <working directory>"
//   keyrack_test_window.exe hangs <title>     one window that, once shown, is never served
//                                             again: the program stops pumping messages, as a
//                                             program stuck in long work does
//   keyrack_test_window.exe hidden <title>    runs with one window that is never shown
//   keyrack_test_window.exe busy <title>      one window that, once shown, answers nothing for
//                                             2 s (a program busy starting up), then 300 ms
//                                             later moves itself back to its saved place
// It runs until its windows are closed (at most two minutes, so a failed test leaves nothing
// behind).
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <string>

namespace {

int g_open = 0;
std::wstring g_title;
constexpr UINT_PTR kLifetimeTimer = 1;
constexpr UINT_PTR kFirstMoveTimer = 2;
constexpr UINT_PTR kSecondMoveTimer = 3;
constexpr UINT_PTR kSplashTimer = 4;
// Where a self-moving window puts itself back, as a program restoring its saved place would.
constexpr RECT kSavedPlace{620, 380, 620 + 420, 380 + 260};

HWND Open(const wchar_t* className, const std::wstring& title, DWORD style, HWND parent = nullptr) {
    HWND window = CreateWindowExW(0, className, title.c_str(), style, 50, 50, 400, 300, parent,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window && !parent) ++g_open;
    return window;
}

void MoveToSavedPlace(HWND window) {
    MoveWindow(window, kSavedPlace.left, kSavedPlace.top, kSavedPlace.right - kSavedPlace.left,
               kSavedPlace.bottom - kSavedPlace.top, TRUE);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kLifetimeTimer) PostQuitMessage(0);
            if (wParam == kFirstMoveTimer || wParam == kSecondMoveTimer) {
                KillTimer(window, wParam);
                MoveToSavedPlace(window);
            }
            if (wParam == kSplashTimer) {
                KillTimer(window, wParam);
                HWND main = Open(L"KeyrackTestWindow", g_title, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
                SetTimer(main, kLifetimeTimer, 120000, nullptr);
                DestroyWindow(window);
            }
            return 0;
        case WM_DESTROY:
            // A hosted child ends its process with its frame.
            if (GetParent(window) != nullptr || --g_open == 0) PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void Register(const wchar_t* className) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
}

// Starts this program's `child` mode from keyrack_test_window.exe beside it.
void StartChildProcess(HWND frame) {
    wchar_t self[MAX_PATH] = {};
    std::wstring folder(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    folder.resize(folder.find_last_of(L'\\') + 1);
    const std::wstring target = folder + L"keyrack_test_window.exe";
    std::wstring commandLine =
        L"\"" + target + L"\" child " + std::to_wstring(reinterpret_cast<UINT_PTR>(frame));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(target.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

HWND OpenWindows(const std::wstring& mode) {
    constexpr DWORD kTopLevel = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    if (mode == L"single") return Open(L"KeyrackTestSingle", g_title, kTopLevel);
    if (mode == L"hangs" || mode == L"hidden" || mode == L"busy")
        return Open(L"KeyrackTestWindow", g_title, WS_OVERLAPPEDWINDOW);
    if (mode == L"moves") {
        HWND window = Open(L"KeyrackTestWindow", g_title, kTopLevel);
        SetTimer(window, kFirstMoveTimer, 300, nullptr);
        SetTimer(window, kSecondMoveTimer, 1000, nullptr);
        return window;
    }
    if (mode == L"splash") {
        HWND splash = Open(L"KeyrackTestWindow", g_title + L" splash", WS_POPUP | WS_VISIBLE);
        SetTimer(splash, kSplashTimer, 700, nullptr);
        return splash;
    }
    if (mode == L"frame") {
        Register(L"ApplicationFrameWindow");
        HWND frame = Open(L"ApplicationFrameWindow", g_title, kTopLevel);
        StartChildProcess(frame);
        return frame;
    }
    if (mode == L"child") {
        HWND frame = reinterpret_cast<HWND>(static_cast<UINT_PTR>(_wtoi64(g_title.c_str())));
        return Open(L"KeyrackTestWindow", L"", WS_CHILD | WS_VISIBLE, frame);
    }
    HWND first = nullptr;
    for (int k = 0, count = _wtoi(mode.c_str()); k < count; ++k) {
        HWND window = Open(L"KeyrackTestWindow", g_title, kTopLevel);
        if (window) MoveWindow(window, 50 + (k % 40) * 5, 50 + (k % 40) * 5, 400, 300, FALSE);
        if (!first) first = window;
    }
    return first;
}

// One window where the launcher's start-up information puts it (CW_USEDEFAULT takes its position
// and size), shown as it says (the first ShowWindow takes its show state).
HWND OpenAtStartupPlace(int show) {
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    HWND window =
        CreateWindowExW(0, L"KeyrackTestWindow", (g_title + L" in " + folder).c_str(),
                        WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window) return nullptr;
    ++g_open;
    ShowWindow(window, show);
    return window;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring mode = argc > 1 ? argv[1] : L"1";
    g_title = argc > 2 ? argv[2] : L"Keyrack test window";
    LocalFree(argv);

    if (mode == L"single") {
        if (HWND running = FindWindowW(L"KeyrackTestSingle", g_title.c_str())) {
            if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
            SetForegroundWindow(running);
            return 0;
        }
        Register(L"KeyrackTestSingle");
    }
    Register(L"KeyrackTestWindow");
    HWND first = mode == L"startup" ? OpenAtStartupPlace(show) : OpenWindows(mode);
    if (!first) return 1;
    if (mode == L"hangs") {
        // Shown and painted by this thread itself, then never served again: no other program
        // can reach it before it stops. Shown without taking the activation, which Wine could
        // not take back from a thread that never answers (the keyboard would stay with it).
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        ShowWindow(first, SW_SHOWNOACTIVATE);
        UpdateWindow(first);
        Sleep(120000);
        return 0;
    }
    if (mode == L"busy") {
        ShowWindow(first, SW_SHOWNOACTIVATE);
        UpdateWindow(first);
        Sleep(2000);
        // What others asked meanwhile is served first by the loop below.
        SetTimer(first, kFirstMoveTimer, 300, nullptr);
    }
    SetTimer(first, kLifetimeTimer, 120000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
