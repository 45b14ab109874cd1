// Slot files: layout, count handling, short and damaged files, icons, the item limit and the
// atomic replacement of the file.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/atomic_file.h"
#include "slots/path_table.h"
#include "slots/slot.h"
#include "tests/slots/slot_test_support.h"

namespace keyrack {
namespace {

using testing::IconCountingDesktop;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

std::unique_ptr<SlotItem> MakeItem(int index, std::u16string name, std::uint32_t pspId) {
    auto item = std::make_unique<SlotItem>();
    item->path = u"C:\\apps\\" + name + u".exe";
    item->fileName = name + u".exe";
    item->parameters = u"--open \"" + name + u"\"";
    item->name = name + u" - \uCC3D";  // Hangul in a title
    item->pspId = pspId;
    item->maximize = static_cast<std::uint8_t>(index % 2);
    item->x = -100 + index;
    item->y = 20 * index;
    item->width = 800 + index;
    item->height = 600 + index;
    item->reserved = 0xFF;
    item->window = 0xABC0 + static_cast<WindowHandle>(index);
    item->index = static_cast<std::int8_t>(index);
    return item;
}

class SlotFileTest : public ::testing::Test {
  protected:
    TempFolder folder;
    IconCountingDesktop desktop;
};

TEST_F(SlotFileTest, EmptySlotIsA513ByteFileWithCountZeroAndTheNameAtOffsetOne) {
    Slot slot(2, folder.Store());
    slot.name = u"Work";
    ASSERT_EQ(slot.Save(), SaveResult::kSaved);
    const auto bytes = ReadBytes(folder.Path() / "3.slot");
    ASSERT_EQ(bytes.size(), 513u);
    std::vector<std::uint8_t> expected(513, 0);
    expected[1] = 'W', expected[3] = 'o', expected[5] = 'r', expected[7] = 'k';
    EXPECT_EQ(bytes, expected);
}

TEST_F(SlotFileTest, ItemsFollowTheHeaderInListOrderAsTheirImages) {
    Slot slot(0, folder.Store());
    slot.name = u"Three";
    for (int k = 0; k < 3; ++k)
        slot.items.push_back(
            MakeItem(k, u"p" + std::u16string(1, static_cast<char16_t>(u'0' + k)), k));
    slot.items[1]->icon = UniqueIcon(desktop.LoadApplicationIcon(), desktop);
    ASSERT_EQ(slot.Save(), SaveResult::kSaved);

    const auto bytes = ReadBytes(folder.Path() / "1.slot");
    ASSERT_EQ(bytes.size(), 513u + 3631u * 3);
    EXPECT_EQ(bytes[0], 3);
    for (int k = 0; k < 3; ++k) {
        const ItemImage image = slot.items[static_cast<std::size_t>(k)]->ToImage();
        EXPECT_TRUE(std::equal(image.begin(), image.end(), bytes.begin() + 513 + 3631 * k)) << k;
    }
    // The icon handle is part of the image as it was held.
    EXPECT_EQ(bytes[513 + 3631 + 3622], 5000 & 0xFF);
    EXPECT_EQ(bytes[513 + 3631 + 3623], 5000 >> 8);
    EXPECT_FALSE(std::filesystem::exists(AtomicTempPath(folder.Path() / "1.slot")));
}

TEST_F(SlotFileTest, ReadingBackGivesEveryFieldButWindowAndIcon) {
    {
        Slot slot(4, folder.Store());
        slot.name = u"\uC2AC\uB86F five";
        for (int k = 0; k < 4; ++k)
            slot.items.push_back(
                MakeItem(k, u"app" + std::u16string(1, static_cast<char16_t>(u'a' + k)), 7));
        slot.items[2]->reserved = 0x12;
        ASSERT_EQ(slot.Save(), SaveResult::kSaved);
    }
    Slot original(4, folder.Store());
    for (int k = 0; k < 4; ++k)
        original.items.push_back(
            MakeItem(k, u"app" + std::u16string(1, static_cast<char16_t>(u'a' + k)), 7));

    Slot loaded(4, folder.Store());
    ASSERT_TRUE(loaded.Load());
    loaded.LoadIcons(desktop);
    EXPECT_EQ(loaded.name, u"\uC2AC\uB86F five");
    ASSERT_EQ(loaded.items.size(), 4u);
    for (std::size_t k = 0; k < 4; ++k) {
        const SlotItem& a = *loaded.items[k];
        const SlotItem& b = *original.items[k];
        EXPECT_EQ(a.path, b.path);
        EXPECT_EQ(a.fileName, b.fileName);
        EXPECT_EQ(a.parameters, b.parameters);
        EXPECT_EQ(a.name, b.name);
        EXPECT_EQ(a.pspId, b.pspId);
        EXPECT_EQ(a.maximize, b.maximize);
        EXPECT_EQ(a.x, b.x);
        EXPECT_EQ(a.y, b.y);
        EXPECT_EQ(a.width, b.width);
        EXPECT_EQ(a.height, b.height);
        EXPECT_EQ(a.reserved, k == 2 ? 0x12 : 0xFF);
        EXPECT_EQ(a.index, b.index);
        EXPECT_EQ(a.window, 0u) << "window handles from a file mean nothing";
        EXPECT_NE(a.icon.Get(), 0u);
    }
}

TEST_F(SlotFileTest, CountByteOf0x80OrMoreReadsNoItems) {
    SlotItem item;
    item.name = u"ghost";
    const ItemImage image = item.ToImage();
    for (int countByte : {0x80, 0x81, 0xFF}) {
        std::vector<std::uint8_t> bytes(513, 0);
        bytes[0] = static_cast<std::uint8_t>(countByte);
        bytes[1] = 'N';
        for (int k = 0; k < 3; ++k) bytes.insert(bytes.end(), image.begin(), image.end());
        WriteBytes(folder.Path() / "1.slot", bytes);
        Slot slot(0, folder.Store());
        ASSERT_TRUE(slot.Load());
        EXPECT_TRUE(slot.items.empty()) << countByte;
        EXPECT_EQ(slot.name, u"N");
    }
    EXPECT_TRUE(desktop.created.empty());
}

// A file shorter than its count: `whole` item records, then `cutBytes` of one more.
struct ShortFileCase {
    const char* what;
    std::size_t headerBytes;
    std::uint8_t countByte;
    int whole;
    std::size_t cutBytes;
};

class ShortSlotFileTest : public SlotFileTest,
                          public ::testing::WithParamInterface<ShortFileCase> {};

TEST_P(ShortSlotFileTest, KeepsOnlyTheRecordsWhollyInTheFile) {
    const ShortFileCase& c = GetParam();
    std::vector<std::uint8_t> bytes(c.headerBytes, 0);
    bytes[0] = c.countByte;
    for (int k = 0; k <= c.whole; ++k) {
        const ItemImage image = MakeItem(k, u"p" + std::u16string(1, u'a' + k), 0)->ToImage();
        const std::size_t n = k < c.whole ? image.size() : c.cutBytes;
        bytes.insert(bytes.end(), image.begin(), image.begin() + static_cast<std::ptrdiff_t>(n));
    }
    WriteBytes(folder.Path() / "1.slot", bytes);
    Slot slot(0, folder.Store());
    ASSERT_TRUE(slot.Load());
    ASSERT_EQ(slot.items.size(), static_cast<std::size_t>(c.whole));
    for (int k = 0; k < c.whole; ++k)
        EXPECT_EQ(slot.items[static_cast<std::size_t>(k)]->path,
                  u"C:\\apps\\p" + std::u16string(1, u'a' + k) + u".exe");
    slot.LoadIcons(desktop);
    EXPECT_EQ(desktop.created.size(), static_cast<std::size_t>(c.whole)) << "icons of kept items";
}

INSTANTIATE_TEST_SUITE_P(
    Files, ShortSlotFileTest,
    ::testing::Values(ShortFileCase{"count_byte_only", 1, 2, 0, 0},
                      ShortFileCase{"header_only_count_5", 513, 5, 0, 0},
                      ShortFileCase{"count_127_two_whole_third_cut", 513, 127, 2, 1000},
                      ShortFileCase{"one_record_cut_before_its_end", 513, 1, 0, kSlotItemSize - 1}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(SlotFileTest, BytesAfterTheAnnouncedRecordsAreIgnored) {
    SlotItem item;
    item.name = u"one";
    const ItemImage image = item.ToImage();
    std::vector<std::uint8_t> bytes(513, 0);
    bytes[0] = 1;
    bytes.insert(bytes.end(), image.begin(), image.end());
    bytes.insert(bytes.end(), image.begin(), image.end());
    bytes.insert(bytes.end(), 17, 0xEE);
    WriteBytes(folder.Path() / "1.slot", bytes);
    Slot slot(0, folder.Store());
    ASSERT_TRUE(slot.Load());
    ASSERT_EQ(slot.items.size(), 1u);
    EXPECT_EQ(slot.items[0]->name, u"one");
}

TEST_F(SlotFileTest, SlotNameIsCutAndReadUpToItsNul) {
    Slot slot(0, folder.Store());
    slot.name = std::u16string(300, u'n');
    ASSERT_EQ(slot.Save(), SaveResult::kSaved);
    auto bytes = ReadBytes(folder.Path() / "1.slot");
    ASSERT_EQ(bytes.size(), 513u);
    EXPECT_EQ(bytes[1 + 2 * 255], 0);
    EXPECT_EQ(bytes[2 + 2 * 255], 0);
    Slot back(0, folder.Store());
    ASSERT_TRUE(back.Load());
    EXPECT_EQ(back.name, std::u16string(255, u'n'));

    // A name field with no NUL at all reads to the end of the field, not into the items.
    std::fill(bytes.begin() + 1, bytes.end(), 0);
    for (std::size_t i = 0; i < 256; ++i) bytes[1 + 2 * i] = 'm';
    bytes[0] = 1;
    bytes.push_back(0x41);
    WriteBytes(folder.Path() / "1.slot", bytes);
    Slot full(0, folder.Store());
    ASSERT_TRUE(full.Load());
    EXPECT_EQ(full.name, std::u16string(256, u'm'));
}

TEST_F(SlotFileTest, MissingFileFailsWithItsMessageOnStandardOutput) {
    Slot slot(6, folder.Store());
    ::testing::internal::CaptureStdout();
    const bool loaded = slot.Load();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(slot.items.empty());
    const std::u8string file = (folder.Path() / "7.slot").u8string();
    EXPECT_EQ(out, "can't read file at " + std::string(file.begin(), file.end()) + "\n");
}

TEST_F(SlotFileTest, AtMost127ItemsAreSavedAndThe128thIsRefused) {
    Slot slot(0, folder.Store());
    for (int k = 0; k < 127; ++k) slot.items.push_back(MakeItem(k, u"i", 0));
    ASSERT_EQ(slot.Save(), SaveResult::kSaved);
    const auto saved = ReadBytes(folder.Path() / "1.slot");
    ASSERT_EQ(saved.size(), 513u + 3631u * 127);
    EXPECT_EQ(saved[0], 127);

    slot.items.push_back(MakeItem(127, u"one too many", 0));
    EXPECT_EQ(slot.Save(), SaveResult::kTooManyItems);
    EXPECT_EQ(ReadBytes(folder.Path() / "1.slot"), saved);
    EXPECT_FALSE(std::filesystem::exists(AtomicTempPath(folder.Path() / "1.slot")));
}

TEST_F(SlotFileTest, NullItemPointersAreNeitherWrittenNorCounted) {
    Slot slot(0, folder.Store());
    slot.items.push_back(MakeItem(0, u"a", 0));
    slot.items.push_back(nullptr);
    slot.items.push_back(MakeItem(1, u"b", 0));
    ASSERT_EQ(slot.Save(), SaveResult::kSaved);
    const auto bytes = ReadBytes(folder.Path() / "1.slot");
    EXPECT_EQ(bytes.size(), 513u + 3631u * 2);
    EXPECT_EQ(bytes[0], 2);
    EXPECT_EQ(slot.BuildWindowList().size(), 2u);
}

TEST_F(SlotFileTest, IconComesFromTheTableEntryOrElseTheApplication) {
    {
        ProcessSourcePathTable table;
        table.AddPath(u"C:\\has\\icon.exe");  // id 0
        table.AddPath(u"C:\\no\\icon.exe");   // id 1
        ASSERT_TRUE(table.Save(folder.Store()));
        Slot slot(0, folder.Store());
        slot.items.push_back(MakeItem(0, u"a", 0));
        slot.items.push_back(MakeItem(1, u"b", 1));
        slot.items.push_back(MakeItem(2, u"c", 42));
        slot.items.push_back(MakeItem(3, u"d", kNoPspId));
        ASSERT_EQ(slot.Save(), SaveResult::kSaved);
    }
    desktop.pathsWithoutIcon.insert(u"C:\\no\\icon.exe");
    desktop.extractions.clear();
    Slot slot(0, folder.Store());
    ASSERT_TRUE(slot.Load());
    EXPECT_TRUE(desktop.extractions.empty()) << "a load reads no icons; only the editor asks";
    slot.LoadIcons(desktop);
    ASSERT_EQ(desktop.extractions.size(), 4u);
    EXPECT_EQ(desktop.extractions[0].path, u"C:\\has\\icon.exe");
    EXPECT_EQ(desktop.extractions[1].path, u"C:\\no\\icon.exe");
    EXPECT_EQ(desktop.extractions[2].path, u"");
    EXPECT_EQ(desktop.extractions[3].path, u"");
    for (const auto& extraction : desktop.extractions) EXPECT_EQ(extraction.index, 0u);
    EXPECT_FALSE(IconCountingDesktop::IsApplicationIcon(slot.items[0]->icon.Get()));
    EXPECT_NE(slot.items[0]->icon.Get(), 0u);
    for (std::size_t k = 1; k < 4; ++k) {
        EXPECT_TRUE(IconCountingDesktop::IsApplicationIcon(slot.items[k]->icon.Get())) << k;
    }
}

TEST_F(SlotFileTest, EveryIconIsDestroyedExactlyOnce) {
    {
        ProcessSourcePathTable table;
        table.AddPath(u"C:\\a.exe");
        ASSERT_TRUE(table.Save(folder.Store()));
        Slot slot(0, folder.Store());
        for (int k = 0; k < 3; ++k) slot.items.push_back(MakeItem(k, u"a", k == 1 ? 0 : 5));
        ASSERT_EQ(slot.Save(), SaveResult::kSaved);
    }
    {
        // Released explicitly, then destroyed: the release frees the icons, the destructor
        // does nothing more.
        Slot slot(0, folder.Store());
        ASSERT_TRUE(slot.Load());
        slot.LoadIcons(desktop);
        EXPECT_EQ(desktop.created.size(), 3u);
        EXPECT_EQ(desktop.DestroyedCount(), 0u);
        slot.Release();
        EXPECT_EQ(desktop.DestroyedCount(), 3u);
        EXPECT_TRUE(slot.items.empty());
        slot.Release();
    }
    EXPECT_TRUE(desktop.AllDestroyedOnce());
    {
        // Destroyed without a release; one item moved out of the slot on the way.
        Slot slot(0, folder.Store());
        ASSERT_TRUE(slot.Load());
        slot.LoadIcons(desktop);
        SlotItem moved = std::move(*slot.items[1]);
        EXPECT_NE(moved.icon.Get(), 0u);
        slot.items.erase(slot.items.begin() + 1);
    }
    EXPECT_EQ(desktop.created.size(), 6u);
    EXPECT_TRUE(desktop.AllDestroyedOnce());
    {
        // Loading over a loaded slot replaces its items and frees their icons.
        Slot slot(0, folder.Store());
        ASSERT_TRUE(slot.Load());
        slot.LoadIcons(desktop);
        ASSERT_TRUE(slot.Load());
        slot.LoadIcons(desktop);
        EXPECT_EQ(desktop.DestroyedCount(), 9u);
    }
    EXPECT_TRUE(desktop.AllDestroyedOnce());
}

TEST_F(SlotFileTest, WindowListHasOnePairPerItemInOrder) {
    Slot slot(0, folder.Store());
    EXPECT_TRUE(slot.BuildWindowList().empty());
    for (int k = 0; k < 3; ++k) slot.items.push_back(MakeItem(k, u"w", 0));
    slot.items[1]->window = 0;
    slot.items[1]->maximize = 1;
    const WindowList list = slot.BuildWindowList();
    const WindowList expected = {{0xABC0, 0, 0}, {0, 1, 0}, {0xABC2, 0, 0}};
    EXPECT_EQ(list, expected);
}

TEST_F(SlotFileTest, FailedWriteKeepsTheOldFileAndReportsIt) {
    Slot slot(0, folder.Store());
    slot.name = u"old";
    ASSERT_EQ(slot.Save(), SaveResult::kSaved);
    const auto old = ReadBytes(folder.Path() / "1.slot");

    // Something that is not a file of ours sits where the temporary file goes.
    const auto temp = AtomicTempPath(folder.Path() / "1.slot");
    std::filesystem::create_directory(temp);
    std::filesystem::create_directory(temp / "inside");
    slot.name = u"new";
    slot.items.push_back(MakeItem(0, u"x", 0));
    ::testing::internal::CaptureStdout();
    const SaveResult result = slot.Save();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(result, SaveResult::kCannotWrite);
    EXPECT_EQ(ReadBytes(folder.Path() / "1.slot"), old);
    EXPECT_EQ(out.rfind("can't open file at ", 0), 0u) << out;
    EXPECT_TRUE(std::filesystem::is_directory(temp / "inside"));
}

TEST_F(SlotFileTest, FilesLiveInTheDataFolderBesideTheExecutable) {
    const StorePaths paths = StorePaths::BesideExecutable(folder.Path() / "bin");
    std::filesystem::create_directories(paths.dataFolder);
    const auto previous = std::filesystem::current_path();
    TempFolder elsewhere;
    std::filesystem::current_path(elsewhere.Path());
    {
        Slot slot(11, paths);
        slot.name = u"twelve";
        slot.items.push_back(MakeItem(0, u"x", slot.psp.AddPath(u"C:\\x.exe")));
        EXPECT_TRUE(PathTable(paths).SaveSlot(slot).Written());
    }
    std::filesystem::current_path(previous);
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "bin" / "data" / "12.slot"));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "bin" / "data" / "processsourcepath"));
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere.Path()));
}

}  // namespace
}  // namespace keyrack
