// Hands chords from the user-interface thread, which receives them, to the deployment thread,
// which handles them one at a time. A chord pressed while another is handled (a deployment or
// a toggle runs) waits its turn: at most one waits per slot, in the order pressed, and a chord
// for the slot being handled is dropped, as one press acts once. The deployment thread sleeps
// in Take without a time-out, so an idle program runs nothing.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

namespace keyrack {

class ChordMailbox {
  public:
    // A chord taken: its slot index (-1 once the mailbox is closed) and whether it waited
    // while another chord was handled.
    struct Chord {
        int index = -1;
        bool waited = false;
    };

    // Leaves the chord of slot `index` for the deployment thread; false when it is dropped
    // (its slot is handled or waits already, or the mailbox is closed).
    bool Offer(int index);
    // Waits for the next chord, the mailbox busy from then until Done.
    Chord Take();
    // The chord taken last has been handled.
    void Done();
    // Wakes Take for good (the program is leaving); waiting and later chords are dropped.
    void Close();

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Chord> m_waiting;
    int m_handling = -1;
    bool m_closed = false;
};

}  // namespace keyrack
