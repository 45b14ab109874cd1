// Watching for new top-level windows on the calling thread for the life of a scope, through
// the desktop seam: the thread's waits end as soon as a window appears.
#pragma once

#include "platform/desktop.h"

namespace keyrack {

class NewWindowWatch {
  public:
    explicit NewWindowWatch(Desktop& desktop) : m_desktop(desktop) {
        desktop.WatchNewWindows(true);
    }
    ~NewWindowWatch() { m_desktop.WatchNewWindows(false); }
    NewWindowWatch(const NewWindowWatch&) = delete;
    NewWindowWatch& operator=(const NewWindowWatch&) = delete;

  private:
    Desktop& m_desktop;
};

}  // namespace keyrack
