// Replaces a file as a whole: the bytes go to a temporary file in the same folder, which then
// takes the target's place in one rename. A reader sees either the old file or the new one,
// never a half-written file, and a failure anywhere leaves the old file as it was. Readers open
// files so that they never stand in a writer's way: shared for reading, writing and deleting.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace keyrack {

// The temporary file a write goes through: the target's name with ".tmp" appended.
inline std::filesystem::path AtomicTempPath(const std::filesystem::path& target) {
    std::filesystem::path temp = target;
    temp += ".tmp";
    return temp;
}

// The outcome of a write: 0 or the system's error code of the step that failed (a Win32 error
// code on Windows, errno elsewhere). True when the file was written.
struct WriteOutcome {
    int error = 0;
    explicit operator bool() const { return error == 0; }
};

// The steps a write takes that another process can refuse: the rename of the temporary file over
// the target (0 or an error code) and the pause between two tries. Tests put a file system with
// Windows' sharing rules and a virtual clock in their place.
struct ReplaceSteps {
    std::function<int(const std::filesystem::path& temp, const std::filesystem::path& target)>
        replace;
    std::function<void(unsigned ms)> pause;
};
const ReplaceSteps& SystemReplaceSteps();

// How long a refused replace is tried again, and its pauses: 50 ms doubling up to 800 ms.
inline constexpr unsigned kReplaceRetryMs = 2000;
inline constexpr unsigned kReplaceFirstPauseMs = 50;
inline constexpr unsigned kReplaceLongestPauseMs = 800;
// Sharing violation, lock violation and access denied: what a reader or a scanner holding the
// target open (without sharing delete) makes a rename fail with, for as long as it holds it.
inline bool IsTransientReplaceError(int code) { return code == 5 || code == 32 || code == 33; }
// Runs `replace` until it succeeds, fails otherwise than transiently, or kReplaceRetryMs of
// pauses have passed; returns its last result.
int ReplaceWithRetry(const std::function<int()>& replace,
                     const std::function<void(unsigned)>& pause);

// Writes `bytes` to the temporary file, flushes it to disk and moves it over `target`, retrying a
// refused move. On failure the temporary file is removed and `target` is untouched. Writes within
// one process are serialised, since all of them go through the same temporary names.
WriteOutcome WriteFileAtomically(const std::filesystem::path& target,
                                 std::span<const std::uint8_t> bytes,
                                 const ReplaceSteps& steps = SystemReplaceSteps());

// The file's first `limit` bytes; null when it can't be opened.
std::optional<std::vector<std::uint8_t>> ReadFileShared(const std::filesystem::path& file,
                                                        std::size_t limit = SIZE_MAX);

// The system's own text for an error code of WriteOutcome, without a trailing line break.
std::u16string SystemErrorText(int code);

}  // namespace keyrack
