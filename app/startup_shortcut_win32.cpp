#include "app/startup_shortcut_win32.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <algorithm>
#include <cwchar>
#include <memory>

#include "platform/unique_handle.h"
#include "platform/win32/wide.h"

namespace keyrack {
namespace {

using Microsoft::WRL::ComPtr;
using UniqueFind = UniqueHandle<HANDLE, CloseWith<&::FindClose>>;

struct CoTaskMemFreer {
    void operator()(void* memory) const { ::CoTaskMemFree(memory); }
};

std::u16string AsU16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

// FindFirstFileW reports failure as INVALID_HANDLE_VALUE: the owner is empty then.
UniqueFind FindFirst(const std::filesystem::path& pattern, WIN32_FIND_DATAW& found) {
    HANDLE find = ::FindFirstFileW(pattern.c_str(), &found);
    return UniqueFind(find == INVALID_HANDLE_VALUE ? nullptr : find);
}

HRESULT LastError() {
    const DWORD error = ::GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

}  // namespace

ComApartment::ComApartment()
    : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}

ComApartment::~ComApartment() {
    // S_FALSE (already initialised on this thread) is balanced as well; a failure is not.
    if (SUCCEEDED(m_result)) ::CoUninitialize();
}

std::filesystem::path ExecutablePathOfProcess() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::filesystem::path(buffer.substr(0, n));
        buffer.resize(buffer.size() * 2);
    }
}

HRESULT StartupFolder(std::filesystem::path& folder) {
    PWSTR raw = nullptr;
    const HRESULT result = ::SHGetKnownFolderPath(FOLDERID_Startup, KF_FLAG_CREATE, nullptr, &raw);
    const std::unique_ptr<wchar_t, CoTaskMemFreer> path(raw);
    if (SUCCEEDED(result)) folder = path.get();
    return result;
}

HRESULT ReadShortcutTarget(const std::filesystem::path& file, std::u16string& target) {
    ComPtr<IShellLinkW> link;
    HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_PPV_ARGS(link.GetAddressOf()));
    ComPtr<IPersistFile> persist;
    if (SUCCEEDED(result)) result = link.As(&persist);
    if (SUCCEEDED(result)) result = persist->Load(file.c_str(), STGM_READ);
    if (FAILED(result)) return result;
    std::wstring path(32768, L'\0');
    // The item list first: it holds the names in UTF-16, while the link's location block may
    // hold them only in the ANSI code page (Wine writes it so, which turns Hangul into '?').
    PIDLIST_ABSOLUTE rawList = nullptr;
    if (SUCCEEDED(link->GetIDList(&rawList)) && rawList != nullptr) {
        const std::unique_ptr<ITEMIDLIST, CoTaskMemFreer> list(rawList);
        if (::SHGetPathFromIDListEx(list.get(), path.data(), static_cast<DWORD>(path.size()),
                                    GPFIDL_DEFAULT)) {
            target = AsU16(path.c_str());
            return S_OK;
        }
    }
    result = link->GetPath(path.data(), static_cast<int>(path.size()), nullptr, SLGP_RAWPATH);
    if (result != S_OK) return FAILED(result) ? result : E_FAIL;  // S_FALSE: no path
    target = AsU16(path.c_str());
    return S_OK;
}

std::vector<StartupShortcut> ListShortcuts(const std::filesystem::path& folder) {
    std::vector<StartupShortcut> shortcuts;
    WIN32_FIND_DATAW found{};
    const UniqueFind find = FindFirst(folder / L"*.lnk", found);
    if (!find) return shortcuts;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        StartupShortcut shortcut{AsU16(found.cFileName), {}};
        ReadShortcutTarget(folder / found.cFileName, shortcut.target);
        shortcuts.push_back(std::move(shortcut));
    } while (::FindNextFileW(find.Get(), &found));
    return shortcuts;
}

HRESULT WriteShortcut(const std::filesystem::path& folder, const std::u16string& name,
                      const std::filesystem::path& program) {
    ComPtr<IShellLinkW> link;
    HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_PPV_ARGS(link.GetAddressOf()));
    if (SUCCEEDED(result)) result = link->SetPath(program.c_str());
    if (SUCCEEDED(result)) result = link->SetWorkingDirectory(program.parent_path().c_str());
    if (SUCCEEDED(result)) result = link->SetDescription(L"Keyrack");
    ComPtr<IPersistFile> file;
    if (SUCCEEDED(result)) result = link.As(&file);
    if (FAILED(result)) return result;

    const std::filesystem::path target = folder / std::wstring(name.begin(), name.end());
    std::filesystem::path temp = target;
    temp += L".tmp";
    result = file->Save(temp.c_str(), TRUE);
    if (SUCCEEDED(result) && !::MoveFileExW(temp.c_str(), target.c_str(),
                                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        result = LastError();
    }
    if (FAILED(result)) ::DeleteFileW(temp.c_str());
    return result;
}

