// Times window-search attempts on the real desktop under Wine against 20, 100 and 300
// top-level windows of a helper process: microseconds and platform calls of the first attempt
// of a search and of each later one (which passes over the windows the first one judged).
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

    std::printf(
        "windows  top-level  first: us  calls  later: us/attempt  calls/attempt"
        "  us/image-path\n");
    for (const int n : {20, 100, 300}) {
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
        keyrack::RunLog log;
        keyrack::WindowSearch search(desktop, log, path);
        const auto attempt = [&] { search.FindByPath(); };
        desktop.Reset();
        const auto firstStart = std::chrono::steady_clock::now();
        attempt();
        const double firstUs =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - firstStart)
                .count();
        const auto firstCalls = desktop.Calls();
        desktop.Reset();
        const auto start = std::chrono::steady_clock::now();
        for (int k = 1; k < attempts; ++k) attempt();
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
        const int later = attempts > 1 ? attempts - 1 : 1;
        std::printf("%7d  %9d  %9.1f  %5llu  %17.1f  %13.1f  %13.1f\n", n, TopLevelWindows(),
                    firstUs, static_cast<unsigned long long>(firstCalls), us / later,
                    static_cast<double>(desktop.Calls()) / later, pathUs / attempts);
        std::fflush(stdout);

        ::TerminateProcess(process.hProcess, 0);
        ::WaitForSingleObject(process.hProcess, 10000);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    return 0;
}
