// A simulated desktop for the host tests: top-level windows in Z order with styles, owners,
// titles, rectangles and show states; processes with image paths; programs that open a window
// some pauses after their launch; key states; and a virtual clock behind Sleep and the waits,
// whose timer tick the test sets (15.625 ms as on Windows, or 1 ms), so thousands of pauses
// run at once. Each thread keeps its own time, as threads pausing in parallel do. Every seam call
// is recorded with its arguments and calling thread. Safe to call from several threads at once.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/desktop.h"

namespace keyrack::testing {

struct FakeWindow {
    std::uint32_t processId = 0;
    std::uint32_t threadId = 1;
    bool visible = true;
    std::uint32_t exStyle = 0;
    WindowHandle owner = 0;
    std::u16string title;
    std::u16string className;
    Rect normalRect{100, 100, 900, 700};
    bool iconic = false;
    bool zoomed = false;
    bool refusesClose = false;  // WM_CLOSE leaves it open (a program that asks first)
    bool cloaked = false;       // hidden by the shell although visible
    // Its thread answers no message: shows, placements and closes posted to it wait in its
    // queue and apply once it answers again (SetHung false).
    bool hung = false;
    // The system counts its thread as hung (IsHungAppWindow): SMTO_ABORTIFHUNG gives up at once.
    bool hungApp = false;
    // Busy starting up: answers nothing (like `hung`) until the clock of the thread asking
    // reaches this, in milliseconds; then its queued calls apply.
    std::uint64_t busyUntilMs = 0;
    WindowHandle parent = 0;  // a child window (AddChildWindow): not in the Z order
};

struct FakeProgram {
    enum class Kind {
        kOpensWindow,   // a new process owning a new window
        kOpensNothing,  // starts, shows nothing
        // restores `existing` if it is minimised, brings it to the front and opens nothing
        kActivatesExisting,
        // asks to bring `existing` forward, is refused the foreground and flashes its taskbar
        // button instead (HSHELL_FLASH), opening nothing
        kFlashesExisting,
    };
    Kind kind = Kind::kOpensWindow;
    // The window opens (or `existing` comes forward) after this many Sleep calls on the
    // launching thread (0: at once).
    int pausesBeforeWindow = 0;
    // Image path of the process that owns the window; empty: the launched file itself. A
    // different path models a launcher that starts another executable.
    std::u16string ownerImagePath;
    bool ownerOpenable = true;
    FakeWindow window;  // template of the window opened (processId is filled in)
    WindowHandle existing = 0;
    bool launchFails = false;  // ShellExecuteExW returns FALSE
    // The window opens only once this file has been launched too, from any thread. Sleep on
    // the launching thread waits for it (bounded in real time), which tells parallel groups
    // from sequential ones.
    std::u16string opensAfterLaunchOf;
    // Its first window takes the start-up rectangle and show state of a CreateProcessAt, as a
    // program creating it with CW_USEDEFAULT does.
    // Each window a program opens is recorded as "WindowOpened" with its first rectangle and
    // whether it is maximised.
    bool usesStartupRect = false;
    bool needsElevation = false;  // CreateProcessAt answers ERROR_ELEVATION_REQUIRED
    bool needsCom = false;        // the shell launches it only on a thread with a COM apartment
    std::uint32_t integrity = 0;  // of its process; 0: Keyrack's own (medium)
};

struct FakeCall {
    std::string name;
    std::vector<std::int64_t> args;
    std::u16string text;
    std::thread::id thread;
    std::uint64_t atUs = 0;  // the calling thread's clock
};

class FakeDesktop : public Desktop {
  public:
    static constexpr Rect kMaximizedRect{-4, -4, 1924, 1064};
    // The process the code under test runs in (GetCurrentProcessId), with its image path; no
    // window has it unless a test gives it one.
    static constexpr std::uint32_t kOwnProcessId = 7;
    static constexpr char16_t kOwnImagePath[] = u"C:\\Keyrack\\keyrack.exe";

    FakeDesktop();

