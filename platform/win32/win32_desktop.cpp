#include "platform/win32/win32_desktop.h"

#include <windows.h>
// After windows.h, which they build on.
#include <dwmapi.h>
#include <objbase.h>
#include <psapi.h>
#include <shellapi.h>

#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/system_function.h"
#include "platform/win32/wide.h"

namespace keyrack {
namespace {

// winerror.h of older SDKs lacks it.
constexpr DWORD kErrorElevationRequired = 740;

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle FromHwnd(HWND window) { return reinterpret_cast<WindowHandle>(window); }
constexpr int kApplicationIconId = 145;
// What the calling thread's last launch started (StartedProcessId).
thread_local DWORD t_startedProcessId = 0;

BOOL CALLBACK VisitWindow(HWND window, LPARAM visit) {
    const auto& callback = *reinterpret_cast<const std::function<bool(WindowHandle)>*>(visit);
    return callback(FromHwnd(window)) ? TRUE : FALSE;
}

}  // namespace

std::filesystem::path ExecutableFolderOfProcess() {
    std::vector<wchar_t> buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size())
            return std::filesystem::path(std::wstring(buffer.data(), n)).parent_path();
        buffer.resize(buffer.size() * 2);
    }
}

IconHandle Win32Desktop::ExtractFileIcon(std::u16string_view path, unsigned index) {
    const std::u16string file(path);
    HICON icon = ::ExtractIconW(GetModuleHandleW(nullptr), AsWide(file), index);
    // ExtractIconW returns 1 when the file is not an executable, icon or library.
    if (icon == reinterpret_cast<HICON>(1)) return 0;
    return reinterpret_cast<IconHandle>(icon);
}

IconHandle Win32Desktop::LoadApplicationIcon() {
    // LoadIconW hands out a shared icon that must not be destroyed; items own theirs, so
    // each gets a copy.
    HICON shared = ::LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kApplicationIconId));
    return shared ? reinterpret_cast<IconHandle>(::CopyIcon(shared)) : 0;
}

void Win32Desktop::DestroyIcon(IconHandle icon) {
    if (icon != 0) ::DestroyIcon(reinterpret_cast<HICON>(icon));
}

bool Win32Desktop::IsExistingFile(std::u16string_view path) {
    const std::u16string text(path);
    const DWORD attributes = ::GetFileAttributesW(AsWide(text));
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::u16string> Win32Desktop::ListSubfolders(std::u16string_view folder) {
    const std::u16string pattern = std::u16string(folder) + u"\\*";
    WIN32_FIND_DATAW found{};
    const HANDLE first = ::FindFirstFileExW(AsWide(pattern), FindExInfoBasic, &found,
                                            FindExSearchLimitToDirectories, nullptr, 0);
    if (first == INVALID_HANDLE_VALUE) return {};
    const UniqueHandle<HANDLE, CloseWith<&::FindClose>> search(first);
    std::vector<std::u16string> names;
    do {
        const std::wstring_view name(found.cFileName);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..")
            names.push_back(FromWide(name));
    } while (::FindNextFileW(search.Get(), &found));
    return names;
}

int Win32Desktop::CompareOrdinalNoCase(std::u16string_view a, std::u16string_view b) {
    const int result = ::CompareStringOrdinal(
        reinterpret_cast<const wchar_t*>(a.data()), static_cast<int>(a.size()),
        reinterpret_cast<const wchar_t*>(b.data()), static_cast<int>(b.size()), TRUE);
    return result - CSTR_EQUAL;
}

void Win32Desktop::EnumWindows(const std::function<bool(WindowHandle)>& visit) {
    ::EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&visit));
}

bool Win32Desktop::IsWindowVisible(WindowHandle window) {
    return ::IsWindowVisible(ToHwnd(window)) != FALSE;
}

