// The flag a deployment's item-group threads set when a title match taught them a new
// process-source path, behind the path-learning lock.
#pragma once

#include <mutex>

namespace keyrack {

class PathLearning {
  public:
    void MarkChanged() {
        std::lock_guard lock(m_lock);
        m_pspChanged = true;
    }
    bool Changed() const {
        std::lock_guard lock(m_lock);
        return m_pspChanged;
    }

  private:
    mutable std::mutex m_lock;  // the path-learning lock
    bool m_pspChanged = false;
};

}  // namespace keyrack
