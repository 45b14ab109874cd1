// Times one window-search attempt on the real desktop under Wine against 10, 100 and 1000
// top-level windows of a helper process: microseconds and platform calls per attempt.
//   keyrack_search_timing.exe [attempts]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "deploy/process_image.h"
#include "deploy/window_search.h"
#include "platform/win32/win32_desktop.h"
#include "tests/bench/counting_desktop.h"

namespace {

int CountTitled(const wchar_t* title) {
    struct Query {
        const wchar_t* title;
        int count;
    } query{title, 0};
    ::EnumWindows(
        [](HWND window, LPARAM param) {
            auto& q = *reinterpret_cast<Query*>(param);
            wchar_t text[64] = {};
            ::GetWindowTextW(window, text, 64);
            if (std::wstring_view(text) == q.title) ++q.count;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&query));
    return query.count;
}

int TopLevelWindows() {
    int count = 0;
    ::EnumWindows([](HWND, LPARAM param) { return ++*reinterpret_cast<int*>(param), TRUE; },
                  reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int attempts = argc > 1 ? _wtoi(argv[1]) : 200;
    const std::filesystem::path bin = keyrack::ExecutableFolderOfProcess();
    const std::wstring helper = (bin / "keyrack_test_window.exe").wstring();
    keyrack::Win32Desktop real;
    keyrack::bench::CountingDesktop desktop(real);

    std::printf("windows  top-level  us/attempt  calls/attempt  us/image-path\n");
    for (const int n : {10, 100, 1000}) {
        const std::wstring title = L"bench" + std::to_wstring(n);
        std::wstring commandLine = L"\"" + helper + L"\" " + std::to_wstring(n) + L" " + title;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(helper.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, nullptr, &startup, &process))
            return 1;
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (CountTitled(title.c_str()) < n && std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));

        std::u16string path = u"C:\\Programs\\NotRunning.exe";
        keyrack::WindowSearch search(desktop, path);
        desktop.Reset();
        const auto start = std::chrono::steady_clock::now();
        for (int k = 0; k < attempts; ++k)
            desktop.EnumWindows(
                [&](keyrack::WindowHandle w) { return keyrack::FindWindowByPath(search, w); });
        const double us =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count();
        // The share of one candidate's image path (open, read, close) in that cost.
        HWND sample = ::FindWindowW(L"KeyrackTestWindow", title.c_str());
        const auto pathStart = std::chrono::steady_clock::now();
        for (int k = 0; k < attempts; ++k)
            keyrack::ImagePathOfWindow(real, reinterpret_cast<keyrack::WindowHandle>(sample));
        const double pathUs =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - pathStart)
                .count();
        std::printf("%7d  %9d  %10.1f  %13.1f  %13.1f\n", n, TopLevelWindows(), us / attempts,
                    static_cast<double>(desktop.Calls()) / attempts, pathUs / attempts);
        std::fflush(stdout);

        ::TerminateProcess(process.hProcess, 0);
        ::WaitForSingleObject(process.hProcess, 10000);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    return 0;
}
