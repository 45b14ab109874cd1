// The slot store on Windows: the files beside the executable whatever the current directory,
// MoveFileExW replacement that keeps the old file, and Korean text through a real file.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/atomic_file.h"
#include "platform/win32/win32_desktop.h"
#include "slots/slot.h"
#include "slots/slot_manager.h"
#include "tests/slots/slot_test_support.h"

namespace keyrack {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const std::u16string kKoreanName = u"\uC791\uC5C5 \uC2AC\uB86F";  // "작업 슬롯"
const std::u16string kKoreanTitle =
    u"\uC81C\uBAA9 \uC5C6\uC74C - \uBA54\uBAA8\uC7A5";  // "제목 없음 - 메모장"
const std::u16string kNotepad = u"C:\\windows\\system32\\notepad.exe";

// Restores the current directory when the test ends.
class CurrentDirectoryGuard {
  public:
    CurrentDirectoryGuard() : m_saved(std::filesystem::current_path()) {}
    ~CurrentDirectoryGuard() { ::SetCurrentDirectoryW(m_saved.c_str()); }

  private:
    std::filesystem::path m_saved;
};

// The data folder beside this test executable, emptied of slot 12 and the table before and
// after each test.
class BesideExecutableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(paths.dataFolder);
        Clean();
    }
    void TearDown() override { Clean(); }
    void Clean() {
        std::error_code ec;
        for (const auto& file :
             {paths.SlotFile(11), paths.TableFile(), AtomicTempPath(paths.SlotFile(11)),
              AtomicTempPath(paths.TableFile())}) {
            std::filesystem::remove_all(file, ec);
        }
    }

    const StorePaths paths = StorePaths::BesideExecutable(ExecutableFolderOfProcess());
    Win32Desktop desktop;
};

std::unique_ptr<SlotItem> NotepadItem() {
    auto item = std::make_unique<SlotItem>();
    item->path = kNotepad;
    item->fileName = u"notepad.exe";
    item->parameters = u"C:\\\uBB38\uC11C\\\uBA54\uBAA8.txt";  // a Korean file name
    item->name = kKoreanTitle;
    item->x = -8;
    item->y = 0;
    item->width = 960;
    item->height = 1040;
    item->maximize = 1;
    item->index = 0;
    return item;
}

TEST_F(BesideExecutableTest, SlotAndTableFilesAreFoundBesideTheExecutableNotInTheCurrentDirectory) {
    TempFolder elsewhere;
    CurrentDirectoryGuard guard;
    ASSERT_TRUE(::SetCurrentDirectoryW(elsewhere.Path().c_str()));
    std::filesystem::create_directories(elsewhere.Path() / "data");
    ASSERT_NE(std::filesystem::current_path(), ExecutableFolderOfProcess());

    {
        Slot slot(11, paths);
        slot.name = kKoreanName;
        auto item = NotepadItem();
        item->pspId = slot.psp.AddPath(kNotepad);
        slot.items.push_back(std::move(item));
        ASSERT_TRUE(PathTable(paths).SaveSlot(slot).Written());
    }

    EXPECT_TRUE(std::filesystem::is_regular_file(ExecutableFolderOfProcess() / "data" / "12.slot"));
    EXPECT_TRUE(std::filesystem::is_regular_file(ExecutableFolderOfProcess() / "data" /
                                                 "processsourcepath"));
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere.Path() / "data"));
    const auto bytes = ReadBytes(paths.SlotFile(11));
    ASSERT_EQ(bytes.size(), 513u + 3631u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[1], 0x91);  // U+C791 little-endian at offset 1
    EXPECT_EQ(bytes[2], 0xC7);
    EXPECT_EQ(ReadBytes(paths.TableFile()).size(), 524u);

    // Read back through the manager, still from the other directory.
    SlotManager manager(paths, desktop);
    auto loaded = manager.LoadCurrent(11);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->name, kKoreanName);
    ASSERT_EQ(loaded->items.size(), 1u);
    const SlotItem& item = *loaded->items[0];
    EXPECT_EQ(item.name, kKoreanTitle);
    EXPECT_EQ(item.parameters, u"C:\\\uBB38\uC11C\\\uBA54\uBAA8.txt");
    EXPECT_EQ(item.pspId, 0u);
    EXPECT_EQ(item.x, -8);
    EXPECT_EQ(item.maximize, 1);
    EXPECT_EQ(item.window, 0u);
    ASSERT_NE(loaded->psp.PathOf(0), nullptr);
    EXPECT_EQ(*loaded->psp.PathOf(0), kNotepad);
    // The icon is extracted from notepad's image through the shell, for the editor.
    loaded->LoadIcons(desktop);
    EXPECT_NE(item.icon.Get(), 0u);
    SlotManager::ReleaseCurrent(loaded);
}

