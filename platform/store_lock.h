// The lock around every read-modify-write of the slot store, shared by every Keyrack process and
// the slotfile tool: on Windows a named mutex, elsewhere a file lock on the data folder. Threads
// of one process exclude each other as well.
#pragma once

#include <cstdint>
#include <filesystem>

namespace keyrack {

class StoreLock {
  public:
    // Waits for the lock (at most kStoreLockWaitMs; a holder that died lets go at once).
    explicit StoreLock(const std::filesystem::path& dataFolder);
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

  private:
    std::intptr_t m_handle;
};

// A holder that stays longer than this is taken for stuck, and the store is used without it.
inline constexpr unsigned kStoreLockWaitMs = 10000;

}  // namespace keyrack
