// The full image path of the program that owns a window, as the window search, the pre-scan
// and the editor's capture read it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/desktop.h"
#include "platform/seam_handles.h"

namespace keyrack {

struct WindowImage {
    // The process that owns the window itself (0 when the window is gone).
    std::uint32_t processId = 0;
    // Null when no path could be read.
    std::optional<std::u16string> path;
    // The path is that of a child window's process (a Store app's frame), which may come or
    // change while the frame stays; it says nothing lasting about the frame's own process.
    bool fromChild = false;
    // The process whose path it is (the hosted app's for a frame); 0 when none.
    std::uint32_t imageProcessId = 0;
};

// GetWindowThreadProcessId, OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ) and
// K32GetModuleFileNameExW into 260 units. Where that open is refused (an elevated or protected
// process), OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION) and QueryFullProcessImageNameW.
// For a frame of ApplicationFrameHost.exe (class ApplicationFrameWindow) the path is that of
// the first child window whose process differs from the frame's; null while there is none.
WindowImage ReadWindowImage(Desktop& desktop, WindowHandle window);

// "shell:AppsFolder\<AUMID>" for a process with a package identity, which is how Windows
// launches a packaged app (its image path is not for launching); empty for any other.
std::u16string AppsFolderTarget(Desktop& desktop, std::uint32_t processId);

// The path alone of ReadWindowImage.
std::optional<std::u16string> ImagePathOfWindow(Desktop& desktop, WindowHandle window);

}  // namespace keyrack
