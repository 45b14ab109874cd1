#include "tests/fakes/fake_desktop.h"

#include <algorithm>
#include <chrono>
#include <locale>
#include <type_traits>
#include <utility>

#include "platform/text.h"

namespace keyrack::testing {

namespace {
std::int64_t I(std::uintptr_t value) { return static_cast<std::int64_t>(value); }
thread_local std::uint32_t t_lastError = 0;
thread_local std::uint32_t t_startedProcess = 0;
constexpr std::uint32_t kErrorFileNotFound = 2;

char16_t UpperCase(char16_t c) {
    static const std::locale unicode("C.utf8");
    if (c >= 0xD800 && c <= 0xDFFF) return c;  // halves of a pair stay as they are
    const std::uint32_t upper =
        static_cast<std::make_unsigned_t<wchar_t>>(std::toupper(static_cast<wchar_t>(c), unicode));
    return (upper >> 16) != 0 ? c : static_cast<char16_t>(upper);
}
}  // namespace

FakeDesktop::FakeDesktop() {
    m_processes[kOwnProcessId] = {kOwnImagePath, true, false, win::kMediumIntegrity, {}};
}

void FakeDesktop::Record(std::string name, std::vector<std::int64_t> args, std::u16string text) {
    ++m_counts[name];
    if (m_recording)
        m_calls.push_back({std::move(name), std::move(args), std::move(text),
                           std::this_thread::get_id(), ClockLocked()});
}

std::uint32_t FakeDesktop::AddProcess(std::u16string imagePath, bool openable) {
    std::lock_guard lock(m_mutex);
    const std::uint32_t id = m_nextProcessId++;
    m_processes[id] = {std::move(imagePath), openable, false, win::kMediumIntegrity, {}};
    return id;
}

std::uint32_t FakeDesktop::AddLimitedProcess(std::u16string imagePath) {
    std::lock_guard lock(m_mutex);
    const std::uint32_t id = m_nextProcessId++;
    m_processes[id] = {std::move(imagePath), true, true, win::kMediumIntegrity, {}};
    return id;
}

void FakeDesktop::SetProcessAumid(std::uint32_t processId, std::u16string aumid) {
    std::lock_guard lock(m_mutex);
    m_processes[processId].aumid = std::move(aumid);
}

void FakeDesktop::SetProcessIntegrity(std::uint32_t processId, std::uint32_t level) {
    std::lock_guard lock(m_mutex);
    m_processes[processId].integrity = level;
}

void FakeDesktop::AddFile(std::u16string path) {
    std::lock_guard lock(m_mutex);
    m_files.push_back(std::move(path));
}

bool FakeDesktop::IsExistingFile(std::u16string_view path) {
    std::lock_guard lock(m_mutex);
    Record("IsExistingFile", {}, std::u16string(path));
    return std::any_of(m_files.begin(), m_files.end(),
                       [&](const std::u16string& file) { return EqualsNoCase(file, path); });
}

std::vector<std::u16string> FakeDesktop::ListSubfolders(std::u16string_view folder) {
    std::lock_guard lock(m_mutex);
    Record("ListSubfolders", {}, std::u16string(folder));
    std::vector<std::u16string> names;
    const std::size_t n = folder.size() + 1;
    for (const auto& file : m_files) {
        if (file.size() <= n || file[n - 1] != u'\\' ||
            !EqualsNoCase(file.substr(0, n - 1), folder))
            continue;
        const std::size_t end = file.find(u'\\', n);
        if (end == std::u16string::npos) continue;  // a file, not a folder
        const std::u16string name = file.substr(n, end - n);
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    return names;
}

int FakeDesktop::CompareOrdinalNoCase(std::u16string_view a, std::u16string_view b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const int ca = UpperCase(a[i]);
        const int cb = UpperCase(b[i]);
        if (ca != cb) return ca - cb;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

WindowHandle FakeDesktop::AddChildWindow(WindowHandle parent, FakeWindow window) {
    std::lock_guard lock(m_mutex);
    const WindowHandle handle = m_nextWindow;
    m_nextWindow += 0x10;
    window.parent = parent;
    m_windows[handle] = std::move(window);
    return handle;
}

void FakeDesktop::MoveByProgram(WindowHandle window, Rect rect) {
    std::lock_guard lock(m_mutex);
    if (!Alive(window)) return;
    m_windows[window].normalRect = rect;
    m_windows[window].zoomed = false;
}

WindowHandle FakeDesktop::AddWindowLocked(FakeWindow window) {
    const WindowHandle handle = m_nextWindow;
    m_nextWindow += 0x10;
    m_windows[handle] = std::move(window);
    m_zOrder.insert(m_zOrder.begin(), handle);
    m_added.push_back(handle);
    return handle;
}

WindowHandle FakeDesktop::AddWindow(FakeWindow window) {
    std::lock_guard lock(m_mutex);
    return AddWindowLocked(std::move(window));
}

void FakeDesktop::AddProgram(std::u16string file, FakeProgram program) {
    std::lock_guard lock(m_mutex);
    m_programs[std::move(file)] = std::move(program);
}

void FakeDesktop::SetKey(int virtualKey, bool down) {
    std::lock_guard lock(m_mutex);
    m_keys[virtualKey] = down;
}

void FakeDesktop::GiveInput(std::uint32_t receiver) {
    std::lock_guard lock(m_mutex);
    m_foregroundLock = true;
    m_inputReceiver = receiver || !m_foreground ? receiver : m_windows[m_foreground].processId;
    m_lentForeground.clear();
}

bool FakeDesktop::MayTakeForeground(std::uint32_t processId) {
    return !m_foregroundLock || m_foreground == 0 || processId == m_inputReceiver ||
           processId == m_windows[m_foreground].processId || m_lentForeground.count(processId);
}

bool FakeDesktop::SetForegroundWindow(WindowHandle window) {
    std::lock_guard lock(m_mutex);
    Record("SetForegroundWindow", {I(window)});
    if (!Alive(window) || !MayTakeForeground(kOwnProcessId)) return false;
    m_foreground = window;
    Deliver(window, [this, window] { BringToTop(window); });
    return true;
}

bool FakeDesktop::AllowSetForegroundWindow(std::uint32_t processId) {
    std::lock_guard lock(m_mutex);
    Record("AllowSetForegroundWindow", {processId});
    return MayTakeForeground(kOwnProcessId) && (m_lentForeground.insert(processId), true);
}

void FakeDesktop::DestroyWindow(WindowHandle window) {
    std::lock_guard lock(m_mutex);
    if (!Alive(window)) return;
    m_destroyed.insert(window);
    std::erase(m_zOrder, window);
    if (m_foreground == window) m_foreground = 0;
}

void FakeDesktop::SetSleepHook(std::function<void(unsigned)> hook) {
    std::lock_guard lock(m_mutex);
    m_sleepHook = std::move(hook);
}

void FakeDesktop::SetRecording(bool on) {
    std::lock_guard lock(m_mutex);
    m_recording = on;
}

bool FakeDesktop::Exists(WindowHandle window) const {
    std::lock_guard lock(m_mutex);
    return Alive(window);
}

FakeWindow FakeDesktop::Window(WindowHandle window) const {
    std::lock_guard lock(m_mutex);
    const auto it = m_windows.find(window);
    return it == m_windows.end() ? FakeWindow{} : it->second;
}

Rect FakeDesktop::CurrentRect(WindowHandle window) const {
    std::lock_guard lock(m_mutex);
    const auto it = m_windows.find(window);
    if (it == m_windows.end()) return {};
    return it->second.zoomed ? kMaximizedRect : it->second.normalRect;
}

std::vector<WindowHandle> FakeDesktop::ZOrder() const {
    std::lock_guard lock(m_mutex);
    return m_zOrder;
}

std::vector<WindowHandle> FakeDesktop::WindowsOpenedBy(const std::u16string& file) const {
    std::lock_guard lock(m_mutex);
    const auto it = m_openedBy.find(file);
    return it == m_openedBy.end() ? std::vector<WindowHandle>{} : it->second;
}

std::vector<FakeCall> FakeDesktop::Calls() const {
    std::lock_guard lock(m_mutex);
    return m_calls;
}

std::vector<FakeCall> FakeDesktop::CallsNamed(const std::string& name) const {
    std::lock_guard lock(m_mutex);
    std::vector<FakeCall> out;
    for (const auto& call : m_calls)
        if (call.name == name) out.push_back(call);
    return out;
}

std::size_t FakeDesktop::CountOf(const std::string& name) const {
    std::lock_guard lock(m_mutex);
    const auto it = m_counts.find(name);
    return it == m_counts.end() ? 0 : it->second;
}

void FakeDesktop::ClearCalls() {
    std::lock_guard lock(m_mutex);
    m_calls.clear();
    m_counts.clear();
}

std::uint64_t FakeDesktop::VirtualMilliseconds() const {
    std::lock_guard lock(m_mutex);
    return m_virtualUs / 1000;
}

std::uint64_t& FakeDesktop::ClockLocked() {
    const auto [it, added] = m_clocksUs.try_emplace(std::this_thread::get_id(), m_latestUs);
    return it->second;
}

std::uint64_t FakeDesktop::ThreadMicroseconds() {
    std::lock_guard lock(m_mutex);
    return ClockLocked();
}

void FakeDesktop::SetTickMicroseconds(std::uint64_t tick) {
    std::lock_guard lock(m_mutex);
    m_tickUs = tick;
}

void FakeDesktop::RequestStopAt(StopRequest& stop, std::uint64_t atMs) {
    std::lock_guard lock(m_mutex);
    m_stopAt = &stop;
    m_stopAtUs = atMs * 1000;
}

int FakeDesktop::OpenProcessHandles() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_openHandles.size());
}

bool FakeDesktop::Alive(WindowHandle window) const {
    return window != 0 && m_windows.count(window) != 0 && m_destroyed.count(window) == 0;
}

void FakeDesktop::BringToTop(WindowHandle window) {
    std::erase(m_zOrder, window);
    m_zOrder.insert(m_zOrder.begin(), window);
}

void FakeDesktop::EnumWindows(const std::function<bool(WindowHandle)>& visit) {
    std::vector<WindowHandle> order;
    {
        std::lock_guard lock(m_mutex);
        Record("EnumWindows", {});
        order = m_zOrder;
    }
    for (const WindowHandle window : order) {
        bool live;
        {
            std::lock_guard lock(m_mutex);
            live = Alive(window);
        }
        if (live && !visit(window)) break;
    }
}

bool FakeDesktop::IsWindowVisible(WindowHandle window) {
    std::lock_guard lock(m_mutex);
    Record("IsWindowVisible", {I(window)});
    return Alive(window) && m_windows[window].visible;
}

std::uint32_t FakeDesktop::GetExStyle(WindowHandle window) {
    std::lock_guard lock(m_mutex);
    Record("GetExStyle", {I(window)});
    return Alive(window) ? m_windows[window].exStyle : 0;
}

WindowHandle FakeDesktop::GetOwner(WindowHandle window) {
    std::lock_guard lock(m_mutex);
    Record("GetOwner", {I(window)});
    return Alive(window) ? m_windows[window].owner : 0;
}

std::uint32_t FakeDesktop::GetWindowThreadProcessId(WindowHandle window, std::uint32_t* processId) {
    std::lock_guard lock(m_mutex);
    Record("GetWindowThreadProcessId", {I(window)});
    if (!Alive(window)) {
        if (processId) *processId = 0;
        return 0;
    }
    if (processId) *processId = m_windows[window].processId;
    return m_windows[window].threadId;
}

void FakeDesktop::EnumChildWindows(WindowHandle window,
                                   const std::function<bool(WindowHandle)>& visit) {
    std::vector<WindowHandle> children;
    {
        std::lock_guard lock(m_mutex);
        Record("EnumChildWindows", {I(window)});
        for (const auto& [handle, child] : m_windows)
            if (child.parent == window && window != 0 && Alive(handle)) children.push_back(handle);
    }
    for (const WindowHandle child : children)
        if (!visit(child)) break;
}

bool FakeDesktop::IsWindowCloaked(WindowHandle window) {
    std::lock_guard lock(m_mutex);
    Record("IsWindowCloaked", {I(window)});
    return Alive(window) && m_windows[window].cloaked;
}

std::u16string FakeDesktop::GetWindowTitle(WindowHandle window, std::size_t capacity) {
    std::lock_guard lock(m_mutex);
    Record("GetWindowTitle", {I(window), static_cast<std::int64_t>(capacity)});
    if (!Alive(window) || capacity == 0) return {};
    const std::u16string& title = m_windows[window].title;
    return title.substr(0, std::min(title.size(), capacity - 1));
}

std::u16string FakeDesktop::GetWindowClassName(WindowHandle window) {
    std::lock_guard lock(m_mutex);
    Record("GetWindowClassName", {I(window)});
    return Alive(window) ? m_windows[window].className : std::u16string();
}

bool FakeDesktop::GetWindowRect(WindowHandle window, Rect* rect) {
    std::lock_guard lock(m_mutex);
    Record("GetWindowRect", {I(window)});
    if (!Alive(window)) return false;
    const FakeWindow& w = m_windows[window];
    *rect = w.zoomed ? kMaximizedRect : w.normalRect;
    return true;
}

bool FakeDesktop::IsIconic(WindowHandle window) {
    std::lock_guard lock(m_mutex);
    Record("IsIconic", {I(window)});
    return Alive(window) && m_windows[window].iconic;
}

bool FakeDesktop::IsZoomed(WindowHandle window) {
    std::lock_guard lock(m_mutex);
    Record("IsZoomed", {I(window)});
    return Alive(window) && m_windows[window].zoomed && !m_windows[window].iconic;
}

WindowHandle FakeDesktop::GetForegroundWindow() {
    std::lock_guard lock(m_mutex);
    Record("GetForegroundWindow", {});
    return m_foreground;
}

bool FakeDesktop::ShowWindow(WindowHandle window, int command) {
    std::lock_guard lock(m_mutex);
    Record("ShowWindow", {I(window), command});
    if (!Alive(window)) return false;
    const bool wasVisible = m_windows[window].visible;
    ApplyShow(window, command);
    return wasVisible;
}

bool FakeDesktop::MoveWindow(WindowHandle window, int x, int y, int width, int height,
                             bool repaint) {
    std::lock_guard lock(m_mutex);
    Record("MoveWindow", {I(window), x, y, width, height, repaint ? 1 : 0});
    if (!Alive(window)) return false;
    FakeWindow& w = m_windows[window];
    w.normalRect = Rect{x, y, x + width, y + height};
    w.zoomed = false;
    return true;
}

void FakeDesktop::ApplyShow(WindowHandle window, int command) {
    if (!Alive(window)) return;
    FakeWindow& w = m_windows[window];
    auto activate = [&] {
        if (!MayTakeForeground(w.processId)) return;
        BringToTop(window);
        m_foreground = window;
    };
    switch (command) {
        case win::kSwHide:
            w.visible = false;
            if (m_foreground == window) m_foreground = 0;
            break;
        case win::kSwShowNormal:
            // Restores a minimised window to its previous state, a maximised one to normal.
            if (w.iconic)
                w.iconic = false;
            else
                w.zoomed = false;
            w.visible = true;
            activate();
            break;
        case win::kSwShowMaximized:
            w.visible = true;
            w.iconic = false;
            w.zoomed = true;
            activate();
            break;
        case win::kSwShowNoActivate:
            w.visible = true;
            w.iconic = false;
            break;
        case win::kSwShow:
            w.visible = true;
            activate();
            break;
        case win::kSwShowMinNoActive:
            w.visible = true;
            w.iconic = true;
            if (m_foreground == window) m_foreground = 0;
            break;
        default:
            break;
    }
}

void FakeDesktop::ApplyPosition(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx,
                                int cy, unsigned flags) {
    if (!Alive(window)) return;
    FakeWindow& w = m_windows[window];
    const bool zOrder = !(flags & win::kSwpNoZOrder) && insertAfter != window;
    if (zOrder && insertAfter == win::kHwndTop && MayTakeForeground(w.processId)) {
        BringToTop(window);
    } else if (zOrder && Alive(insertAfter)) {
        std::erase(m_zOrder, window);
        m_zOrder.insert(std::find(m_zOrder.begin(), m_zOrder.end(), insertAfter) + 1, window);
    }
    if (!(flags & win::kSwpNoMove) || !(flags & win::kSwpNoSize)) {
        w.normalRect = Rect{x, y, x + cx, y + cy};
        w.zoomed = false;
    }
    if (!(flags & win::kSwpNoActivate) && MayTakeForeground(w.processId)) m_foreground = window;
}

void FakeDesktop::ApplyClose(WindowHandle window) {
    if (!Alive(window) || m_windows[window].refusesClose) return;
    m_destroyed.insert(window);
    std::erase(m_zOrder, window);
    if (m_foreground == window) m_foreground = 0;
}

void FakeDesktop::Deliver(WindowHandle window, std::function<void()> apply) {
    const FakeWindow& w = m_windows[window];
    if (w.hung || w.busyUntilMs * 1000 > ClockLocked())
        m_queued[window].push_back(std::move(apply));
    else
        apply();
}

void FakeDesktop::SetWindowProcess(WindowHandle window, std::uint32_t processId) {
    std::lock_guard lock(m_mutex);
    if (Alive(window)) m_windows[window].processId = processId;
}

void FakeDesktop::SetHung(WindowHandle window, bool hung) {
    std::lock_guard lock(m_mutex);
    if (!Alive(window)) return;
    m_windows[window].hung = hung;
    if (hung) return;
    auto queued = std::move(m_queued[window]);
    m_queued.erase(window);
    for (auto& apply : queued) apply();
}

std::size_t FakeDesktop::WaitingCalls() const {
    std::lock_guard lock(m_mutex);
    return m_waitingCalls;
}

bool FakeDesktop::ShowWindowAsync(WindowHandle window, int command) {
    std::lock_guard lock(m_mutex);
    Record("ShowWindowAsync", {I(window), command});
    if (!Alive(window) || RefusedLocked(window)) return false;
    Deliver(window, [this, window, command] { ApplyShow(window, command); });
    return true;
}

bool FakeDesktop::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx,
                               int cy, unsigned flags) {
    std::lock_guard lock(m_mutex);
    Record("SetWindowPos", {I(window), I(insertAfter), x, y, cx, cy, flags});
    if (!(flags & win::kSwpAsyncWindowPos)) ++m_waitingCalls;
    if (!Alive(window) || RefusedLocked(window)) return false;
    Deliver(window, [=, this] { ApplyPosition(window, insertAfter, x, y, cx, cy, flags); });
    return true;
}

