// Whole-file replacement: exact bytes, and the old file kept whenever the new one can't be
// put in place.
#include <gtest/gtest.h>

#include "platform/atomic_file.h"
#include "tests/fakes/sharing_files.h"
#include "tests/slots/slot_test_support.h"

namespace keyrack {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const std::vector<std::uint8_t> kOld = {'o', 'l', 'd'};
const std::vector<std::uint8_t> kNew = {'n', 'e', 'w', 0, 0xFF, '!'};

TEST(AtomicFile, WritesExactlyTheBytesAndLeavesNoTemporaryFile) {
    TempFolder folder;
    const auto target = folder.Path() / "file";
    ASSERT_TRUE(WriteFileAtomically(target, kOld));
    EXPECT_EQ(ReadBytes(target), kOld);
    ASSERT_TRUE(WriteFileAtomically(target, kNew));
    EXPECT_EQ(ReadBytes(target), kNew);
    ASSERT_TRUE(WriteFileAtomically(target, {}));
    EXPECT_TRUE(std::filesystem::exists(target));
    EXPECT_EQ(std::filesystem::file_size(target), 0u);
    EXPECT_FALSE(std::filesystem::exists(AtomicTempPath(target)));
    EXPECT_EQ(AtomicTempPath(target), folder.Path() / "file.tmp");
}

TEST(AtomicFile, StaleTemporaryFileIsOverwritten) {
    TempFolder folder;
    const auto target = folder.Path() / "file";
    WriteBytes(AtomicTempPath(target), std::vector<std::uint8_t>(100, 'x'));
    ASSERT_TRUE(WriteFileAtomically(target, kNew));
    EXPECT_EQ(ReadBytes(target), kNew);
    EXPECT_FALSE(std::filesystem::exists(AtomicTempPath(target)));
}

TEST(AtomicFile, TemporaryPathTakenByAFolderKeepsTheOldFile) {
    TempFolder folder;
    const auto target = folder.Path() / "file";
    WriteBytes(target, kOld);
    std::filesystem::create_directory(AtomicTempPath(target));
    EXPECT_FALSE(WriteFileAtomically(target, kNew));
    EXPECT_EQ(ReadBytes(target), kOld);
    EXPECT_TRUE(std::filesystem::is_directory(AtomicTempPath(target)));
}

TEST(AtomicFile, TargetThatCannotBeReplacedLeavesNoTemporaryFile) {
    TempFolder folder;
    const auto target = folder.Path() / "file";
    std::filesystem::create_directory(target);
    WriteBytes(target / "inside", kOld);
    EXPECT_FALSE(WriteFileAtomically(target, kNew));
    EXPECT_EQ(ReadBytes(target / "inside"), kOld);
    EXPECT_FALSE(std::filesystem::exists(AtomicTempPath(target)));
}

TEST(AtomicFile, MissingFolderFails) {
    TempFolder folder;
    EXPECT_FALSE(WriteFileAtomically(folder.Path() / "absent" / "file", kNew));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "absent"));
}

#ifndef _WIN32
// A write error part way: the temporary name leads to a device that is always full.
TEST(AtomicFile, WriteErrorKeepsTheOldFileAndRemovesTheTemporaryFile) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    TempFolder folder;
    const auto target = folder.Path() / "file";
    WriteBytes(target, kOld);
    std::filesystem::create_symlink("/dev/full", AtomicTempPath(target));
    EXPECT_FALSE(WriteFileAtomically(target, std::vector<std::uint8_t>(10000, 'n')));
    EXPECT_EQ(ReadBytes(target), kOld);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(AtomicTempPath(target))));
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}
#endif

// Windows' refusals of a replace: brief ones are outlasted with pauses of 50 ms doubling to
// 800 ms, a lasting one is told with its code after about 2 s, others at once; the old file stays.
TEST(AtomicFile, RetriesWhatPassesAndKeepsTheOldFileOtherwise) {
    const std::vector<std::tuple<std::vector<int>, int, std::vector<unsigned>>> cases = {
        {{32, 32}, 0, {50, 100}}, {{5}, 5, {50, 100, 200, 400, 800, 450}}, {{112}, 112, {}}};
    for (const auto& [codes, error, pauses] : cases) {
        TempFolder folder;
        const auto target = folder.Path() / "file";
        WriteBytes(target, kOld);
        testing::SharingFiles files;
        if (codes == std::vector{5})
            files.held.insert(target);  // without share-delete, for good
        else
            files.failures = codes;
        EXPECT_EQ(WriteFileAtomically(target, kNew, files.steps).error, error);
        EXPECT_EQ(files.pauses, pauses);
        EXPECT_EQ(ReadBytes(target), error == 0 ? kNew : kOld);
        EXPECT_FALSE(std::filesystem::exists(AtomicTempPath(target)));
    }
}

}  // namespace
}  // namespace keyrack
