// A test probe that looks at the desktop from outside Keyrack's process.
//
//   probe windows   one JSON object per top-level window, in Z order: handle, class, title,
//                   rectangle, visible, iconic, zoomed, owner, extended style, pid, image path;
//                   for windows of keyrack.exe also the child controls with id, class and text.
//                   A visible tooltip (the shell's balloons) has its text as "tip".
//   probe tray      one JSON object per Keyrack main window (a dialog of a keyrack.exe process)
//                   telling whether the shell holds a tray icon with id 145 for it.
//   probe foreground  the foreground window's handle.
//   probe explorer-restart  what a restarted Explorer means to tray programs: every Keyrack
//                   tray icon is gone (NIM_DELETE), then "TaskbarCreated" is broadcast.
//   probe link FILE what a shortcut file points at: target path and working folder, read
//                   back through the shell's link object.
//   probe first-shown SECONDS TITLE...  every top-level window that appears after the start
//                   and becomes visible with a title containing one of TITLE...: one JSON
//                   object (title, rectangle, zoomed) as soon as it is first seen visible,
//                   looked for without pause for at most SECONDS; "ready" once the windows
//                   open at the start are known.
//   probe watch ID... the texts of these controls of Keyrack's open editor, looked at every
//                   10 ms: one JSON array at the start and again each time one changed, so a
//                   reader stamping the lines as they come times a change to about 10 ms.
// Everything is UTF-8 on standard output.
#include <windows.h>

#include <objbase.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::string Json(const std::wstring& text) {
    std::string out = "\"";
    for (const char c : Utf8(text)) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
            out += buffer;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::wstring ClassOf(HWND window) {
    wchar_t buffer[256] = {};
    GetClassNameW(window, buffer, 256);
    return buffer;
}

std::wstring TextOf(HWND window) {
    // WM_GETTEXT is marshalled between processes, so child controls of another process answer.
    wchar_t buffer[1024] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 500, nullptr);
    return buffer;
}

std::wstring ImageOf(DWORD pid) {
    std::wstring path;
    if (HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid)) {
        wchar_t buffer[MAX_PATH] = {};
        if (K32GetModuleFileNameExW(process, nullptr, buffer, MAX_PATH) > 0) path = buffer;
        CloseHandle(process);
    }
    return path;
}

bool IsKeyrackImage(const std::wstring& image) {
    const std::wstring tail = L"\\keyrack.exe";
    if (image.size() < tail.size()) return false;
    return _wcsicmp(image.c_str() + image.size() - tail.size(), tail.c_str()) == 0;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND window, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string Handle(HWND window) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%llu",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
    return buffer;
}

std::string Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    std::string out = "[";
    // Every descendant: the editor's panels hold most of its controls.
    for (HWND child : children) {
        if (out.size() > 1) out += ',';
        RECT r{};
        GetWindowRect(child, &r);
        char head[160];
        std::snprintf(head, sizeof head, "{\"id\":%d,\"visible\":%s,\"rect\":[%ld,%ld,%ld,%ld],",
                      GetDlgCtrlID(child), IsWindowVisible(child) ? "true" : "false", r.left, r.top,
                      r.right, r.bottom);
        out += head;
        out += "\"class\":" + Json(ClassOf(child)) + ",\"text\":" + Json(TextOf(child));
        // Entries of a list view (LVM_GETITEMCOUNT), check state of a button (BM_GETCHECK).
        const std::wstring kind = ClassOf(child);
        const LRESULT count = kind == L"SysListView32" ? SendMessageW(child, 0x1004, 0, 0) : 0;
        const LRESULT checked = kind == L"Button" ? SendMessageW(child, BM_GETCHECK, 0, 0) : 0;
        out +=
            ",\"count\":" + std::to_string(count) + ",\"checked\":" + std::to_string(checked) + "}";
    }
    return out + "]";
}

