// Per-monitor DPI awareness for the calling thread for the life of a scope, through the
// desktop seam. The threads that read or apply window rectangles (the deployment thread, item
// groups, the editor's capture, the preview's monitor enumeration) hold one, so slot
// rectangles are physical pixels on monitors of any scale; dialogs keep the process's
// awareness.
#pragma once

#include <cstdint>

#include "platform/desktop.h"

namespace keyrack {

class PerMonitorDpiScope {
  public:
    explicit PerMonitorDpiScope(Desktop& desktop)
        : m_desktop(desktop), m_previous(desktop.UsePerMonitorDpiAwareness()) {}
    ~PerMonitorDpiScope() { m_desktop.RestoreThreadDpiAwareness(m_previous); }
    PerMonitorDpiScope(const PerMonitorDpiScope&) = delete;
    PerMonitorDpiScope& operator=(const PerMonitorDpiScope&) = delete;

  private:
    Desktop& m_desktop;
    std::uintptr_t m_previous;
};

}  // namespace keyrack
