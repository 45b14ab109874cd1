#include <windows.h>

#include "platform/store_lock.h"

namespace keyrack {

// One name for the whole session: every Keyrack process and slotfile.exe open the same mutex.
// An abandoned mutex (its holder ended) is ours as well.
StoreLock::StoreLock(const std::filesystem::path& /*dataFolder*/)
    : m_handle(reinterpret_cast<std::intptr_t>(
          ::CreateMutexW(nullptr, FALSE, L"Local\\Keyrack.SlotStore"))) {
    const HANDLE mutex = reinterpret_cast<HANDLE>(m_handle);
    if (mutex == nullptr) return;
    const DWORD waited = ::WaitForSingleObject(mutex, kStoreLockWaitMs);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        ::CloseHandle(mutex);
        m_handle = 0;
    }
}

StoreLock::~StoreLock() {
    const HANDLE mutex = reinterpret_cast<HANDLE>(m_handle);
    if (mutex == nullptr) return;
    ::ReleaseMutex(mutex);
    ::CloseHandle(mutex);
}

}  // namespace keyrack