std::uint32_t Win32Desktop::GetExStyle(WindowHandle window) {
    return static_cast<std::uint32_t>(::GetWindowLongW(ToHwnd(window), GWL_EXSTYLE));
}

WindowHandle Win32Desktop::GetOwner(WindowHandle window) {
    return FromHwnd(::GetWindow(ToHwnd(window), GW_OWNER));
}

std::uint32_t Win32Desktop::GetWindowThreadProcessId(WindowHandle window,
                                                     std::uint32_t* processId) {
    DWORD pid = 0;
    const DWORD thread = ::GetWindowThreadProcessId(ToHwnd(window), &pid);
    if (processId) *processId = pid;
    return thread;
}

void Win32Desktop::EnumChildWindows(WindowHandle window,
                                    const std::function<bool(WindowHandle)>& visit) {
    ::EnumChildWindows(ToHwnd(window), VisitWindow, reinterpret_cast<LPARAM>(&visit));
}

bool Win32Desktop::IsWindowCloaked(WindowHandle window) {
    // DWMWA_CLOAKED is known since Windows 8; where it is not (or there is no DWM, as
    // under Wine) the call fails and the window counts as shown. dwmapi.dll is not a
    // KnownDLL: it comes from System32, loaded at the first call.
    static const SystemFunction<decltype(&::DwmGetWindowAttribute)> getAttribute(
        L"dwmapi.dll", "DwmGetWindowAttribute");
    if (!getAttribute) return false;
    DWORD cloaked = 0;
    const HRESULT result =
        getAttribute.Get()(ToHwnd(window), DWMWA_CLOAKED, &cloaked, sizeof(cloaked));
    return SUCCEEDED(result) && cloaked != 0;
}

std::u16string Win32Desktop::GetWindowTitle(WindowHandle window, std::size_t capacity) {
    std::vector<wchar_t> buffer(capacity, L'\0');
    const int n = ::GetWindowTextW(ToHwnd(window), buffer.data(), static_cast<int>(capacity));
    return FromWide(std::wstring_view(buffer.data(), n > 0 ? n : 0));
}

std::u16string Win32Desktop::GetWindowClassName(WindowHandle window) {
    wchar_t buffer[256] = {};
    const int n = ::GetClassNameW(ToHwnd(window), buffer, 256);
    return FromWide(std::wstring_view(buffer, n > 0 ? n : 0));
}

bool Win32Desktop::GetWindowRect(WindowHandle window, Rect* rect) {
    RECT r{};
    if (!::GetWindowRect(ToHwnd(window), &r)) return false;
    *rect = Rect{r.left, r.top, r.right, r.bottom};
    return true;
}

bool Win32Desktop::IsIconic(WindowHandle window) { return ::IsIconic(ToHwnd(window)) != FALSE; }
bool Win32Desktop::IsZoomed(WindowHandle window) { return ::IsZoomed(ToHwnd(window)) != FALSE; }
WindowHandle Win32Desktop::GetForegroundWindow() { return FromHwnd(::GetForegroundWindow()); }

bool Win32Desktop::SetForegroundWindow(WindowHandle window) {
    return ::SetForegroundWindow(ToHwnd(window)) != FALSE;
}

bool Win32Desktop::AllowSetForegroundWindow(std::uint32_t processId) {
    return ::AllowSetForegroundWindow(processId) != FALSE;
}

bool Win32Desktop::ShowWindowAsync(WindowHandle window, int command) {
    return ::ShowWindowAsync(ToHwnd(window), command) != FALSE;
}

bool Win32Desktop::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx,
                                int cy, unsigned flags) {
    return ::SetWindowPos(ToHwnd(window), ToHwnd(insertAfter), x, y, cx, cy, flags) != FALSE;
}

bool Win32Desktop::PostWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wParam,
                                     std::intptr_t lParam) {
    return ::PostMessageW(ToHwnd(window), message, wParam, lParam) != FALSE;
}

