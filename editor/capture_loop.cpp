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

}  // namespace keyrack
