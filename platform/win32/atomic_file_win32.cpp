#include <windows.h>

#include <mutex>

#include "platform/atomic_file.h"
#include "platform/win32/handles.h"

namespace keyrack {
namespace {

std::mutex& WriteMutex() {
    static std::mutex mutex;
    return mutex;
}

bool WriteTemp(const std::filesystem::path& temp, std::span<const std::uint8_t> bytes) {
    UniqueKernelHandle file = OwnFile(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr,
                                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t left = bytes.size() - done;
        const DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!::WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr) ||
            written == 0) {
            return false;
        }
        done += written;
    }
    if (!::FlushFileBuffers(file.Get())) return false;
    return file.Close();
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
    std::lock_guard lock(WriteMutex());
    const std::filesystem::path temp = AtomicTempPath(target);
    if (WriteTemp(temp, bytes) &&
        ::MoveFileExW(temp.c_str(), target.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    // Only a file of our own is removed; a directory in its place stays.
    const DWORD attributes = ::GetFileAttributesW(temp.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::DeleteFileW(temp.c_str());
    }
    return false;
}

}  // namespace keyrack