bool Win32Desktop::SendWindowMessageTimeout(WindowHandle window, unsigned message,
                                            std::uintptr_t wParam, std::intptr_t lParam,
                                            unsigned flags, unsigned timeoutMs,
                                            std::uintptr_t* result) {
    DWORD_PTR answer = 0;
    const LRESULT sent =
        ::SendMessageTimeoutW(ToHwnd(window), message, wParam, lParam, flags, timeoutMs, &answer);
    if (result) *result = answer;
    return sent != 0;
}

ProcessHandle Win32Desktop::OpenProcess(std::uint32_t access, bool inheritHandle,
                                        std::uint32_t processId) {
    return reinterpret_cast<ProcessHandle>(
        ::OpenProcess(access, inheritHandle ? TRUE : FALSE, processId));
}

std::u16string Win32Desktop::GetProcessImagePath(ProcessHandle process, std::size_t capacity) {
    std::vector<wchar_t> buffer(capacity, L'\0');
    const DWORD n = ::K32GetModuleFileNameExW(reinterpret_cast<HANDLE>(process), nullptr,
                                              buffer.data(), static_cast<DWORD>(capacity));
    // A cut path may or may not carry a terminator within the n units: stop at the first NUL.
    const std::wstring_view copied(buffer.data(), n);
    return FromWide(copied.substr(0, copied.find(L'\0')));
}

std::u16string Win32Desktop::QueryProcessImagePath(ProcessHandle process, std::size_t capacity) {
    std::vector<wchar_t> buffer(capacity, L'\0');
    DWORD size = static_cast<DWORD>(capacity);
    if (!::QueryFullProcessImageNameW(reinterpret_cast<HANDLE>(process), 0, buffer.data(), &size))
        return {};
    return FromWide(std::wstring_view(buffer.data(), size));
}

void Win32Desktop::CloseHandle(ProcessHandle handle) {
    if (handle != 0) ::CloseHandle(reinterpret_cast<HANDLE>(handle));
}

std::uint32_t Win32Desktop::GetCurrentProcessId() { return ::GetCurrentProcessId(); }

std::u16string Win32Desktop::GetApplicationUserModelId(ProcessHandle process) {
    // Windows 8 and later; Wine has no package identities. Both are looked up at run time so
    // the program starts where they are missing.
    using PackageCall = LONG(WINAPI*)(HANDLE, UINT32*, PWSTR);
    static const SystemFunction<PackageCall> familyName(L"kernel32.dll", "GetPackageFamilyName");
    static const SystemFunction<PackageCall> modelId(L"kernel32.dll", "GetApplicationUserModelId");
    if (!familyName || !modelId) return {};
    const HANDLE handle = reinterpret_cast<HANDLE>(process);
    wchar_t family[128] = {};
    UINT32 familyLength = 128;
    if (familyName.Get()(handle, &familyLength, family) != ERROR_SUCCESS) return {};
    wchar_t id[256] = {};  // APPLICATION_USER_MODEL_ID_MAX_LENGTH 130
    UINT32 idLength = 256;
    if (modelId.Get()(handle, &idLength, id) != ERROR_SUCCESS) return {};
    return FromWide(std::wstring_view(id));
}

std::uint32_t Win32Desktop::GetProcessIntegrityLevel(ProcessHandle process) {
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(reinterpret_cast<HANDLE>(process), TOKEN_QUERY, &rawToken)) return 0;
    const UniqueKernelHandle token(rawToken);
    DWORD size = 0;
    ::GetTokenInformation(token.Get(), TokenIntegrityLevel, nullptr, 0, &size);
    if (size == 0) return 0;
    std::vector<unsigned char> buffer(size);
    if (!::GetTokenInformation(token.Get(), TokenIntegrityLevel, buffer.data(), size, &size))
        return 0;
    const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
    const UCHAR count = *::GetSidSubAuthorityCount(sid);
    return count == 0 ? 0 : *::GetSidSubAuthority(sid, count - 1);
}

