// The shortcuts of the user's Startup folder through the shell's link object (IShellLinkW,
// IPersistFile). Every call needs COM on its thread (ComApartment). The folder is a parameter,
// so tests work in a folder of their own; StartupFolder() is the real one.
#pragma once

#include <windows.h>

#include <filesystem>
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

// Starting with Windows in `folder`: on while a shortcut there points at `program`.
bool StartsWithWindows(const std::filesystem::path& folder, const std::filesystem::path& program);
// Creates a shortcut (when there is none) or removes every shortcut to `program`.
HRESULT SetStartWithWindows(const std::filesystem::path& folder,
                            const std::filesystem::path& program, bool on);

// The tray menu's command: toggles starting with Windows for this keyrack.exe in the user's
// Startup folder; a failure is shown in a message box owned by `owner`, with its reason.
void ToggleStartWithWindows(HWND owner);
// Whether this keyrack.exe starts with Windows (for the menu's check mark).
bool StartsWithWindows();

// "<what failed>\n\n<the system's text for the error> (0x8007....)".
std::wstring StartupFailureText(bool turningOn, HRESULT result);

}  // namespace keyrack
