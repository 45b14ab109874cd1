#include "platform/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <system_error>

namespace keyrack {
namespace {

std::mutex& WriteMutex() {
    static std::mutex mutex;
    return mutex;
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteTemp(const std::filesystem::path& temp, std::span<const std::uint8_t> bytes) {
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    return ok;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
    std::lock_guard lock(WriteMutex());
    const std::filesystem::path temp = AtomicTempPath(target);
    std::error_code ec;
    if (WriteTemp(temp, bytes)) {
        std::filesystem::rename(temp, target, ec);
        if (!ec) return true;
    }
    // Only a file of our own is removed; a directory or the like in its place stays.
    if (!std::filesystem::is_directory(std::filesystem::symlink_status(temp, ec))) {
        std::filesystem::remove(temp, ec);
    }
    return false;
}

}  // namespace keyrack
