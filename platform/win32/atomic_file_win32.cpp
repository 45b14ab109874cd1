#include <windows.h>

#include <algorithm>
#include <mutex>

#include "platform/atomic_file.h"
#include "platform/text.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace keyrack {
namespace {

std::mutex& WriteMutex() {
    static std::mutex mutex;
    return mutex;
}

int LastError() { return static_cast<int>(::GetLastError()); }

int WriteTemp(const std::filesystem::path& temp, std::span<const std::uint8_t> bytes) {
    UniqueKernelHandle file = OwnFile(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr,
                                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastError();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t left = bytes.size() - done;
        const DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!::WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr))
            return LastError();
        if (written == 0) return ERROR_WRITE_FAULT;
        done += written;
    }
    if (!::FlushFileBuffers(file.Get())) return LastError();
    return file.Close() ? 0 : LastError();
}

}  // namespace

const ReplaceSteps& SystemReplaceSteps() {
    static const ReplaceSteps steps{
        [](const std::filesystem::path& temp, const std::filesystem::path& target) {
            return ::MoveFileExW(temp.c_str(), target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                       ? 0
                       : LastError();
        },
        [](unsigned ms) { ::Sleep(ms); }};
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
    // Only a file of our own is removed; a directory in its place stays.
    const DWORD attributes = ::GetFileAttributesW(temp.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::DeleteFileW(temp.c_str());
    }
    return {error};
}

std::optional<std::vector<std::uint8_t>> ReadFileShared(const std::filesystem::path& file,
                                                        std::size_t limit) {
    // Shared every way, so that a writer's replace of the file never fails for this reader.
    UniqueKernelHandle handle = OwnFile(::CreateFileW(
        file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    while (bytes.size() < limit) {
        const std::size_t want = std::min(sizeof(buffer), limit - bytes.size());
        DWORD got = 0;
        if (!::ReadFile(handle.Get(), buffer, static_cast<DWORD>(want), &got, nullptr) || got == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

std::u16string SystemErrorText(int code) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string message = length != 0 ? FromWide(std::wstring_view(text, length)) : u"";
    if (text != nullptr) ::LocalFree(text);
    while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' ||
                                message.back() == u' ' || message.back() == u'.'))
        message.pop_back();
    if (message.empty()) message = u"error " + Utf8ToUtf16(std::to_string(code));
    return message;
}

}  // namespace keyrack