bool FakeDesktop::PostWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                    std::intptr_t lParam) {
    std::lock_guard lock(m_mutex);
    Record("PostWindowMessage", {I(window), message, I(wParam), lParam});
    if (!Alive(window)) return false;
    if (message == win::kWmClose) Deliver(window, [this, window] { ApplyClose(window); });
    return true;
}

bool FakeDesktop::SendWindowMessageTimeout(WindowHandle window, unsigned message,
                                           std::uintptr_t wParam, std::intptr_t lParam,
                                           unsigned flags, unsigned timeoutMs,
                                           std::uintptr_t* result) {
    std::lock_guard lock(m_mutex);
    Record("SendWindowMessageTimeout", {I(window), message, I(wParam), lParam, flags, timeoutMs});
    if (result) *result = 0;
    if (!Alive(window) || RefusedLocked(window)) return false;
    return Answers(window) || [&] {
        FakeWindow& w = m_windows[window];
        if (w.hungApp && (flags & win::kSmtoAbortIfHung)) return false;
        std::uint64_t& clock = ClockLocked();
        const std::uint64_t deadline = clock + std::uint64_t{timeoutMs} * 1000;
        if (!w.hung && w.busyUntilMs * 1000 <= deadline) {
            m_virtualUs += w.busyUntilMs * 1000 - clock;
            clock = w.busyUntilMs * 1000;
            return Answers(window);
        }
        m_virtualUs += deadline - clock;
        clock = deadline;
        m_latestUs = std::max(m_latestUs, clock);
        return false;
    }();
}

