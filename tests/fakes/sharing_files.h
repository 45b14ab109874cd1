// Windows' rules for replacing a file that someone holds open, over the real files of a test
// folder: a handle opened without FILE_SHARE_DELETE makes the replace of its file fail with
// error 5 for as long as it is held, and a scanner's brief handle fails the next few replaces
// with the code it is given. Pauses pass on a virtual clock.
#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <vector>

#include "platform/atomic_file.h"

namespace keyrack::testing {

class SharingFiles {
  public:
    void Hold(const std::filesystem::path& file) {
        Locked([&] { m_held.insert(file); });
    }
    void Let(const std::filesystem::path& file) {
        Locked([&] { m_held.erase(file); });
    }
    // The next `times` replaces (of any file) fail with `code`.
    void Fail(int code, int times = 1) {
        Locked([&] { m_failures.insert(m_failures.end(), static_cast<std::size_t>(times), code); });
    }
    unsigned Waited() const {
        std::lock_guard lock(m_mutex);
        unsigned total = 0;
        for (unsigned ms : m_pauses) total += ms;
        return total;
    }
    std::vector<unsigned> Pauses() const {
        std::lock_guard lock(m_mutex);
        return m_pauses;
    }
    const ReplaceSteps& Steps() const { return m_steps; }

  private:
    template <typename F>
    void Locked(F f) {
        std::lock_guard lock(m_mutex);
        f();
    }
    int Replace(const std::filesystem::path& temp, const std::filesystem::path& target) {
        std::lock_guard lock(m_mutex);
        if (!m_failures.empty()) {
            const int code = m_failures.front();
            m_failures.erase(m_failures.begin());
            return code;
        }
        if (m_held.contains(target)) return 5;
        std::error_code ec;
        std::filesystem::rename(temp, target, ec);
        return ec.value();
    }

    mutable std::mutex m_mutex;
    std::set<std::filesystem::path> m_held;
    std::vector<int> m_failures;
    std::vector<unsigned> m_pauses;
    ReplaceSteps m_steps{
        [this](const auto& temp, const auto& target) { return Replace(temp, target); },
        [this](unsigned ms) { Locked([&] { m_pauses.push_back(ms); }); }};
};

}  // namespace keyrack::testing