int ListWindows() {
    for (HWND window : TopLevelWindows()) {
        RECT r{};
        GetWindowRect(window, &r);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        const std::wstring image = ImageOf(pid);
        wchar_t title[512] = {};
        GetWindowTextW(window, title, 512);
        char numbers[400];
        std::snprintf(numbers, sizeof numbers,
                      "\"rect\":[%ld,%ld,%ld,%ld],\"visible\":%s,\"iconic\":%s,\"zoomed\":%s,"
                      "\"exstyle\":%lu,\"owner\":%s,\"pid\":%lu,",
                      r.left, r.top, r.right, r.bottom, IsWindowVisible(window) ? "true" : "false",
                      IsIconic(window) ? "true" : "false", IsZoomed(window) ? "true" : "false",
                      static_cast<unsigned long>(GetWindowLongW(window, GWL_EXSTYLE)),
                      Handle(GetWindow(window, GW_OWNER)).c_str(), static_cast<unsigned long>(pid));
        std::string line = "{\"hwnd\":" + Handle(window) + ",\"class\":" + Json(ClassOf(window)) +
                           ",\"title\":" + Json(title) + "," + numbers + "\"image\":" + Json(image);
        if (IsKeyrackImage(image)) line += ",\"children\":" + Children(window);
        if (ClassOf(window) == L"tooltips_class32" && IsWindowVisible(window))
            line += ",\"tip\":" + Json(TextOf(window));
        std::printf("%s}\n", line.c_str());
    }
    return 0;
}

struct KeyrackDialog {
    HWND window;
    DWORD pid;
};

// The dialogs of Keyrack's processes: the hidden main window that owns the tray icon is one.
std::vector<KeyrackDialog> KeyrackDialogs() {
    std::vector<KeyrackDialog> dialogs;
    for (HWND window : TopLevelWindows()) {
        if (ClassOf(window) != L"#32770") continue;
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (IsKeyrackImage(ImageOf(pid))) dialogs.push_back({window, pid});
    }
    return dialogs;
}

NOTIFYICONDATAW TrayIconOf(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 145;
    return data;
}

// NIM_MODIFY with no flags changes nothing and succeeds only when the shell holds an icon with
// this window and id, so it tells from outside whether Keyrack's tray icon exists.
int ListTrayIcons() {
    for (const auto& [window, pid] : KeyrackDialogs()) {
        NOTIFYICONDATAW data = TrayIconOf(window);
        const bool present = Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
        wchar_t title[256] = {};
        GetWindowTextW(window, title, 256);
        std::printf("{\"hwnd\":%s,\"pid\":%lu,\"visible\":%s,\"title\":%s,\"icon\":%s}\n",
                    Handle(window).c_str(), static_cast<unsigned long>(pid),
                    IsWindowVisible(window) ? "true" : "false", Json(title).c_str(),
                    present ? "true" : "false");
    }
    return 0;
}

// The shell forgets the icons, as when Explorer ends, and the new taskbar announces itself.
int RestartExplorer() {
    int dropped = 0;
    for (const auto& dialog : KeyrackDialogs()) {
        NOTIFYICONDATAW data = TrayIconOf(dialog.window);
        if (Shell_NotifyIconW(NIM_DELETE, &data)) ++dropped;
    }
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0,
                        SMTO_ABORTIFHUNG, 2000, &ignored);
    std::printf("{\"dropped\":%d}\n", dropped);
    return 0;
}

int ReadLink(const wchar_t* file) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    IShellLinkW* link = nullptr;
    IPersistFile* persist = nullptr;
    wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {};
    bool read =
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(file, STGM_READ));
    PIDLIST_ABSOLUTE list = nullptr;
    read = read && SUCCEEDED(link->GetIDList(&list)) && SHGetPathFromIDListW(list, target) &&
           SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH));
    CoTaskMemFree(list);
    if (persist != nullptr) persist->Release();
    if (link != nullptr) link->Release();
    CoUninitialize();
    if (!read) return 1;
    std::printf("{\"target\":%s,\"folder\":%s}\n", Json(target).c_str(), Json(folder).c_str());
    return 0;
}

}  // namespace

