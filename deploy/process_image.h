// The full image path of the process that owns a window.
#pragma once

#include <optional>
#include <string>

#include "platform/desktop.h"
#include "platform/seam_handles.h"

namespace keyrack {

// GetWindowThreadProcessId, OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ) and
// K32GetModuleFileNameExW into 260 units. Null when the process can't be opened or the path
// can't be read.
std::optional<std::u16string> ImagePathOfWindow(Desktop& desktop, WindowHandle window);

}  // namespace keyrack
