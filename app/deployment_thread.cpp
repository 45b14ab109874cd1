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

void DeploymentThread::Join() {
    if (!m_thread) return;
    if (m_thread->joinable()) {
        WaitWhileDispatching(m_done.Get());
        m_thread->join();
    }
    m_thread.reset();
}

}  // namespace keyrack