std::optional<StartupApprovedValue> ReadStartupApproved(const std::wstring& approvals,
                                                        const std::u16string& name) {
    const std::wstring value(name.begin(), name.end());
    DWORD type = REG_NONE;
    std::vector<unsigned char> bytes(64);
    DWORD size = static_cast<DWORD>(bytes.size());
    // A value too long for the buffer fails with ERROR_MORE_DATA: no layout that Windows writes.
    if (::RegGetValueW(HKEY_CURRENT_USER, approvals.c_str(), value.c_str(), RRF_RT_ANY, &type,
                       bytes.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    bytes.resize(size);
    return StartupApprovedValue{type == REG_BINARY, std::move(bytes)};
}

bool StartsWithWindows(const std::filesystem::path& folder, const std::filesystem::path& program,
                       const std::wstring& approvals) {
    const std::vector<std::u16string> ours =
        ShortcutsTo(ListShortcuts(folder), AsU16(program.wstring()));
    return std::any_of(ours.begin(), ours.end(), [&](const std::u16string& name) {
        return !MarkedDisabled(ReadStartupApproved(approvals, name));
    });
}

HRESULT SetStartWithWindows(const std::filesystem::path& folder,
                            const std::filesystem::path& program, bool on,
                            const std::wstring& approvals) {
    const std::vector<StartupShortcut> shortcuts = ListShortcuts(folder);
    std::vector<std::u16string> ours = ShortcutsTo(shortcuts, AsU16(program.wstring()));
    if (on) {
        if (ours.empty()) {
            // Every name in the folder counts, not only shortcuts: the new one replaces nothing.
            std::vector<std::u16string> names;
            WIN32_FIND_DATAW found{};
            const UniqueFind find = FindFirst(folder / L"*", found);
            if (!find) return LastError();
            do names.push_back(AsU16(found.cFileName));
            while (::FindNextFileW(find.Get(), &found));
            ours.push_back(NewShortcutName(names));
            const HRESULT written = WriteShortcut(folder, ours.back(), program);
            if (FAILED(written)) return written;
        }
        // A mark left from an earlier shortcut of the same name would disable the new one.
        HRESULT result = S_OK;
        for (const std::u16string& name : ours) {
            if (!MarkedDisabled(ReadStartupApproved(approvals, name))) continue;
            const std::wstring value(name.begin(), name.end());
            const LSTATUS deleted =
                ::RegDeleteKeyValueW(HKEY_CURRENT_USER, approvals.c_str(), value.c_str());
            if (deleted != ERROR_SUCCESS && SUCCEEDED(result)) result = HRESULT_FROM_WIN32(deleted);
        }
        return result;
    }
    HRESULT result = S_OK;
    for (const std::u16string& name : ours) {
        const std::filesystem::path file = folder / std::wstring(name.begin(), name.end());
        if (!::DeleteFileW(file.c_str()) && SUCCEEDED(result)) result = LastError();
    }
    return result;
}

std::wstring StartupFailureText(bool turningOn, HRESULT result) {
    std::wstring text = turningOn ? L"시작프로그램 폴더에 바로 가기를 만들지 못했습니다."
                                  : L"시작프로그램 폴더의 바로 가기를 지우지 못했습니다.";
    wchar_t* raw = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<LPWSTR>(&raw), 0, nullptr);
    const std::unique_ptr<wchar_t, decltype(&::LocalFree)> reason(raw, &::LocalFree);
    std::wstring why = length > 0 ? std::wstring(reason.get(), length) : L"";
    while (!why.empty() && (why.back() == L'\n' || why.back() == L'\r' || why.back() == L' '))
        why.pop_back();
    wchar_t code[16];
    std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(result));
    text += L"\n\n";
    text += why.empty() ? code : why + L" (" + code + L")";
    return text;
}

bool StartsWithWindows() {
    const ComApartment com;
    std::filesystem::path folder;
    if (!com.Usable() || FAILED(StartupFolder(folder))) return false;
    return StartsWithWindows(folder, ExecutablePathOfProcess());
}

void ToggleStartWithWindows(HWND owner) {
    const ComApartment com;
    std::filesystem::path folder;
    const std::filesystem::path program = ExecutablePathOfProcess();
    bool turningOn = true;
    HRESULT result = com.Usable() ? StartupFolder(folder) : com.Result();
    if (SUCCEEDED(result)) {
        turningOn = !StartsWithWindows(folder, program);
        result = SetStartWithWindows(folder, program, turningOn);
    }
    if (FAILED(result)) {
        ::MessageBoxW(owner, StartupFailureText(turningOn, result).c_str(), L"Keyrack",
                      MB_OK | MB_ICONERROR);
    }
}

}  // namespace keyrack