bool FakeDesktop::Answers(WindowHandle window) {
    FakeWindow& w = m_windows[window];
    if (w.hung || w.busyUntilMs * 1000 > ClockLocked()) return false;
    // Busy no more: what was posted meanwhile applies first.
    auto queued = std::move(m_queued[window]);
    m_queued.erase(window);
    for (auto& apply : queued) apply();
    return true;
}

bool FakeDesktop::IsHungAppWindow(WindowHandle window) {
    std::lock_guard lock(m_mutex);
    Record("IsHungAppWindow", {I(window)});
    return Alive(window) && m_windows[window].hungApp;
}

std::uint64_t FakeDesktop::LastFlashMs(WindowHandle window) {
    std::lock_guard lock(m_mutex);
    const auto it = m_flashedMs.find(window);
    return it != m_flashedMs.end() ? it->second : 0;
}

std::uint64_t FakeDesktop::SteadyClockMs() {
    std::lock_guard lock(m_mutex);
    return ClockLocked() / 1000;
}

void FakeDesktop::WatchNewWindows(bool on) {
    std::lock_guard lock(m_mutex);
    Record("WatchNewWindows", {on ? 1 : 0});
    if (on) m_takenNew[std::this_thread::get_id()] = m_added.size();
}

std::vector<WindowHandle> FakeDesktop::TakeNewWindows() {
    std::lock_guard lock(m_mutex);
    std::size_t& taken = m_takenNew[std::this_thread::get_id()];
    std::vector<WindowHandle> fresh(m_added.begin() + static_cast<std::ptrdiff_t>(taken),
                                    m_added.end());
    taken = m_added.size();
    return fresh;
}

