// A launcher for the deployment tests under Wine: starts keyrack_test_window.exe from its own
// folder with one window titled by this program's whole argument, and exits at once, so the
// window belongs to another executable than the one launched.
#include <windows.h>

#include <string>
#include <vector>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    std::vector<wchar_t> self(MAX_PATH);
    const DWORD n = GetModuleFileNameW(nullptr, self.data(), MAX_PATH);
    std::wstring folder(self.data(), n);
    folder.resize(folder.find_last_of(L'\\') + 1);
    const std::wstring target = folder + L"keyrack_test_window.exe";
    std::wstring title = arguments ? arguments : L"";
    if (title.size() >= 2 && title.front() == L'"' && title.back() == L'"')
        title = title.substr(1, title.size() - 2);
    std::wstring commandLine = L"\"" + target + L"\" 1 \"" + title + L"\"";

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(target.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return 1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
