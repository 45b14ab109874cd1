// Starting Keyrack with Windows: a shortcut to keyrack.exe in the user's Startup folder, made
// and removed from the tray menu. Windows skips a shortcut that Task Manager's Startup page
// disabled, marked by a value of the StartupApproved key named after the shortcut file; turning
// the option on removes that mark. This half holds the rules (which shortcuts are Keyrack's,
// what a new one is called, what a mark means, where the entry goes in the menu);
// startup_shortcut_win32 reads and writes the shortcuts and the marks.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/tray_menu.h"

namespace keyrack {

inline constexpr unsigned kIdTrayStartup = 102;

// A shortcut file of the Startup folder and the path it points at (empty when unreadable).
struct StartupShortcut {
    std::u16string fileName;
    std::u16string target;
};

// Whether two Windows paths name the same file: ASCII case folded, '/' taken as '\', and
// repeated or trailing separators ignored.
bool SameWindowsPath(std::u16string_view a, std::u16string_view b);

// The file names of the shortcuts that point at `program`.
std::vector<std::u16string> ShortcutsTo(const std::vector<StartupShortcut>& shortcuts,
                                        std::u16string_view program);

// A StartupApproved value as read: whether it is REG_BINARY, and its bytes.
struct StartupApprovedValue {
    bool binary = false;
    std::vector<unsigned char> bytes;
};

// Whether the value (none when missing) marks its shortcut disabled. Its layout is not
// documented: Windows writes 12 bytes, the first one odd for disabled, even for enabled. Any
// other type or length counts as enabled, so an unknown layout never hides a working option.
bool MarkedDisabled(const std::optional<StartupApprovedValue>& value);

// The name for a new shortcut: "Keyrack.lnk", else "Keyrack (2).lnk", "Keyrack (3).lnk", ...
// the first that no file of the folder has (names compared ignoring ASCII case).
std::u16string NewShortcutName(const std::vector<std::u16string>& namesInFolder);

// Puts "Windows 시작 시 실행" (checked while Keyrack starts with Windows) just above the About
// entry, or at the end of the menu when it has none.
void AddStartupEntry(TrayMenuModel& model, bool checked);

}  // namespace keyrack