ProcessHandle FakeDesktop::OpenProcess(std::uint32_t access, bool inheritHandle,
                                       std::uint32_t processId) {
    std::lock_guard lock(m_mutex);
    Record("OpenProcess", {access, inheritHandle ? 1 : 0, processId});
    const auto it = m_processes.find(processId);
    if (it == m_processes.end() || !it->second.openable) return 0;
    if (it->second.limitedOnly && (access & (win::kProcessQueryInformation | win::kProcessVmRead)))
        return 0;
    const ProcessHandle handle = m_nextProcessHandle;
    m_nextProcessHandle += 4;
    m_openHandles[handle] = processId;
    m_handleAccess[handle] = access;
    return handle;
}

std::u16string FakeDesktop::GetProcessImagePath(ProcessHandle process, std::size_t capacity) {
    std::lock_guard lock(m_mutex);
    Record("GetProcessImagePath", {I(process), static_cast<std::int64_t>(capacity)});
    const auto it = m_openHandles.find(process);
    // The module list is read from the process's memory.
    if (it == m_openHandles.end() || capacity == 0 ||
        !(m_handleAccess[process] & win::kProcessVmRead))
        return {};
    const std::u16string& path = m_processes[it->second].imagePath;
    return path.substr(0, std::min(path.size(), capacity - 1));
}

