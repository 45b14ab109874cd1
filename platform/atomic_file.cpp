#include "platform/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/text.h"

namespace keyrack {
namespace {

std::mutex& WriteMutex() {
    static std::mutex mutex;
    return mutex;
}

int WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int WriteTemp(const std::filesystem::path& temp, std::span<const std::uint8_t> bytes) {
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return errno;
    int error = WriteAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    return error;
}

}  // namespace

const ReplaceSteps& SystemReplaceSteps() {
    static const ReplaceSteps steps{
        [](const std::filesystem::path& temp, const std::filesystem::path& target) {
            std::error_code ec;
            std::filesystem::rename(temp, target, ec);
            return ec.value();
        },
        [](unsigned ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }};
    return steps;
}

WriteOutcome WriteFileAtomically(const std::filesystem::path& target,
                                 std::span<const std::uint8_t> bytes, const ReplaceSteps& steps) {
    std::lock_guard lock(WriteMutex());
    const std::filesystem::path temp = AtomicTempPath(target);
    int error = WriteTemp(temp, bytes);
    if (error == 0) {
        error = ReplaceWithRetry([&] { return steps.replace(temp, target); }, steps.pause);
        if (error == 0) return {};
    }
    // Only a file of our own is removed; a directory or the like in its place stays.
    std::error_code ec;
    if (!std::filesystem::is_directory(std::filesystem::symlink_status(temp, ec))) {
        std::filesystem::remove(temp, ec);
    }
    return {error};
}

std::optional<std::vector<std::uint8_t>> ReadFileShared(const std::filesystem::path& file,
                                                        std::size_t limit) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    char buffer[65536];
    while (bytes.size() < limit && in) {
        const std::size_t want = std::min(sizeof(buffer), limit - bytes.size());
        in.read(buffer, static_cast<std::streamsize>(want));
        bytes.insert(bytes.end(), buffer, buffer + in.gcount());
    }
    return bytes;
}

std::u16string SystemErrorText(int code) { return Utf8ToUtf16(std::strerror(code)); }

}  // namespace keyrack
