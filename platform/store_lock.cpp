#include "platform/store_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace keyrack {

// flock() locks belong to the open file description, so two threads of one process, each with
// a descriptor of its own, exclude each other too. A folder that can't be opened is not locked:
// whatever is written into it fails anyway.
StoreLock::StoreLock(const std::filesystem::path& dataFolder)
    : m_handle(::open(dataFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (m_handle < 0) return;
    while (::flock(static_cast<int>(m_handle), LOCK_EX) != 0 && errno == EINTR) {
    }
}

StoreLock::~StoreLock() {
    if (m_handle >= 0) ::close(static_cast<int>(m_handle));
}

}  // namespace keyrack
