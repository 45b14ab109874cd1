#include "app/chord_mailbox.h"

#include <algorithm>

namespace keyrack {

bool ChordMailbox::Offer(int index) {
    {
        std::lock_guard lock(m_mutex);
        if (m_closed || m_handling == index) return false;
        if (std::any_of(m_waiting.begin(), m_waiting.end(),
                        [&](const Chord& chord) { return chord.index == index; }))
            return false;
        m_waiting.push_back({index, m_handling >= 0});
    }
    m_changed.notify_one();
    return true;
}

ChordMailbox::Chord ChordMailbox::Take() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_closed || !m_waiting.empty(); });
    if (m_closed) return {};
    Chord chord = m_waiting.front();
    m_waiting.pop_front();
    m_handling = chord.index;
    return chord;
}

void ChordMailbox::Done() {
    std::lock_guard lock(m_mutex);
    m_handling = -1;
}

void ChordMailbox::Close() {
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_waiting.clear();
    }
    m_changed.notify_all();
}

}  // namespace keyrack
