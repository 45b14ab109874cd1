// Shared helpers of the slot store tests: a temporary data folder per test, whole-file reads
// and writes, and a desktop that hands out distinct icons and counts what happens to them.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/null_desktop.h"
#include "slots/store_paths.h"

namespace keyrack::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
  public:
    TempFolder() {
        std::random_device random;
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string tag = test ? std::string(test->test_suite_name()) + "-" + test->name() : "x";
        for (char& c : tag) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '-';
        }
        m_path = std::filesystem::temp_directory_path() /
                 ("keyrack-" + tag + "-" + std::to_string(random()));
        std::filesystem::create_directories(m_path);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& Path() const { return m_path; }
    StorePaths Store() const { return StorePaths{m_path}; }

  private:
    std::filesystem::path m_path;
};

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Icons: every extraction from a non-empty path that is not listed in `pathsWithoutIcon`
// yields a new handle (1000, 1001, ...); the application icon is a new handle each time
// (5000, 5001, ...). Destruction is counted per handle.
class IconCountingDesktop : public NullDesktop {
  public:
    IconHandle ExtractFileIcon(std::u16string_view path, unsigned index) override {
        std::lock_guard lock(m_mutex);
        extractions.push_back({std::u16string(path), index});
        if (path.empty() || pathsWithoutIcon.count(std::u16string(path)) > 0) return 0;
        const IconHandle icon = m_nextFileIcon++;
        created.insert(icon);
        return icon;
    }
    IconHandle LoadApplicationIcon() override {
        std::lock_guard lock(m_mutex);
        const IconHandle icon = m_nextAppIcon++;
        created.insert(icon);
        return icon;
    }
    void DestroyIcon(IconHandle icon) override {
        std::lock_guard lock(m_mutex);
        ++destroyed[icon];
    }
    static bool IsApplicationIcon(IconHandle icon) { return icon >= 5000; }

    // Every icon handed out was destroyed exactly once, and nothing else was destroyed.
    ::testing::AssertionResult AllDestroyedOnce() {
        std::lock_guard lock(m_mutex);
        for (IconHandle icon : created) {
            const auto found = destroyed.find(icon);
            if (found == destroyed.end()) {
                return ::testing::AssertionFailure() << "icon " << icon << " never destroyed";
            }
            if (found->second != 1) {
                return ::testing::AssertionFailure()
                       << "icon " << icon << " destroyed " << found->second << " times";
            }
        }
        for (const auto& [icon, times] : destroyed) {
            if (created.count(icon) == 0) {
                return ::testing::AssertionFailure() << "foreign icon " << icon << " destroyed";
            }
        }
        return ::testing::AssertionSuccess();
    }
    std::size_t DestroyedCount() {
        std::lock_guard lock(m_mutex);
        std::size_t n = 0;
        for (const auto& [icon, times] : destroyed) n += static_cast<std::size_t>(times);
        return n;
    }

    struct Extraction {
        std::u16string path;
        unsigned index;
    };
    std::vector<Extraction> extractions;
    std::set<std::u16string> pathsWithoutIcon;
    std::set<IconHandle> created;
    std::map<IconHandle, int> destroyed;

  private:
    std::mutex m_mutex;
    IconHandle m_nextFileIcon = 1000;
    IconHandle m_nextAppIcon = 5000;
};

}  // namespace keyrack::testing