TEST_F(BesideExecutableTest, MissingSlotFileIsReportedWithItsFullPath) {
    Slot slot(11, paths);
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(slot.Load());
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("can't read file at "), std::string::npos);
    EXPECT_NE(out.find("12.slot"), std::string::npos) << out;
}

// Windows' ExtractIconW answers 1, not a handle, for a file that is no executable, library or
// icon (Wine answers 0); the seam turns that into "no icon", so the slot falls back to the
// application's icon and never destroys the pseudo-handle. A real icon is a real handle.
TEST(Win32DesktopIcons, ExtractionGivesAnIconOnlyForFilesThatHoldOne) {
    TempFolder folder;
    const auto text = folder.Path() / "notes.txt";
    WriteBytes(text, {'h', 'i', '\r', '\n'});
    Win32Desktop desktop;
    const auto wide = text.wstring();
    EXPECT_EQ(desktop.ExtractFileIcon(
                  std::u16string(reinterpret_cast<const char16_t*>(wide.c_str()), wide.size()), 0),
              0u);
    EXPECT_EQ(desktop.ExtractFileIcon(u"", 0), 0u);
    EXPECT_EQ(desktop.ExtractFileIcon(u"C:\\no such folder\\none.exe", 0), 0u);

    const IconHandle icon = desktop.ExtractFileIcon(kNotepad, 0);
    ASSERT_NE(icon, 0u);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(reinterpret_cast<HICON>(icon), &info));
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    desktop.DestroyIcon(icon);
}

class ReplaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Slot slot(0, folder.Store());
        slot.name = u"old";
        ASSERT_EQ(slot.Save(), SaveResult::kSaved);
        old = ReadBytes(File());
    }
    std::filesystem::path File() const { return folder.Path() / "1.slot"; }
    SaveResult SaveNew() {
        Slot slot(0, folder.Store());
        slot.name = kKoreanName;
        slot.items.push_back(NotepadItem());
        ::testing::internal::CaptureStdout();
        const SaveResult result = slot.Save();
        ::testing::internal::GetCapturedStdout();
        return result;
    }

    TempFolder folder;
    NullDesktop desktop;
    std::vector<std::uint8_t> old;
};

TEST_F(ReplaceTest, ReplacesAnExistingFileWithExactlyTheNewBytes) {
    ASSERT_EQ(SaveNew(), SaveResult::kSaved);
    const auto bytes = ReadBytes(File());
    EXPECT_EQ(bytes.size(), 513u + 3631u);
    EXPECT_FALSE(std::filesystem::exists(AtomicTempPath(File())));
    Slot back(0, folder.Store());
    ASSERT_TRUE(back.Load());
    EXPECT_EQ(back.name, kKoreanName);
}

TEST_F(ReplaceTest, TemporaryFileThatCantBeCreatedKeepsTheOldFile) {
    std::filesystem::create_directory(AtomicTempPath(File()));
    EXPECT_EQ(SaveNew(), SaveResult::kCannotWrite);
    EXPECT_EQ(ReadBytes(File()), old);
    EXPECT_TRUE(std::filesystem::is_directory(AtomicTempPath(File())));
}

TEST_F(ReplaceTest, TemporaryFileHeldOpenByAnotherKeepsTheOldFile) {
    const auto temp = AtomicTempPath(File());
    const HANDLE held = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SaveNew(), SaveResult::kCannotWrite);
    ::CloseHandle(held);
    EXPECT_EQ(ReadBytes(File()), old);
}

TEST_F(ReplaceTest, TargetHeldOpenWithoutDeleteSharingKeepsItsBytes) {
    // A reader that does not share delete access keeps MoveFileExW from replacing the file.
    const HANDLE reader = ::CreateFileW(File().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    const SaveResult result = SaveNew();
    ::CloseHandle(reader);
    EXPECT_EQ(result, SaveResult::kCannotWrite);
    EXPECT_EQ(ReadBytes(File()), old);
    EXPECT_FALSE(std::filesystem::exists(AtomicTempPath(File())));
}

TEST_F(ReplaceTest, TargetThatIsAFolderIsNotReplaced) {
    std::filesystem::remove(File());
    std::filesystem::create_directory(File());
    WriteBytes(File() / "inside", old);
    EXPECT_EQ(SaveNew(), SaveResult::kCannotWrite);
    EXPECT_EQ(ReadBytes(File() / "inside"), old);
    EXPECT_FALSE(std::filesystem::exists(AtomicTempPath(File())));
}

}  // namespace
}  // namespace keyrack
