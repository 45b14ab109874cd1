// A desktop seam that forwards every call to another one and counts the calls, so the cost of
// a search attempt can be told in platform calls on any desktop.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/desktop.h"

namespace keyrack::bench {

class CountingDesktop final : public Desktop {
  public:
    explicit CountingDesktop(Desktop& inner) : m_inner(inner) {}

    std::uint64_t Calls() const { return m_calls.load(); }
    void Reset() { m_calls = 0; }

    IconHandle ExtractFileIcon(std::u16string_view path, unsigned index) override {
        return Count(), m_inner.ExtractFileIcon(path, index);
    }
    IconHandle LoadApplicationIcon() override { return Count(), m_inner.LoadApplicationIcon(); }
    void DestroyIcon(IconHandle icon) override { Count(), m_inner.DestroyIcon(icon); }
    void EnumWindows(const std::function<bool(WindowHandle)>& visit) override {
        Count(), m_inner.EnumWindows(visit);
    }
    bool IsWindowVisible(WindowHandle w) override { return Count(), m_inner.IsWindowVisible(w); }
    std::uint32_t GetExStyle(WindowHandle w) override { return Count(), m_inner.GetExStyle(w); }
    WindowHandle GetOwner(WindowHandle w) override { return Count(), m_inner.GetOwner(w); }
    std::uint32_t GetWindowThreadProcessId(WindowHandle w, std::uint32_t* pid) override {
        return Count(), m_inner.GetWindowThreadProcessId(w, pid);
    }
    void EnumChildWindows(WindowHandle w, const std::function<bool(WindowHandle)>& visit) override {
        Count(), m_inner.EnumChildWindows(w, visit);
    }
    bool IsWindowCloaked(WindowHandle w) override { return Count(), m_inner.IsWindowCloaked(w); }
    std::u16string GetWindowTitle(WindowHandle w, std::size_t capacity) override {
        return Count(), m_inner.GetWindowTitle(w, capacity);
    }
    std::u16string GetWindowClassName(WindowHandle w) override {
        return Count(), m_inner.GetWindowClassName(w);
    }
    bool GetWindowRect(WindowHandle w, Rect* rect) override {
        return Count(), m_inner.GetWindowRect(w, rect);
    }
    bool IsIconic(WindowHandle w) override { return Count(), m_inner.IsIconic(w); }
    bool IsZoomed(WindowHandle w) override { return Count(), m_inner.IsZoomed(w); }
    WindowHandle GetForegroundWindow() override { return Count(), m_inner.GetForegroundWindow(); }
    bool SetForegroundWindow(WindowHandle w) override {
        return Count(), m_inner.SetForegroundWindow(w);
    }
    bool AllowSetForegroundWindow(std::uint32_t p) override {
        return Count(), m_inner.AllowSetForegroundWindow(p);
    }
    bool ShowWindowAsync(WindowHandle w, int command) override {
        return Count(), m_inner.ShowWindowAsync(w, command);
    }
    bool SetWindowPos(WindowHandle w, WindowHandle after, int x, int y, int cx, int cy,
                      unsigned flags) override {
        return Count(), m_inner.SetWindowPos(w, after, x, y, cx, cy, flags);
    }
    bool SendWindowMessageTimeout(WindowHandle w, unsigned message, std::uintptr_t wParam,
                                  std::intptr_t lParam, unsigned flags, unsigned timeoutMs,
                                  std::uintptr_t* result) override {
        return Count(), m_inner.SendWindowMessageTimeout(w, message, wParam, lParam, flags,
                                                         timeoutMs, result);
    }
    bool PostWindowMessage(WindowHandle w, unsigned message, std::uintptr_t wParam,
                           std::intptr_t lParam) override {
        return Count(), m_inner.PostWindowMessage(w, message, wParam, lParam);
    }
    ProcessHandle OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) override {
        return Count(), m_inner.OpenProcess(access, inherit, pid);
    }
    std::u16string GetProcessImagePath(ProcessHandle process, std::size_t capacity) override {
        return Count(), m_inner.GetProcessImagePath(process, capacity);
    }
    std::u16string QueryProcessImagePath(ProcessHandle process, std::size_t capacity) override {
        return Count(), m_inner.QueryProcessImagePath(process, capacity);
    }
    void CloseHandle(ProcessHandle handle) override { Count(), m_inner.CloseHandle(handle); }
    std::uint32_t GetCurrentProcessId() override { return Count(), m_inner.GetCurrentProcessId(); }
    std::u16string GetApplicationUserModelId(ProcessHandle process) override {
        return Count(), m_inner.GetApplicationUserModelId(process);
    }
    std::uint32_t GetProcessIntegrityLevel(ProcessHandle process) override {
        return Count(), m_inner.GetProcessIntegrityLevel(process);
    }
    std::uint32_t GetLastError() override { return m_inner.GetLastError(); }
    bool ShellExecuteDefault(const ShellLaunch& launch) override {
        return Count(), m_inner.ShellExecuteDefault(launch);
    }
    StartResult CreateProcessAt(const ProcessStart& start) override {
        return Count(), m_inner.CreateProcessAt(start);
    }
    std::uint32_t StartedProcessId() override { return Count(), m_inner.StartedProcessId(); }
    bool InitializeComApartment() override { return Count(), m_inner.InitializeComApartment(); }
    void UninitializeCom() override { Count(), m_inner.UninitializeCom(); }
    bool IsExistingFile(std::u16string_view path) override {
        return Count(), m_inner.IsExistingFile(path);
    }
    std::vector<std::u16string> ListSubfolders(std::u16string_view folder) override {
        return Count(), m_inner.ListSubfolders(folder);
    }
    int CompareOrdinalNoCase(std::u16string_view a, std::u16string_view b) override {
        return m_inner.CompareOrdinalNoCase(a, b);
    }
    short GetKeyState(int key) override { return Count(), m_inner.GetKeyState(key); }
    short GetAsyncKeyState(int key) override { return Count(), m_inner.GetAsyncKeyState(key); }
    bool MouseButtonsSwapped() override { return Count(), m_inner.MouseButtonsSwapped(); }
    void Sleep(unsigned milliseconds) override { Count(), m_inner.Sleep(milliseconds); }
    std::uint64_t SteadyClockMs() override { return Count(), m_inner.SteadyClockMs(); }
    WaitEnd WaitUnlessStopped(const StopRequest& stop, unsigned milliseconds) override {
        return Count(), m_inner.WaitUnlessStopped(stop, milliseconds);
    }
    void WatchNewWindows(bool on) override { Count(), m_inner.WatchNewWindows(on); }
    std::vector<WindowHandle> TakeNewWindows() override {
        return Count(), m_inner.TakeNewWindows();
    }
    bool IsHungAppWindow(WindowHandle w) override { return Count(), m_inner.IsHungAppWindow(w); }
    std::uint64_t LastFlashMs(WindowHandle w) override { return Count(), m_inner.LastFlashMs(w); }
    std::vector<MonitorInfo> EnumDisplayMonitors() override {
        return Count(), m_inner.EnumDisplayMonitors();
    }

  private:
    void Count() { m_calls.fetch_add(1, std::memory_order_relaxed); }

    Desktop& m_inner;
    std::atomic<std::uint64_t> m_calls{0};
};

}  // namespace keyrack::bench
