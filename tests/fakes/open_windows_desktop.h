// A desktop of window handles only: every non-zero handle names an open window until the test
// closes it. For the code that decides by the window lists of open slots.
#pragma once

#include <mutex>
#include <set>

#include "platform/null_desktop.h"

namespace keyrack::testing {

class OpenWindowsDesktop : public NullDesktop {
  public:
    void Close(WindowHandle window) {
        std::lock_guard lock(m_mutex);
        m_closed.insert(window);
    }
    std::uint32_t GetWindowThreadProcessId(WindowHandle window, std::uint32_t* processId) override {
        std::lock_guard lock(m_mutex);
        const bool open = window != 0 && m_closed.count(window) == 0;
        if (processId) *processId = open ? 1 : 0;
        return open ? 1 : 0;
    }

  private:
    std::mutex m_mutex;
    std::set<WindowHandle> m_closed;
};

}  // namespace keyrack::testing
