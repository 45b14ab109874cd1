// The desktop seam: every call the portable core makes to the window system, the shell, the
// process table, the keyboard and the clock. The Win32 implementation forwards each call one
// to one to the API of the same name; the tests use a simulated desktop.
//
// Keyrack never waits on another program's thread: a program that stops answering must not
// stop a deployment, a toggle or the exit. So the seam offers no call on a window that waits
// for its thread: shows are ShowWindowAsync, placements SetWindowPos with
// kSwpAsyncWindowPos, closes PostMessageW, activation SetForegroundWindow (which the system
// posts to the window's thread), and where an answer is needed SendMessageTimeout with
// kSmtoAbortIfHung and a time limit. The reads (GetWindowRect, IsIconic, IsZoomed,
// GetWindowThreadProcessId, GetWindowTextW, which reads another process's caption without
// sending it a message) answer from what the window manager already knows.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/stop_request.h"

namespace keyrack {

using WindowHandle = std::uintptr_t;   // HWND; 0 is no window
using IconHandle = std::uintptr_t;     // HICON; 0 is no icon
using ProcessHandle = std::uintptr_t;  // HANDLE of an opened process; 0 is none

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// One display monitor: its full rectangle and its work area (without the taskbar), in screen
// coordinates.
struct MonitorInfo {
    Rect monitor;
    Rect workArea;
    bool primary = false;
    friend bool operator==(const MonitorInfo&, const MonitorInfo&) = default;
};

// Values of the Win32 constants the core passes through the seam.
namespace win {
inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShowMaximized = 3;
inline constexpr int kSwShowNoActivate = 4;
inline constexpr int kSwShow = 5;
inline constexpr int kSwShowMinNoActive = 7;
inline constexpr std::uint32_t kWsExToolWindow = 0x00000080;
inline constexpr std::uint32_t kWsExAppWindow = 0x00040000;
inline constexpr std::uint32_t kProcessQueryInformation = 0x0400;
inline constexpr std::uint32_t kProcessVmRead = 0x0010;
inline constexpr std::uint32_t kProcessQueryLimitedInformation = 0x1000;
inline constexpr unsigned kSwpNoSize = 0x0001;
inline constexpr unsigned kSwpNoMove = 0x0002;
inline constexpr unsigned kSwpNoZOrder = 0x0004;
inline constexpr unsigned kSwpNoRedraw = 0x0008;
inline constexpr unsigned kSwpNoActivate = 0x0010;
inline constexpr unsigned kSwpAsyncWindowPos = 0x4000;
inline constexpr unsigned kWmNull = 0x0000;
inline constexpr unsigned kSmtoAbortIfHung = 0x0002;
inline constexpr WindowHandle kHwndTop = 0;
inline constexpr unsigned kWmClose = 0x0010;
inline constexpr int kVkLButton = 0x01;
inline constexpr int kVkRButton = 0x02;
inline constexpr int kVkMButton = 0x04;
inline constexpr int kVkLShift = 0xA0;
inline constexpr int kVkRShift = 0xA1;
inline constexpr int kVkLControl = 0xA2;
inline constexpr int kVkRControl = 0xA3;
inline constexpr int kVkF1 = 0x70;
inline constexpr std::size_t kMaxPath = 260;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
// Integrity levels (the last sub-authority of a token's integrity SID).
inline constexpr std::uint32_t kMediumIntegrity = 0x2000;
inline constexpr std::uint32_t kHighIntegrity = 0x3000;
}  // namespace win

// A launch through the shell: ShellExecuteExW with the default verb.
struct ShellLaunch {
    std::u16string_view file;
    std::u16string_view parameters;  // never null: empty when there are none
    std::u16string_view directory;   // lpDirectory; empty: none
    int show = win::kSwShow;
    WindowHandle owner = 0;  // hwnd: the window a consent prompt or error box belongs to
    // SEE_MASK_HMONITOR with the monitor of this rectangle (MonitorFromRect, nearest).
    std::optional<Rect> monitorOf;
};

// A program started directly: CreateProcessW with a start-up position, size and show state for
// its first window (STARTF_USEPOSITION | STARTF_USESIZE | STARTF_USESHOWWINDOW).
struct ProcessStart {
    std::u16string_view application;  // lpApplicationName: the executable
    std::u16string_view commandLine;  // the quoted path and the parameters
    std::u16string_view directory;    // lpCurrentDirectory
    Rect rect;
    int show = win::kSwShowNormal;
};

enum class StartResult {
    kStarted,
    kElevationRequired,  // ERROR_ELEVATION_REQUIRED: only the shell can ask for consent
    kFailed,
};

class Desktop {
  public:
    virtual ~Desktop() = default;

