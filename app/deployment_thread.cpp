#include "app/deployment_thread.h"

#include "framework/ui_thread.h"
#include "platform/crash_report.h"

namespace keyrack {

DeploymentThread::DeploymentThread() : m_done(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

DeploymentThread::~DeploymentThread() {
    RequestStop();
    Join();
}

void DeploymentThread::Start(Body body) {
    m_thread = std::make_unique<std::thread>([this, body = std::move(body)] {
        RunReportingEscapes([&] { body(m_stop, m_chords); });
        SetEvent(m_done.Get());
    });
}

void DeploymentThread::RequestStop() {
    m_stop.Request();
    m_chords.Close();
}

bool DeploymentThread::Join(DWORD timeoutMs) {
    if (!m_thread) return true;
    if (m_thread->joinable()) {
        if (!WaitWhileDispatching(m_done.Get(), Serve::kAllMessages, timeoutMs)) return false;
        m_thread->join();
    }
    m_thread.reset();
    return true;
}

}  // namespace keyrack
