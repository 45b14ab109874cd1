// The shortcuts of the user's Startup folder through the shell's link object (IShellLinkW,
// IPersistFile), and Task Manager's marks on them in the registry. Every call needs COM on its
// thread (ComApartment). The folder and the key of the marks are parameters, so tests work in
// a folder and a key of their own; StartupFolder() and kStartupApprovedKey are the real ones.
#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/startup_shortcut.h"

namespace keyrack {

// COM for the calling thread, single-threaded apartment, for the object's life.
class ComApartment {
  public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    HRESULT Result() const { return m_result; }
    // A thread already in the multithreaded apartment can use COM as well.
    bool Usable() const { return SUCCEEDED(m_result) || m_result == RPC_E_CHANGED_MODE; }

  private:
    HRESULT m_result;
};

// The path of the running keyrack.exe.
std::filesystem::path ExecutablePathOfProcess();

// FOLDERID_Startup of the user (SHGetKnownFolderPath).
HRESULT StartupFolder(std::filesystem::path& folder);

// The path a shortcut file points at.
HRESULT ReadShortcutTarget(const std::filesystem::path& file, std::u16string& target);

// Every .lnk of `folder` with its target (empty when it can't be read).
std::vector<StartupShortcut> ListShortcuts(const std::filesystem::path& folder);

// Writes a shortcut to `program` (working folder: the program's own) as `name` in `folder`.
// It is written under a temporary name and then moved into place, so a failure leaves no
// half-written shortcut.
HRESULT WriteShortcut(const std::filesystem::path& folder, const std::u16string& name,
                      const std::filesystem::path& program);

// The key of HKEY_CURRENT_USER whose values mark the Startup folder's shortcuts enabled or
// disabled, each named after its shortcut file.
inline constexpr wchar_t kStartupApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";

// The mark of shortcut `name` under `approvals` (a key of HKEY_CURRENT_USER); none when it is
// missing or longer than any layout Windows writes.
std::optional<StartupApprovedValue> ReadStartupApproved(const std::wstring& approvals,
                                                        const std::u16string& name);

// Starting with Windows in `folder`: on while a shortcut there points at `program` and
// `approvals` does not mark it disabled.
bool StartsWithWindows(const std::filesystem::path& folder, const std::filesystem::path& program,
                       const std::wstring& approvals = kStartupApprovedKey);
// On: creates a shortcut (when there is none) and removes the disabled marks of the shortcuts
// to `program`. Off: removes every shortcut to `program`.
HRESULT SetStartWithWindows(const std::filesystem::path& folder,
                            const std::filesystem::path& program, bool on,
                            const std::wstring& approvals = kStartupApprovedKey);

// The tray menu's command: toggles starting with Windows for this keyrack.exe in the user's
// Startup folder; a failure is shown in a message box owned by `owner`, with its reason.
void ToggleStartWithWindows(HWND owner);
// Whether this keyrack.exe starts with Windows (for the menu's check mark).
bool StartsWithWindows();

// "<what failed>\n\n<the system's text for the error> (0x8007....)".
std::wstring StartupFailureText(bool turningOn, HRESULT result);

}  // namespace keyrack