std::uint32_t Win32Desktop::GetLastError() { return ::GetLastError(); }

bool Win32Desktop::ShellExecuteDefault(const ShellLaunch& launch) {
    const std::u16string fileText(launch.file);
    const std::u16string parameterText(launch.parameters);
    const std::u16string directoryText(launch.directory);
    SHELLEXECUTEINFOW info{};
    static_assert(sizeof(info) == 112);
    info.cbSize = sizeof(info);
    // With the process's handle, when the shell started one, for the process's id.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC | SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = reinterpret_cast<HWND>(launch.owner);
    info.lpFile = AsWide(fileText);
    info.lpParameters = AsWide(parameterText);
    info.lpDirectory = directoryText.empty() ? nullptr : AsWide(directoryText);
    info.nShow = launch.show;
    if (launch.monitorOf) {
        const Rect& r = *launch.monitorOf;
        const RECT rect{r.left, r.top, r.right, r.bottom};
        info.fMask |= SEE_MASK_HMONITOR;
        info.hMonitor = ::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
    }
    t_startedProcessId = 0;
    if (!::ShellExecuteExW(&info)) return false;
    const UniqueKernelHandle process(info.hProcess);
    if (process) t_startedProcessId = ::GetProcessId(process.Get());
    return true;
}

StartResult Win32Desktop::CreateProcessAt(const ProcessStart& start) {
    const std::u16string application(start.application);
    // CreateProcessW may write into the command line.
    std::wstring commandLine(start.commandLine.begin(), start.commandLine.end());
    const std::u16string directory(start.directory);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USEPOSITION | STARTF_USESIZE | STARTF_USESHOWWINDOW;
    startup.dwX = static_cast<DWORD>(start.rect.left);
    startup.dwY = static_cast<DWORD>(start.rect.top);
    startup.dwXSize = static_cast<DWORD>(start.rect.Width());
    startup.dwYSize = static_cast<DWORD>(start.rect.Height());
    startup.wShowWindow = static_cast<WORD>(start.show);
    PROCESS_INFORMATION started{};
    t_startedProcessId = 0;
    if (!::CreateProcessW(AsWide(application), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, directory.empty() ? nullptr : AsWide(directory), &startup,
                          &started))
        return ::GetLastError() == kErrorElevationRequired ? StartResult::kElevationRequired
                                                           : StartResult::kFailed;
    const UniqueKernelHandle process(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    t_startedProcessId = started.dwProcessId;
    return StartResult::kStarted;
}

std::uint32_t Win32Desktop::StartedProcessId() { return t_startedProcessId; }

bool Win32Desktop::InitializeComApartment() {
    return SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

void Win32Desktop::UninitializeCom() { ::CoUninitialize(); }

short Win32Desktop::GetKeyState(int virtualKey) { return ::GetKeyState(virtualKey); }
short Win32Desktop::GetAsyncKeyState(int virtualKey) { return ::GetAsyncKeyState(virtualKey); }

bool Win32Desktop::MouseButtonsSwapped() { return ::GetSystemMetrics(SM_SWAPBUTTON) != 0; }
void Win32Desktop::Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

namespace {

Rect FromRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK VisitMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM found) {
    MONITORINFOEXW info{};
    static_assert(sizeof(info) == 104);
    info.cbSize = sizeof(info);
    // A monitor whose information can't be read is left out rather than drawn as an empty
    // rectangle at the origin.
    if (::GetMonitorInfoW(monitor, &info)) {
        const bool primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
        reinterpret_cast<std::vector<MonitorInfo>*>(found)->push_back(
            {FromRect(info.rcMonitor), FromRect(info.rcWork), primary});
    }
    return TRUE;
}

}  // namespace

std::vector<MonitorInfo> Win32Desktop::EnumDisplayMonitors() {
    std::vector<MonitorInfo> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, VisitMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

}  // namespace keyrack
