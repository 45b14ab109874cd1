// The status lines of the deployment in progress: one nullable entry per item-group thread,
// guarded by the status lock. The indicator shows the non-null entries, one per line.
#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace keyrack {

class WorkerStatusList {
  public:
    // Appends an empty entry and returns its index (the thread's status index).
    std::size_t Append() {
        std::lock_guard lock(m_mutex);
        m_entries.emplace_back(std::u16string());
        return m_entries.size() - 1;
    }
    // Replaces the text of an entry; dropped when the entry is null or out of range.
    void Publish(std::size_t index, std::u16string text) {
        std::lock_guard lock(m_mutex);
        if (index < m_entries.size() && m_entries[index]) {
            *m_entries[index] = std::move(text);
            if (m_listener) m_listener(index, *m_entries[index]);
        }
    }
    // Called under the status lock with every text stored by Publish (tests watch the lines
    // that are replaced before anyone could read them). It must not use the list.
    void SetListener(std::function<void(std::size_t, const std::u16string&)> listener) {
        std::lock_guard lock(m_mutex);
        m_listener = std::move(listener);
    }
    // The entry becomes null; the list keeps its length.
    void Remove(std::size_t index) {
        std::lock_guard lock(m_mutex);
        if (index < m_entries.size()) m_entries[index].reset();
    }
    // Deletes every entry and frees the storage.
    void Clear() {
        std::lock_guard lock(m_mutex);
        std::vector<std::optional<std::u16string>>().swap(m_entries);
    }
    // The texts of the non-null entries, each followed by a line feed.
    std::u16string JoinedLines() const {
        std::lock_guard lock(m_mutex);
        std::u16string out;
        for (const auto& entry : m_entries) {
            if (entry && !entry->empty()) {
                out += *entry;
                out += u'\n';
            }
        }
        return out;
    }
    std::vector<std::optional<std::u16string>> Snapshot() const {
        std::lock_guard lock(m_mutex);
        return m_entries;
    }

  private:
    mutable std::mutex m_mutex;  // the status lock
    std::vector<std::optional<std::u16string>> m_entries;
    std::function<void(std::size_t, const std::u16string&)> m_listener;
};

// The process-wide list of the deployment in progress, shown by the indicator.
WorkerStatusList& workerStatusList();

}  // namespace keyrack