std::u16string FakeDesktop::QueryProcessImagePath(ProcessHandle process, std::size_t capacity) {
    std::lock_guard lock(m_mutex);
    Record("QueryProcessImagePath", {I(process), static_cast<std::int64_t>(capacity)});
    const auto it = m_openHandles.find(process);
    if (it == m_openHandles.end()) return {};
    const std::u16string& path = m_processes[it->second].imagePath;
    if (path.size() >= capacity) return {};  // the call fails rather than cut the path
    return path;
}

void FakeDesktop::CloseHandle(ProcessHandle handle) {
    std::lock_guard lock(m_mutex);
    Record("CloseHandle", {I(handle)});
    m_openHandles.erase(handle);
    m_handleAccess.erase(handle);
}

bool FakeDesktop::RefusedLocked(WindowHandle window) {
    const auto process = m_processes.find(m_windows[window].processId);
    if (process == m_processes.end() || process->second.integrity <= win::kMediumIntegrity)
        return false;
    t_lastError = win::kErrorAccessDenied;
    return true;
}

std::u16string FakeDesktop::GetApplicationUserModelId(ProcessHandle process) {
    std::lock_guard lock(m_mutex);
    Record("GetApplicationUserModelId", {I(process)});
    const auto it = m_openHandles.find(process);
    return it == m_openHandles.end() ? std::u16string() : m_processes[it->second].aumid;
}

