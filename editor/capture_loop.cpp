#include "editor/capture_loop.h"

#include <utility>

namespace keyrack {

bool CaptureMailbox::Put(CaptureSample sample) {
    std::lock_guard lock(m_mutex);
    m_samples.push_back(std::move(sample));
    return m_samples.size() == 1;
}

std::vector<CaptureSample> CaptureMailbox::TakeAll() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_samples, {});
}

void RunCaptureLoop(Desktop& desktop, const std::atomic<bool>& running,
                    const MayTakeWindow& mayTake,
                    const std::function<void(CaptureSample)>& handOver) {
    SampleFilter filter;
    while (running.load()) {
        CaptureSample sample = SampleDesktop(desktop, mayTake);
        if (filter.ShouldHandOver(sample)) handOver(std::move(sample));
        desktop.Sleep(1);
    }
}

}  // namespace keyrack