    // Files and icons.
    // ExtractIconW(instance, path, index); 0 when the file holds no icon or can't be read.
    virtual IconHandle ExtractFileIcon(std::u16string_view path, unsigned index) = 0;
    virtual IconHandle LoadApplicationIcon() = 0;  // a copy of icon group resource 145
    virtual void DestroyIcon(IconHandle icon) = 0;

    // GetFileAttributesW: `path` names an existing file that is not a folder.
    virtual bool IsExistingFile(std::u16string_view path) = 0;
    // FindFirstFileExW over `folder`\*: the names of the folders directly in it, in no
    // particular order; empty when there are none or it can't be read.
    virtual std::vector<std::u16string> ListSubfolders(std::u16string_view folder) = 0;
    // CompareStringOrdinal with case ignored, as Windows compares file names: below, equal to
    // or above zero.
    virtual int CompareOrdinalNoCase(std::u16string_view a, std::u16string_view b) = 0;

    // Top-level windows. EnumWindows calls `visit` for each window in Z order and stops when it
    // returns false.
    virtual void EnumWindows(const std::function<bool(WindowHandle)>& visit) = 0;
    virtual bool IsWindowVisible(WindowHandle window) = 0;
    virtual std::uint32_t GetExStyle(WindowHandle window) = 0;  // GetWindowLongW(GWL_EXSTYLE)
    virtual WindowHandle GetOwner(WindowHandle window) = 0;     // GetWindow(GW_OWNER)
    // GetWindowThreadProcessId: the thread id (0 when there is no such window) and the process id.
    virtual std::uint32_t GetWindowThreadProcessId(WindowHandle window,
                                                   std::uint32_t* processId) = 0;
    // EnumChildWindows: every descendant window of `window`, stopping when `visit` returns false.
    virtual void EnumChildWindows(WindowHandle window,
                                  const std::function<bool(WindowHandle)>& visit) = 0;
    // DwmGetWindowAttribute(DWMWA_CLOAKED) is non-zero: the shell hides the window although it
    // is visible (another virtual desktop, a suspended Store app). False when it can't be read.
    virtual bool IsWindowCloaked(WindowHandle window) = 0;
    // GetWindowTextW into a zeroed buffer of `capacity` units (at most capacity - 1 are read).
    virtual std::u16string GetWindowTitle(WindowHandle window, std::size_t capacity) = 0;
    // GetClassNameW into a buffer of 256 units; empty when there is no such window.
    virtual std::u16string GetWindowClassName(WindowHandle window) = 0;
    virtual bool GetWindowRect(WindowHandle window, Rect* rect) = 0;
    virtual bool IsIconic(WindowHandle window) = 0;
    virtual bool IsZoomed(WindowHandle window) = 0;
    virtual WindowHandle GetForegroundWindow() = 0;
    // SetForegroundWindow, from the calling thread. Windows' foreground lock grants it only to a
    // process that may set the foreground: it had the user's last input (a registered hotkey
    // counts), owns the foreground window, or was lent the right; false when refused. The right
    // is checked in the call, on the caller's side; the system then switches the foreground and
    // posts the activation (and the move to the top) to the window's thread without waiting for
    // it, so a hung program is activated once it answers again.
    virtual bool SetForegroundWindow(WindowHandle window) = 0;
    // AllowSetForegroundWindow(processId): lends that process the right to set the foreground,
    // which works only while the caller holds the right itself. The loan lapses at the user's
    // next input.
    virtual bool AllowSetForegroundWindow(std::uint32_t processId) = 0;

