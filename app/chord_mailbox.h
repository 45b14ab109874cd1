// Hands chords from the user-interface thread, which receives them, to the deployment thread,
// which handles them. It holds at most one: a chord offered while another waits or is being
// handled (a deployment or a toggle runs) is dropped. The deployment thread sleeps in Take
// without a time-out, so an idle program runs nothing.
#pragma once

#include <condition_variable>
#include <mutex>

namespace keyrack {

class ChordMailbox {
  public:
    // Leaves the chord of slot `index` for the deployment thread; false when it is dropped
    // (busy, or closed).
    bool Offer(int index);
    // Waits for the next chord and returns its slot index, the mailbox busy from then until
    // Done; -1 once the mailbox is closed.
    int Take();
    // The chord taken last has been handled: the next one is accepted.
    void Done();
    // Wakes Take for good (the program is leaving); later offers are dropped.
    void Close();

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_pending = -1;
    bool m_handling = false;
    bool m_closed = false;
};

}  // namespace keyrack
