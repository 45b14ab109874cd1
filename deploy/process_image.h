// The full image path of the process that owns a window.
#pragma once

#include <optional>
#include <string>

#include "platform/desktop.h"

namespace keyrack {

// Owns a process handle opened through the seam and closes it however the scope is left.
class UniqueProcess {
  public:
    UniqueProcess(Desktop& desktop, ProcessHandle handle) : m_desktop(desktop), m_handle(handle) {}
    ~UniqueProcess() {
        if (m_handle != 0) m_desktop.CloseHandle(m_handle);
    }
    UniqueProcess(const UniqueProcess&) = delete;
    UniqueProcess& operator=(const UniqueProcess&) = delete;

    ProcessHandle Get() const { return m_handle; }

  private:
    Desktop& m_desktop;
    ProcessHandle m_handle;
};

// GetWindowThreadProcessId, OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ) and
// K32GetModuleFileNameExW into 260 units. Null when the process can't be opened or the path
// can't be read.
std::optional<std::u16string> ImagePathOfWindow(Desktop& desktop, WindowHandle window);

}  // namespace keyrack