    // --- set-up ---
    std::uint32_t AddProcess(std::u16string imagePath, bool openable = true);
    // A process that refuses PROCESS_QUERY_INFORMATION and PROCESS_VM_READ (elevated or
    // protected) but allows PROCESS_QUERY_LIMITED_INFORMATION.
    std::uint32_t AddLimitedProcess(std::u16string imagePath);
    // The process has a package identity with this Application User Model ID.
    void SetProcessAumid(std::uint32_t processId, std::u16string aumid);
    void SetProcessIntegrity(std::uint32_t processId, std::uint32_t level);
    // A file on disk (IsExistingFile); its folders exist for ListSubfolders.
    void AddFile(std::u16string path);
    // A child window of `parent`, reached only through EnumChildWindows.
    WindowHandle AddChildWindow(WindowHandle parent, FakeWindow window);
    // The window's own program moves it (not through the seam, not recorded).
    void MoveByProgram(WindowHandle window, Rect rect);
    // A new window on top of the Z order.
    WindowHandle AddWindow(FakeWindow window);
    void AddProgram(std::u16string file, FakeProgram program);
    // A physical key or mouse button goes down or up (GetAsyncKeyState reports it as it is).
    void SetKey(int virtualKey, bool down);
    void SetMouseButtonsSwapped(bool swapped) { m_buttonsSwapped = swapped; }
    // Windows' foreground lock from now on. Process `receiver` had the user's last input (0: the
    // foreground window's process, as a key release), so until the next input it may set the
    // foreground, as may the foreground window's process and the processes lent the right. A
    // window's own thread (shows, placements) activates it or moves it to the top only with
    // its process's right.
    void GiveInput(std::uint32_t receiver);
    // The user closes a window (it is gone for every later call).
    void DestroyWindow(WindowHandle window);
    // Runs after every Sleep, outside the desktop's lock, on the sleeping thread.
    void SetSleepHook(std::function<void(unsigned milliseconds)> hook);
    void SetRecording(bool on);
    // The timer tick: every Sleep and wait lasts a whole number of ticks (at least one).
    void SetTickMicroseconds(std::uint64_t tick);
    // A stop request from another thread at this time of the waiting thread's clock: the wait it
    // falls in ends then.
    void RequestStopAt(StopRequest& stop, std::uint64_t atMs);
    // The handle comes to name a window of another process (a reused handle).
    void SetWindowProcess(WindowHandle window, std::uint32_t processId);
    // The window's thread stops or starts answering; on recovery its queued calls apply.
    void SetHung(WindowHandle window, bool hung);
    // The program itself (or the user) shows or moves its window: not through the seam.
    bool ShowWindow(WindowHandle window, int command);
    bool MoveWindow(WindowHandle window, int x, int y, int width, int height, bool repaint);

    // --- inspection ---
    bool Exists(WindowHandle window) const;
    FakeWindow Window(WindowHandle window) const;  // state of a live or destroyed window
    Rect CurrentRect(WindowHandle window) const;
    std::vector<WindowHandle> ZOrder() const;                                     // top first
    std::vector<WindowHandle> WindowsOpenedBy(const std::u16string& file) const;  // launch order
    std::vector<FakeCall> Calls() const;
    std::vector<FakeCall> CallsNamed(const std::string& name) const;
    std::size_t CountOf(const std::string& name) const;  // counted even while not recording
    void ClearCalls();
    std::uint64_t VirtualMilliseconds() const;  // sum of all pauses on all threads
    // The calling thread's clock in microseconds (SteadyClockMs is its milliseconds). A thread
    // starts at the latest time any thread has reached, one second at least.
    std::uint64_t ThreadMicroseconds();
    // Calls that would have waited for a window's thread (SetWindowPos without
    // kSwpAsyncWindowPos): on a hung window each would never have returned.
    std::size_t WaitingCalls() const;
    int OpenProcessHandles() const;  // opened and not yet closed

    // --- the seam ---
    IconHandle ExtractFileIcon(std::u16string_view, unsigned) override { return 0; }
    IconHandle LoadApplicationIcon() override { return 0; }
    void DestroyIcon(IconHandle) override {}
    bool IsExistingFile(std::u16string_view path) override;
    std::vector<std::u16string> ListSubfolders(std::u16string_view folder) override;
    // Windows' rule: each unit folded to its simple upper case, then compared by value.
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
    // A hung window answers nothing; the time limit passes on the virtual clock.
    bool SendWindowMessageTimeout(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                  std::intptr_t lParam, unsigned flags, unsigned timeoutMs,
                                  std::uintptr_t* result) override;

    ProcessHandle OpenProcess(std::uint32_t access, bool inheritHandle,
                              std::uint32_t processId) override;
    std::u16string GetProcessImagePath(ProcessHandle process, std::size_t capacity) override;
    std::u16string QueryProcessImagePath(ProcessHandle process, std::size_t capacity) override;
    void CloseHandle(ProcessHandle handle) override;
    std::uint32_t GetCurrentProcessId() override { return kOwnProcessId; }
    std::u16string GetApplicationUserModelId(ProcessHandle process) override;
    std::uint32_t GetProcessIntegrityLevel(ProcessHandle process) override;
    std::uint32_t GetLastError() override;

    // Recorded with the show command, the owner and the monitor rectangle (or -1) as
    // arguments and "file|parameters" (with "|directory" when one is given) as text.
    bool ShellExecuteDefault(const ShellLaunch& launch) override;
    // Recorded with the rectangle (left, top, width, height) and show command as arguments and
    // "commandLine|directory" as text.
    StartResult CreateProcessAt(const ProcessStart& start) override;
    std::uint32_t StartedProcessId() override;
    bool InitializeComApartment() override;
    void UninitializeCom() override;

