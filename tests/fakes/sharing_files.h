// Windows' rules for replacing a file someone holds open, over a test folder's real files: a
// handle without FILE_SHARE_DELETE fails the replace with error 5 while it is held, and a
// scanner's brief handle fails the next replaces with the codes given. Pauses are only counted.
#pragma once

#include <set>
#include <vector>

#include "platform/atomic_file.h"

namespace keyrack::testing {

struct SharingFiles {
    int Replace(const std::filesystem::path& temp, const std::filesystem::path& target) {
        if (held.contains(target)) return 5;
        if (!failures.empty()) {
            const int code = failures.front();
            return failures.erase(failures.begin()), code;
        }
        std::error_code ec;
        std::filesystem::rename(temp, target, ec);
        return ec.value();
    }
    std::set<std::filesystem::path> held;
    std::vector<int> failures;  // the codes of the next replaces
    std::vector<unsigned> pauses;
    ReplaceSteps steps{
        [this](const auto& temp, const auto& target) { return Replace(temp, target); },
        [this](unsigned ms) { pauses.push_back(ms); }};
};

}  // namespace keyrack::testing
