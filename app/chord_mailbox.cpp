#include "app/chord_mailbox.h"

namespace keyrack {

bool ChordMailbox::Offer(int index) {
    {
        std::lock_guard lock(m_mutex);
        if (m_closed || m_handling || m_pending >= 0) return false;
        m_pending = index;
    }
    m_changed.notify_one();
    return true;
}

int ChordMailbox::Take() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_closed || m_pending >= 0; });
    if (m_closed) return -1;
    const int index = m_pending;
    m_pending = -1;
    m_handling = true;
    return index;
}

void ChordMailbox::Done() {
    std::lock_guard lock(m_mutex);
    m_handling = false;
}

void ChordMailbox::Close() {
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_pending = -1;
    }
    m_changed.notify_all();
}

}  // namespace keyrack
