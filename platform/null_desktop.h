// A desktop with no windows, no processes and no icons: every call answers "nothing". Tools
// that only read and write files use it as it is; test doubles override what they need.
#pragma once

#include "platform/desktop.h"
#include "platform/text.h"

namespace keyrack {

class NullDesktop : public Desktop {
  public:
    IconHandle ExtractFileIcon(std::u16string_view, unsigned) override { return 0; }
    IconHandle LoadApplicationIcon() override { return 0; }
    void DestroyIcon(IconHandle) override {}

    bool IsExistingFile(std::u16string_view) override { return false; }
    std::vector<std::u16string> ListSubfolders(std::u16string_view) override { return {}; }
    int CompareOrdinalNoCase(std::u16string_view a, std::u16string_view b) override {
        return CompareNoCase(a, b);
    }

    void EnumWindows(const std::function<bool(WindowHandle)>&) override {}
    bool IsWindowVisible(WindowHandle) override { return false; }
    std::uint32_t GetExStyle(WindowHandle) override { return 0; }
    WindowHandle GetOwner(WindowHandle) override { return 0; }
    std::uint32_t GetWindowThreadProcessId(WindowHandle, std::uint32_t* processId) override {
        if (processId) *processId = 0;
        return 0;
    }
    void EnumChildWindows(WindowHandle, const std::function<bool(WindowHandle)>&) override {}
    bool IsWindowCloaked(WindowHandle) override { return false; }
    std::u16string GetWindowTitle(WindowHandle, std::size_t) override { return {}; }
    std::u16string GetWindowClassName(WindowHandle) override { return {}; }
    bool GetWindowRect(WindowHandle, Rect*) override { return false; }
    bool IsIconic(WindowHandle) override { return false; }
    bool IsZoomed(WindowHandle) override { return false; }
    WindowHandle GetForegroundWindow() override { return 0; }
    bool SetForegroundWindow(WindowHandle) override { return false; }
    bool AllowSetForegroundWindow(std::uint32_t) override { return false; }

    bool ShowWindowAsync(WindowHandle, int) override { return false; }
    bool SetWindowPos(WindowHandle, WindowHandle, int, int, int, int, unsigned) override {
        return false;
    }
    bool PostWindowMessage(WindowHandle, unsigned, std::uintptr_t, std::intptr_t) override {
        return false;
    }
    bool SendWindowMessageTimeout(WindowHandle, unsigned, std::uintptr_t, std::intptr_t, unsigned,
                                  unsigned, std::uintptr_t*) override {
        return false;
    }

    ProcessHandle OpenProcess(std::uint32_t, bool, std::uint32_t) override { return 0; }
    std::u16string GetProcessImagePath(ProcessHandle, std::size_t) override { return {}; }
    std::u16string QueryProcessImagePath(ProcessHandle, std::size_t) override { return {}; }
    void CloseHandle(ProcessHandle) override {}
    std::uint32_t GetCurrentProcessId() override { return 0; }
    std::u16string GetApplicationUserModelId(ProcessHandle) override { return {}; }
    std::uint32_t GetProcessIntegrityLevel(ProcessHandle) override { return 0; }
    std::uint32_t GetLastError() override { return 0; }

    bool ShellExecuteDefault(const ShellLaunch&) override { return false; }
    StartResult CreateProcessAt(const ProcessStart&) override { return StartResult::kFailed; }
    std::uint32_t StartedProcessId() override { return 0; }
    bool InitializeComApartment() override { return false; }
    void UninitializeCom() override {}

    short GetKeyState(int) override { return 0; }
    short GetAsyncKeyState(int) override { return 0; }
    bool MouseButtonsSwapped() override { return false; }
    void Sleep(unsigned) override {}
    std::uint64_t SteadyClockMs() override { return 0; }
    WaitEnd WaitUnlessStopped(const StopRequest&, unsigned) override { return WaitEnd::kElapsed; }
    void WatchNewWindows(bool) override {}
    std::vector<WindowHandle> TakeNewWindows() override { return {}; }
    bool IsHungAppWindow(WindowHandle) override { return false; }
    std::uint64_t LastFlashMs(WindowHandle) override { return 0; }

    std::vector<MonitorInfo> EnumDisplayMonitors() override { return {}; }
};

}  // namespace keyrack
