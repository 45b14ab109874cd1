#include "app/polling_thread.h"

#include "framework/ui_thread.h"

namespace keyrack {

PollingThread::PollingThread() : m_done(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

PollingThread::~PollingThread() {
    RequestStop();
    Join();
}

void PollingThread::Start(std::function<void(const StopRequest& stop)> body) {
    m_thread = std::make_unique<std::thread>([this, body = std::move(body)] {
        body(m_stop);
        SetEvent(m_done.Get());
    });
}

void PollingThread::Join() {
    if (!m_thread) return;
    if (m_thread->joinable()) {
        WaitWhileDispatching(m_done.Get());
        m_thread->join();
    }
    m_thread.reset();
}

}  // namespace keyrack