    short GetKeyState(int virtualKey) override;
    short GetAsyncKeyState(int virtualKey) override;
    bool MouseButtonsSwapped() override { return m_buttonsSwapped; }
    void Sleep(unsigned milliseconds) override;
    std::uint64_t SteadyClockMs() override;
    WaitEnd WaitUnlessStopped(const StopRequest& stop, unsigned milliseconds) override;
    void WatchNewWindows(bool on) override;
    // Every window added since the calling thread's last call (another process's creation
    // events reach every watching thread).
    std::vector<WindowHandle> TakeNewWindows() override;
    bool IsHungAppWindow(WindowHandle window) override;
    std::uint64_t LastFlashMs(WindowHandle window) override;

    // --- monitors ---
    // Replaces the monitors; the desktop starts with one 1920 x 1080 monitor whose work area
    // ends at the taskbar (y 1060).
    void SetMonitors(std::vector<MonitorInfo> monitors);
    std::vector<MonitorInfo> EnumDisplayMonitors() override;

    // --- the slot editor's needs ---
    // The program renames its window.
    void SetWindowTitle(WindowHandle window, std::u16string title);

  private:
    struct Process {
        std::u16string imagePath;
        bool openable = true;
        bool limitedOnly = false;
        std::uint32_t integrity = win::kMediumIntegrity;
        std::u16string aumid;
    };
    struct Pending {
        std::thread::id thread;
        int pausesLeft = 0;
        std::u16string file;
        FakeProgram program;
        std::uint32_t processId = 0;
    };

    void Record(std::string name, std::vector<std::int64_t> args, std::u16string text = {});
    bool Alive(WindowHandle window) const;
    bool MayTakeForeground(std::uint32_t processId);
    void BringToTop(WindowHandle window);
    void OpenProgramWindow(const Pending& launch);
    void ActivateExisting(const FakeProgram& program);
    void Start(const Pending& launch);
    bool LaunchLocked(const std::u16string& file, const FakeProgram& program);
    // Whether Keyrack's calls on the window are refused (its process is elevated): sets the
    // thread's last error.
    bool RefusedLocked(WindowHandle window);
    WindowHandle AddWindowLocked(FakeWindow window);
    void ApplyShow(WindowHandle window, int command);
    void ApplyPosition(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx, int cy,
                       unsigned flags);
    void ApplyClose(WindowHandle window);
    // Runs `apply` now, or queues it while the window is hung.
    void Deliver(WindowHandle window, std::function<void()> apply);
    bool Answers(WindowHandle window);
    std::uint64_t& ClockLocked();
    // One pause of `milliseconds` on the calling thread: rounded up to whole ticks; the
    // programs that wait for the thread's pauses act. Returns with the lock held.
    void PauseLocked(std::unique_lock<std::mutex>& lock, unsigned milliseconds);

    mutable std::mutex m_mutex;
    std::condition_variable m_launched;
    std::map<std::uint32_t, Process> m_processes;
    std::map<WindowHandle, FakeWindow> m_windows;  // live and destroyed
    std::set<WindowHandle> m_destroyed;
    std::vector<WindowHandle> m_zOrder;  // live windows, top first
    WindowHandle m_foreground = 0;
    bool m_foregroundLock = false;
    std::uint32_t m_inputReceiver = 0;
    std::set<std::uint32_t> m_lentForeground;
    std::map<std::u16string, FakeProgram> m_programs;
    std::vector<Pending> m_pending;
    std::multiset<std::u16string> m_launchedFiles;
    std::map<std::u16string, std::vector<WindowHandle>> m_openedBy;
    std::map<ProcessHandle, std::uint32_t> m_openHandles;
    std::map<ProcessHandle, std::uint32_t> m_handleAccess;
    std::map<int, bool> m_keys;
    std::atomic<bool> m_buttonsSwapped{false};
    std::function<void(unsigned)> m_sleepHook;
    std::vector<FakeCall> m_calls;
    std::map<std::string, std::size_t> m_counts;
    bool m_recording = true;
    std::uint64_t m_virtualUs = 0;
    std::uint64_t m_tickUs = 1000;
    std::map<std::thread::id, std::uint64_t> m_clocksUs;
    std::uint64_t m_latestUs = 1000000;
    StopRequest* m_stopAt = nullptr;
    std::uint64_t m_stopAtUs = 0;
    std::map<WindowHandle, std::uint64_t> m_flashedMs;
    std::vector<WindowHandle> m_added;                  // every window added, in order
    std::map<std::thread::id, std::size_t> m_takenNew;  // of m_added, per thread
    std::size_t m_waitingCalls = 0;
    std::map<WindowHandle, std::vector<std::function<void()>>> m_queued;
    std::uint32_t m_nextProcessId = 100;
    WindowHandle m_nextWindow = 0x10000;
    ProcessHandle m_nextProcessHandle = 0x500;
    std::vector<std::u16string> m_files;
    std::set<std::thread::id> m_comThreads;
    std::vector<MonitorInfo> m_monitors{{{0, 0, 1920, 1080}, {0, 0, 1920, 1060}, true}};
};

}  // namespace keyrack::testing