std::uint32_t FakeDesktop::GetProcessIntegrityLevel(ProcessHandle process) {
    std::lock_guard lock(m_mutex);
    const auto it = m_openHandles.find(process);
    return it == m_openHandles.end() ? 0 : m_processes[it->second].integrity;
}

std::uint32_t FakeDesktop::GetLastError() { return t_lastError; }

void FakeDesktop::OpenProgramWindow(const Pending& launch) {
    const std::u16string& image =
        launch.program.ownerImagePath.empty() ? launch.file : launch.program.ownerImagePath;
    const std::uint32_t id = launch.processId;
    m_processes[id] = {image, launch.program.ownerOpenable, false, win::kMediumIntegrity, {}};
    if (launch.program.integrity != 0) m_processes[id].integrity = launch.program.integrity;
    FakeWindow window = launch.program.window;
    window.processId = id;
    const Rect& r = window.normalRect;
    Record("WindowOpened", {r.left, r.top, r.right, r.bottom, window.zoomed ? 1 : 0});
    const WindowHandle handle = AddWindowLocked(std::move(window));
    m_openedBy[launch.file].push_back(handle);
    if (!m_windows[handle].visible) return;
    if (MayTakeForeground(id))
        m_foreground = handle;
    else if (m_foreground != 0)  // refused the foreground: it opens behind the window in front
        ApplyPosition(handle, m_foreground, 0, 0, 0, 0, win::kSwpNoSize | win::kSwpNoMove);
}

