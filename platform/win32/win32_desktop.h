// The desktop seam on the real Win32 API.
#pragma once

#include <mutex>
#include <unordered_map>

#include "platform/desktop.h"

namespace keyrack {

class Win32Desktop : public Desktop {
  public:
    IconHandle ExtractFileIcon(std::u16string_view path, unsigned index) override;
    IconHandle LoadApplicationIcon() override;
    void DestroyIcon(IconHandle icon) override;
    bool IsExistingFile(std::u16string_view path) override;
    std::vector<std::u16string> ListSubfolders(std::u16string_view folder) override;
    int CompareOrdinalNoCase(std::u16string_view a, std::u16string_view b) override;

    void EnumWindows(const std::function<bool(WindowHandle)>& visit) override;
    bool IsWindowVisible(WindowHandle window) override;
    std::uint32_t GetExStyle(WindowHandle window) override;
    WindowHandle GetOwner(WindowHandle window) override;
    std::uint32_t GetWindowThreadProcessId(WindowHandle window, std::uint32_t* processId) override;
    void EnumChildWindows(WindowHandle window,
                          const std::function<bool(WindowHandle)>& visit) override;
    bool IsWindowCloaked(WindowHandle window) override;
    std::u16string GetWindowTitle(WindowHandle window, std::size_t capacity) override;
    std::u16string GetWindowClassName(WindowHandle window) override;
    bool GetWindowRect(WindowHandle window, Rect* rect) override;
    bool IsIconic(WindowHandle window) override;
    bool IsZoomed(WindowHandle window) override;
    WindowHandle GetForegroundWindow() override;
    bool SetForegroundWindow(WindowHandle window) override;
    bool AllowSetForegroundWindow(std::uint32_t processId) override;

    bool ShowWindowAsync(WindowHandle window, int command) override;
    bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx, int cy,
                      unsigned flags) override;
    bool PostWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wParam,
                           std::intptr_t lParam) override;
    bool SendWindowMessageTimeout(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                  std::intptr_t lParam, unsigned flags, unsigned timeoutMs,
                                  std::uintptr_t* result) override;

    ProcessHandle OpenProcess(std::uint32_t access, bool inheritHandle,
                              std::uint32_t processId) override;
    std::u16string GetProcessImagePath(ProcessHandle process, std::size_t capacity) override;
    std::u16string QueryProcessImagePath(ProcessHandle process, std::size_t capacity) override;
    void CloseHandle(ProcessHandle handle) override;
    std::uint32_t GetCurrentProcessId() override;
    std::u16string GetApplicationUserModelId(ProcessHandle process) override;
    std::uint32_t GetProcessIntegrityLevel(ProcessHandle process) override;
    std::uint32_t GetLastError() override;

    bool ShellExecuteDefault(const ShellLaunch& launch) override;
    StartResult CreateProcessAt(const ProcessStart& start) override;
    std::uint32_t StartedProcessId() override;
    bool InitializeComApartment() override;
    void UninitializeCom() override;

    short GetKeyState(int virtualKey) override;
    short GetAsyncKeyState(int virtualKey) override;
    bool MouseButtonsSwapped() override;
    void Sleep(unsigned milliseconds) override;
    std::uint64_t SteadyClockMs() override;
    WaitEnd WaitUnlessStopped(const StopRequest& stop, unsigned milliseconds) override;
    void WatchNewWindows(bool on) override;
    std::vector<WindowHandle> TakeNewWindows() override;
    bool IsHungAppWindow(WindowHandle window) override;
    std::uint64_t LastFlashMs(WindowHandle window) override;
    // The shell reported that the window's taskbar button flashes (HSHELL_FLASH, received by
    // the main window's shell hook). Any thread.
    void NoteFlash(WindowHandle window);

    std::vector<MonitorInfo> EnumDisplayMonitors() override;

  private:
    std::mutex m_flashMutex;
    std::unordered_map<WindowHandle, std::uint64_t> m_flashes;
};

// The folder of the running executable (GetModuleFileNameW).
std::filesystem::path ExecutableFolderOfProcess();

}  // namespace keyrack
