// Replaces a file as a whole: the bytes go to a temporary file in the same folder, which then
// takes the target's place in one rename. A reader sees either the old file or the new one,
// never a half-written file, and a failure anywhere leaves the old file as it was.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace keyrack {

// The temporary file a write goes through: the target's name with ".tmp" appended.
inline std::filesystem::path AtomicTempPath(const std::filesystem::path& target) {
    std::filesystem::path temp = target;
    temp += ".tmp";
    return temp;
}

// Writes `bytes` to the temporary file, flushes it to disk and moves it over `target`. On
// failure the temporary file is removed and `target` is untouched. Writes within one process
// are serialised, since all of them go through the same temporary names.
bool WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

}  // namespace keyrack
