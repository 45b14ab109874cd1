// Where the slot store keeps its files: the data folder beside the executable, so Keyrack
// finds its slots whatever its current directory is.
#pragma once

#include <filesystem>

#include "platform/atomic_file.h"

namespace keyrack {

struct StorePaths {
    std::filesystem::path dataFolder;
    // How the store's files are replaced; null for the system's own way.
    const ReplaceSteps* replace = nullptr;

    static StorePaths BesideExecutable(const std::filesystem::path& executableFolder) {
        return {executableFolder / "data"};
    }
    // Slot index 0..11 lives in the file "<index + 1>.slot".
    std::filesystem::path SlotFile(int index) const {
        return dataFolder / (std::to_string(index + 1) + ".slot");
    }
    std::filesystem::path TableFile() const { return dataFolder / "processsourcepath"; }
    const ReplaceSteps& Steps() const { return replace ? *replace : SystemReplaceSteps(); }
};

}  // namespace keyrack