void FakeDesktop::ActivateExisting(const FakeProgram& program) {
    if (program.kind == FakeProgram::Kind::kFlashesExisting) {
        if (Alive(program.existing)) m_flashedMs[program.existing] = ClockLocked() / 1000;
        return;
    }
    if (!Alive(program.existing)) return;
    m_windows[program.existing].iconic = false;
    BringToTop(program.existing);
    m_foreground = program.existing;
}

void FakeDesktop::Start(const Pending& launch) {
    if (launch.program.kind == FakeProgram::Kind::kActivatesExisting ||
        launch.program.kind == FakeProgram::Kind::kFlashesExisting)
        ActivateExisting(launch.program);
    else
        OpenProgramWindow(launch);
}

bool FakeDesktop::LaunchLocked(const std::u16string& file, const FakeProgram& program) {
    m_launchedFiles.insert(file);
    m_launched.notify_all();
    t_startedProcess = m_nextProcessId++;
    switch (program.kind) {
        case FakeProgram::Kind::kOpensNothing:
            break;
        case FakeProgram::Kind::kActivatesExisting:
        case FakeProgram::Kind::kFlashesExisting:
        case FakeProgram::Kind::kOpensWindow: {
            Pending launch{std::this_thread::get_id(), program.pausesBeforeWindow, file, program,
                           t_startedProcess};
            if (launch.pausesLeft <= 0 && program.opensAfterLaunchOf.empty())
                Start(launch);
            else
                m_pending.push_back(std::move(launch));
            break;
        }
    }
    return true;
}

bool FakeDesktop::ShellExecuteDefault(const ShellLaunch& launch) {
    std::lock_guard lock(m_mutex);
    const Rect monitor = launch.monitorOf.value_or(Rect{-1, -1, -1, -1});
    std::u16string text(launch.file);
    text.append(u"|").append(launch.parameters);
    if (!launch.directory.empty()) text.append(u"|").append(launch.directory);
    Record("ShellExecuteDefault",
           {launch.show, I(launch.owner), monitor.left, monitor.top, monitor.right, monitor.bottom},
           text);
    const auto it = m_programs.find(std::u16string(launch.file));
    if (it == m_programs.end() || it->second.launchFails) return false;
    if (it->second.needsCom && m_comThreads.count(std::this_thread::get_id()) == 0) return false;
    return LaunchLocked(it->first, it->second);
}

StartResult FakeDesktop::CreateProcessAt(const ProcessStart& start) {
    std::lock_guard lock(m_mutex);
    Record("CreateProcessAt",
           {start.rect.left, start.rect.top, start.rect.Width(), start.rect.Height(), start.show},
           std::u16string(start.commandLine) + u'|' + std::u16string(start.directory));
    const auto it = m_programs.find(std::u16string(start.application));
    if (it == m_programs.end() || it->second.launchFails) {
        t_lastError = kErrorFileNotFound;
        return StartResult::kFailed;
    }
    if (it->second.needsElevation) return StartResult::kElevationRequired;
    FakeProgram program = it->second;
    if (program.usesStartupRect) {
        program.window.normalRect = start.rect;
        program.window.zoomed = start.show == win::kSwShowMaximized;
    }
    LaunchLocked(it->first, program);
    return StartResult::kStarted;
}

std::uint32_t FakeDesktop::StartedProcessId() { return t_startedProcess; }

bool FakeDesktop::InitializeComApartment() {
    std::lock_guard lock(m_mutex);
    Record("InitializeComApartment", {});
    return m_comThreads.insert(std::this_thread::get_id()).second;
}