    // Window placement and messages: none of them waits for the window's thread (see above).
    // ShowWindowAsync: the show command is posted to the window's thread.
    virtual bool ShowWindowAsync(WindowHandle window, int command) = 0;
    // SetWindowPos; on another program's window only with kSwpAsyncWindowPos in `flags`.
    virtual bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx,
                              int cy, unsigned flags) = 0;
    virtual bool PostWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                   std::intptr_t lParam) = 0;
    // SendMessageTimeoutW: true when the window answered within `timeoutMs` (its result in
    // `result` when given); false when it timed out, is hung (kSmtoAbortIfHung) or is gone.
    virtual bool SendWindowMessageTimeout(WindowHandle window, unsigned message,
                                          std::uintptr_t wParam, std::intptr_t lParam,
                                          unsigned flags, unsigned timeoutMs,
                                          std::uintptr_t* result) = 0;

    // Processes.
    virtual ProcessHandle OpenProcess(std::uint32_t access, bool inheritHandle,
                                      std::uint32_t processId) = 0;
    // K32GetModuleFileNameExW(process, no module, buffer of `capacity` units); empty when it
    // returns 0.
    virtual std::u16string GetProcessImagePath(ProcessHandle process, std::size_t capacity) = 0;
    // QueryFullProcessImageNameW(process, 0, buffer of `capacity` units), which needs only
    // PROCESS_QUERY_LIMITED_INFORMATION; empty when it fails.
    virtual std::u16string QueryProcessImagePath(ProcessHandle process, std::size_t capacity) = 0;
    virtual void CloseHandle(ProcessHandle handle) = 0;
    // GetCurrentProcessId: the id of Keyrack's own process.
    virtual std::uint32_t GetCurrentProcessId() = 0;
    // The Application User Model ID of a packaged process (GetApplicationUserModelId, when
    // GetPackageFamilyName finds a package identity), opened with at least
    // PROCESS_QUERY_LIMITED_INFORMATION. Empty when it has none or the system lacks the calls.
    virtual std::u16string GetApplicationUserModelId(ProcessHandle process) = 0;
    // The integrity level of the process's token (TokenIntegrityLevel); 0 when unreadable.
    virtual std::uint32_t GetProcessIntegrityLevel(ProcessHandle process) = 0;
    // GetLastError of the calling thread, right after a call that failed.
    virtual std::uint32_t GetLastError() = 0;

    // ShellExecuteExW with fMask SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC (plus SEE_MASK_HMONITOR
    // with a monitor): a file that can't be started returns false at once instead of holding
    // the calling thread in the shell's error box (the caller reports the failure), and the
    // call returns only once the launch has been handed on.
    virtual bool ShellExecuteDefault(const ShellLaunch& launch) = 0;
    // CreateProcessW; the process and thread handles are closed at once.
    virtual StartResult CreateProcessAt(const ProcessStart& start) = 0;
    // The id of the process that the calling thread's last successful CreateProcessAt or
    // ShellExecuteDefault started (ShellExecuteExW with SEE_MASK_NOCLOSEPROCESS); 0 when the
    // shell started none it could name (a document or URL handed to a program already running).
    virtual std::uint32_t StartedProcessId() = 0;
    // CoInitializeEx(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE) for the calling thread;
    // true when it must be paired with UninitializeCom.
    virtual bool InitializeComApartment() = 0;
    virtual void UninitializeCom() = 0;

    // Keyboard, mouse and clock.
    virtual short GetKeyState(int virtualKey) = 0;
    // GetAsyncKeyState: the physical state now, also of mouse buttons, for any thread.
    virtual short GetAsyncKeyState(int virtualKey) = 0;
    // GetSystemMetrics(SM_SWAPBUTTON) is non-zero: the left and right buttons are swapped, so
    // the physical right button is the logical (primary) left one.
    virtual bool MouseButtonsSwapped() = 0;
    virtual void Sleep(unsigned milliseconds) = 0;
    // A steady clock in milliseconds (GetTickCount64): every time limit is a deadline on it, so
    // limits do not depend on how long the system's timer makes a pause.
    virtual std::uint64_t SteadyClockMs() = 0;
    // How a wait ended.
    enum class WaitEnd { kElapsed, kStopped, kNewWindow };
    // Waits `milliseconds` or until `stop` is requested (at once when it was already). While
    // the calling thread watches new windows (WatchNewWindows), the wait also ends when a
    // top-level window has been created or shown since the last wait ended.
    virtual WaitEnd WaitUnlessStopped(const StopRequest& stop, unsigned milliseconds) = 0;
    // SetWinEventHook for the creation and showing of windows, out of context, on the calling
    // thread (its waits serve the thread's messages meanwhile); `on` false removes it.
    virtual void WatchNewWindows(bool on) = 0;
    // The top-level windows created or shown since the last call, as the watch on the calling
    // thread saw them (in the order seen, maybe twice; a window may be gone already).
    virtual std::vector<WindowHandle> TakeNewWindows() = 0;
    // IsHungAppWindow: the system counts the window's thread as not answering (no message
    // taken for 5 s).
    virtual bool IsHungAppWindow(WindowHandle window) = 0;
    // When the window's taskbar button last flashed (HSHELL_FLASH: a program refused the
    // foreground flashes instead), on SteadyClockMs; 0 when it has not since Keyrack started.
    virtual std::uint64_t LastFlashMs(WindowHandle window) = 0;

    // Display monitors: EnumDisplayMonitors (no device context, no clipping) with
    // GetMonitorInfoW for each, in the order the platform enumerates them.
    virtual std::vector<MonitorInfo> EnumDisplayMonitors() = 0;
};

}  // namespace keyrack