// The control with this id anywhere below `parent` (a panel may hold it), or null.
HWND Descendant(HWND parent, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(child) != s->id) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The visible dialog of a keyrack.exe process that holds a control with this id.
HWND KeyrackDialogWith(int id) {
    for (HWND window : TopLevelWindows()) {
        if (!IsWindowVisible(window) || ClassOf(window) != L"#32770" ||
            Descendant(window, id) == nullptr)
            continue;
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (IsKeyrackImage(ImageOf(pid))) return window;
    }
    return nullptr;
}

int WatchEditor(const std::vector<int>& ids) {
    HWND editor = nullptr;
    std::string shown;
    for (;; Sleep(10)) {
        if (editor == nullptr || !IsWindow(editor)) editor = KeyrackDialogWith(ids.front());
        std::string now = "[";
        for (int id : ids) {
            if (now.size() > 1) now += ',';
            now += editor != nullptr ? Json(TextOf(Descendant(editor, id))) : "null";
        }
        now += "]";
        if (now != shown) {
            std::printf("%s\n", now.c_str());
            std::fflush(stdout);
            shown = std::move(now);
        }
    }
}

int FirstShown(int seconds, const std::vector<std::wstring>& titles) {
    std::vector<HWND> known = TopLevelWindows();
    std::printf("ready\n");
    std::fflush(stdout);
    const ULONGLONG end = GetTickCount64() + 1000ull * static_cast<ULONGLONG>(seconds);
    std::size_t left = titles.size();
    while (left > 0 && GetTickCount64() < end) {
        for (HWND window : TopLevelWindows()) {
            if (!IsWindowVisible(window) ||
                std::find(known.begin(), known.end(), window) != known.end())
                continue;
            wchar_t title[512] = {};
            GetWindowTextW(window, title, 512);
            const std::wstring text(title);
            const bool wanted = std::any_of(titles.begin(), titles.end(), [&](const auto& part) {
                return text.find(part) != std::wstring::npos;
            });
            if (!wanted) continue;
            known.push_back(window);
            RECT r{};
            GetWindowRect(window, &r);
            std::printf("{\"title\":%s,\"rect\":[%ld,%ld,%ld,%ld],\"zoomed\":%s}\n",
                        Json(text).c_str(), r.left, r.top, r.right, r.bottom,
                        IsZoomed(window) ? "true" : "false");
            std::fflush(stdout);
            --left;
        }
    }
    return 0;
}

// Holds FILE open for reading, shared for reading only, until a line comes on standard input.
int HoldFile(const wchar_t* file) {
    const HANDLE held = CreateFileW(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 1;
    std::printf("held\n"), std::fflush(stdout), std::getchar();
    return CloseHandle(held) ? 0 : 1;
}

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"windows";
    if (command == L"windows") return ListWindows();
    if (command == L"tray") return ListTrayIcons();
    if (command == L"explorer-restart") return RestartExplorer();
    if (command == L"link" && argc > 2) return ReadLink(argv[2]);
    if (command == L"hold" && argc > 2) return HoldFile(argv[2]);
    if (command == L"watch" && argc > 2) {
        std::vector<int> ids;
        for (int i = 2; i < argc; ++i) ids.push_back(_wtoi(argv[i]));
        return WatchEditor(ids);
    }
    if (command == L"first-shown" && argc > 3)
        return FirstShown(_wtoi(argv[2]), std::vector<std::wstring>(argv + 3, argv + argc));
    if (command == L"foreground") {
        std::printf("%s\n", Handle(GetForegroundWindow()).c_str());
        return 0;
    }
    std::fprintf(stderr,
                 "usage: probe windows | tray | foreground | explorer-restart | link FILE | "
                 "hold FILE | watch ID... | first-shown SECONDS TITLE...\n");
    return 2;
}
