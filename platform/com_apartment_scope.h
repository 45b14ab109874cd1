// A single-threaded COM apartment for the calling thread for the life of a scope, through the
// desktop seam: the shell's execute may hand a launch to COM handlers (documents opened by
// DelegateExecute handlers, shell: and ms-settings: targets), which need one.
#pragma once

#include "platform/desktop.h"

namespace keyrack {

class ComApartmentScope {
  public:
    explicit ComApartmentScope(Desktop& desktop)
        : m_desktop(desktop), m_initialised(desktop.InitializeComApartment()) {}
    ~ComApartmentScope() {
        if (m_initialised) m_desktop.UninitializeCom();
    }
    ComApartmentScope(const ComApartmentScope&) = delete;
    ComApartmentScope& operator=(const ComApartmentScope&) = delete;

  private:
    Desktop& m_desktop;
    bool m_initialised;
};

}  // namespace keyrack