void FakeDesktop::UninitializeCom() {
    std::lock_guard lock(m_mutex);
    Record("UninitializeCom", {});
    m_comThreads.erase(std::this_thread::get_id());
}

short FakeDesktop::GetKeyState(int virtualKey) {
    std::lock_guard lock(m_mutex);
    Record("GetKeyState", {virtualKey});
    const auto it = m_keys.find(virtualKey);
    return it != m_keys.end() && it->second ? static_cast<short>(-128) : 0;
}

short FakeDesktop::GetAsyncKeyState(int virtualKey) {
    std::lock_guard lock(m_mutex);
    Record("GetAsyncKeyState", {virtualKey});
    const auto it = m_keys.find(virtualKey);
    return it != m_keys.end() && it->second ? static_cast<short>(-32768) : 0;
}

void FakeDesktop::Sleep(unsigned milliseconds) {
    std::function<void(unsigned)> hook;
    {
        std::unique_lock lock(m_mutex);
        Record("Sleep", {milliseconds});
        PauseLocked(lock, milliseconds);
        hook = m_sleepHook;
    }
    if (hook) hook(milliseconds);
}

Desktop::WaitEnd FakeDesktop::WaitUnlessStopped(const StopRequest& stop, unsigned milliseconds) {
    std::function<void(unsigned)> hook;
    {
        std::unique_lock lock(m_mutex);
        Record("Wait", {milliseconds});
        if (stop.Requested()) return WaitEnd::kStopped;
        std::uint64_t& clock = ClockLocked();
        const std::uint64_t ticks = (std::uint64_t{milliseconds} * 1000 + m_tickUs - 1) / m_tickUs;
        if (m_stopAt == &stop &&
            m_stopAtUs < clock + std::max<std::uint64_t>(ticks, 1) * m_tickUs) {
            // The request comes during this wait, from another thread: it ends the wait then.
            const std::uint64_t at = std::max(clock, m_stopAtUs);
            m_virtualUs += at - clock;
            clock = at;
            StopRequest* request = std::exchange(m_stopAt, nullptr);
            lock.unlock();
            request->Request();
            return WaitEnd::kStopped;
        }
        PauseLocked(lock, milliseconds);
        hook = m_sleepHook;
    }
    if (hook) hook(milliseconds);
    return WaitEnd::kElapsed;
}

void FakeDesktop::PauseLocked(std::unique_lock<std::mutex>& lock, unsigned milliseconds) {
    {
        std::uint64_t& clock = ClockLocked();
        const std::uint64_t ticks = (std::uint64_t{milliseconds} * 1000 + m_tickUs - 1) / m_tickUs;
        clock += ticks * m_tickUs;
        m_virtualUs += ticks * m_tickUs;
        m_latestUs = std::max(m_latestUs, clock);
        const auto self = std::this_thread::get_id();
        std::vector<Pending> due;
        for (auto it = m_pending.begin(); it != m_pending.end();) {
            if (it->thread == self && --it->pausesLeft <= 0) {
                due.push_back(std::move(*it));
                it = m_pending.erase(it);
            } else {
                ++it;
            }
        }
        for (const Pending& launch : due) {
            const std::u16string& after = launch.program.opensAfterLaunchOf;
            if (!after.empty()) {
                // Real waiting, bounded: the other launch must come from another thread.
                m_launched.wait_for(lock, std::chrono::seconds(10),
                                    [&] { return m_launchedFiles.count(after) != 0; });
                if (m_launchedFiles.count(after) == 0) continue;  // never opens
            }
            Start(launch);
        }
    }
}

void FakeDesktop::SetMonitors(std::vector<MonitorInfo> monitors) {
    std::lock_guard lock(m_mutex);
    m_monitors = std::move(monitors);
}

std::vector<MonitorInfo> FakeDesktop::EnumDisplayMonitors() {
    std::lock_guard lock(m_mutex);
    Record("EnumDisplayMonitors", {});
    return m_monitors;
}

void FakeDesktop::SetWindowTitle(WindowHandle window, std::u16string title) {
    std::lock_guard lock(m_mutex);
    if (Alive(window)) m_windows[window].title = std::move(title);
}

}  // namespace keyrack::testing
