// The tray menu model: labels, ids and the checked / greyed states that the menu shows for
// empty, filled, deployed and unreadable slots, and that building it never disturbs the slot
// store or a deployment.
#include "app/tray_menu.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>

#include "platform/text.h"
#include "slots/slot_manager.h"
#include "tests/fakes/open_windows_desktop.h"

namespace keyrack {
namespace {

namespace fs = std::filesystem;

class TrayMenuTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device random;
        m_root = fs::temp_directory_path() /
                 ("keyrack-tray-" + std::to_string(random()) + "-" + std::to_string(random()));
        fs::create_directories(m_root / "data");
        m_paths = StorePaths{m_root / "data"};
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }

    // Writes slot `index` with the given name and item titles through the slot store.
    void WriteSlot(int index, const std::u16string& name,
                   const std::vector<std::u16string>& titles) {
        Slot slot(index, m_paths);
        slot.name = name;
        for (const auto& title : titles) {
            auto item = std::make_unique<SlotItem>();
            item->name = title;
            item->path = u"C:\\windows\\notepad.exe";
            slot.items.push_back(std::move(item));
        }
        ASSERT_EQ(slot.Save(), SaveResult::kSaved);
    }

    std::string Bytes(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    testing::OpenWindowsDesktop m_desktop;
    fs::path m_root;
    StorePaths m_paths;
};

}  // namespace

// Readable failure messages.
void PrintTo(const TrayMenuEntry& entry, std::ostream* out) {
    if (entry.separator) {
        *out << "{separator}";
        return;
    }
    *out << "{\"" << Utf16ToUtf8(entry.text) << "\" id " << entry.id
         << (entry.checked ? " checked" : "") << (entry.grayed ? " grayed" : "") << "}";
}

namespace {

TrayMenuEntry Entry(std::u16string text, unsigned id, bool checked, bool grayed) {
    return TrayMenuEntry{false, std::move(text), id, checked, grayed};
}
TrayMenuEntry Separator() { return TrayMenuEntry{true, {}, 0, false, false}; }

TEST_F(TrayMenuTest, SlotsWithoutFilesAreEmptySlotsOfferingFill) {
    SlotManager manager(m_paths, m_desktop);
    const TrayMenuModel model = BuildTrayMenuModel(manager);
    for (int i = 0; i < kSlotCount; ++i) {
        const TraySlotMenu& menu = model.slots[static_cast<std::size_t>(i)];
        EXPECT_EQ(menu.label, u"[F" + Utf8ToUtf16(std::to_string(i + 1)) + u"] 빈슬롯");
        EXPECT_FALSE(menu.checked);
        ASSERT_EQ(menu.entries.size(), 1u);
        EXPECT_EQ(menu.entries[0], Entry(u"채우기", 200u + static_cast<unsigned>(i), false, false));
    }
    EXPECT_EQ(model.slots[2].label, u"[F3] 빈슬롯");
    EXPECT_EQ(model.slots[11].label, u"[F12] 빈슬롯");
    EXPECT_EQ(model.tail,
              (std::vector<TrayMenuEntry>{Separator(), Entry(u"정보", 101, false, false),
                                          Entry(u"종료", 100, false, false)}));
}

TEST_F(TrayMenuTest, FilledSlotNotDeployedGreysItsProgramsAndClose) {
    WriteSlot(1, u"작업 공간", {u"메모 - 메모장", u"Untitled - Notepad"});
    SlotManager manager(m_paths, m_desktop);
    const TrayMenuModel model = BuildTrayMenuModel(manager);
    const TraySlotMenu& menu = model.slots[1];
    EXPECT_EQ(menu.label, u"[F2] 작업 공간");
    EXPECT_FALSE(menu.checked);
    EXPECT_EQ(
        menu.entries,
        (std::vector<TrayMenuEntry>{
            Entry(u"메모 - 메모장", 0, false, true), Entry(u"Untitled - Notepad", 0, false, true),
            Separator(), Entry(u"닫기", 401, false, true), Entry(u"속성", 201, false, false)}));
    // The neighbours stay empty slots.
    EXPECT_EQ(model.slots[0].label, u"[F1] 빈슬롯");
    EXPECT_EQ(model.slots[2].label, u"[F3] 빈슬롯");
}

TEST_F(TrayMenuTest, DeployedSlotChecksLiveWindowsAndEnablesClose) {
    WriteSlot(11, u"s", {u"a", u"b", u"c", u"d"});
    SlotManager manager(m_paths, m_desktop);
    // The window of b was closed since the list was last read; the list has no entry for d.
    manager.SetWindowList(11, {{0x10, 0, 0}, {0x20, 0, 0}, {0x30, 1, 1}});
    m_desktop.Close(0x20);
    const TrayMenuModel model = BuildTrayMenuModel(manager);
    const TraySlotMenu& menu = model.slots[11];
    EXPECT_EQ(menu.label, u"[F12] s");
    EXPECT_TRUE(menu.checked);
    EXPECT_EQ(menu.entries,
              (std::vector<TrayMenuEntry>{Entry(u"a", 0, true, false), Entry(u"b", 0, false, false),
                                          Entry(u"c", 0, true, false), Entry(u"d", 0, false, false),
                                          Separator(), Entry(u"닫기", 411, false, false),
                                          Entry(u"속성", 211, false, false)}));
    for (int i = 0; i < 11; ++i)
        EXPECT_FALSE(model.slots[static_cast<std::size_t>(i)].checked) << i;
}

TEST_F(TrayMenuTest, SlotWhoseWindowsAllClosedOrWithEmptyListIsNotDeployed) {
    WriteSlot(4, u"빈 목록", {u"x"});
    WriteSlot(5, u"", {});
    WriteSlot(6, u"닫힌 창", {u"y", u"z"});
    SlotManager manager(m_paths, m_desktop);
    manager.SetWindowList(4, {});
    manager.SetWindowList(6, {{0x60, 0, 0}, {0x61, 0, 1}});
    m_desktop.Close(0x60);
    m_desktop.Close(0x61);
    const TrayMenuModel model = BuildTrayMenuModel(manager);
    for (const std::size_t slot : {4u, 6u}) {
        EXPECT_FALSE(model.slots[slot].checked) << slot;
        EXPECT_TRUE(model.slots[slot].entries.front().grayed) << slot;
        EXPECT_FALSE(manager.HasWindowList(static_cast<int>(slot))) << "dropped as it was read";
    }
    EXPECT_EQ(model.slots[6].entries,
              (std::vector<TrayMenuEntry>{Entry(u"y", 0, false, true), Entry(u"z", 0, false, true),
                                          Separator(), Entry(u"닫기", 406, false, true),
                                          Entry(u"속성", 206, false, false)}));
    // A slot file with no items and no name is still a filled slot.
    EXPECT_EQ(model.slots[5].label, u"[F6] ");
    EXPECT_EQ(model.slots[5].entries,
              (std::vector<TrayMenuEntry>{Separator(), Entry(u"닫기", 405, false, true),
                                          Entry(u"속성", 205, false, false)}));
}

TEST_F(TrayMenuTest, UnreadableOrVanishedSlotFileShowsAsEmptySlot) {
#ifdef _WIN32
    // A folder where the slot file should be can't be opened as a file on Windows (on Linux a
    // stream opens a folder, so the host build only runs the vanished case).
    fs::create_directories(m_paths.SlotFile(2));
#endif
    WriteSlot(3, u"was here", {u"a"});
    SlotManager manager(m_paths, m_desktop);
    manager.SetWindowList(3, {{0x44, 0, 0}});
    fs::remove(m_paths.SlotFile(3));
    const TrayMenuModel model = BuildTrayMenuModel(manager);
    EXPECT_EQ(model.slots[2].label, u"[F3] 빈슬롯");
    EXPECT_EQ(model.slots[2].entries,
              (std::vector<TrayMenuEntry>{Entry(u"채우기", 202, false, false)}));
    EXPECT_FALSE(model.slots[2].checked);
    // Deployed, but its file has gone since: the empty-slot entry, still checked.
    EXPECT_EQ(model.slots[3].label, u"[F4] 빈슬롯");
    EXPECT_TRUE(model.slots[3].checked);
    EXPECT_EQ(model.slots[3].entries,
              (std::vector<TrayMenuEntry>{Entry(u"채우기", 203, false, false)}));
}

TEST_F(TrayMenuTest, BuildingLeavesListsAndFilesAlone) {
    WriteSlot(0, u"one", {u"a", u"b"});
    {
        Slot slot(0, m_paths);
        slot.psp.AddPath(u"C:\\windows\\notepad.exe");
        ASSERT_TRUE(slot.psp.Save(m_paths));
    }
    SlotManager manager(m_paths, m_desktop);
    const WindowList list{{0x10, 1, 1}, {0x20, 0, 1}};
    manager.SetWindowList(0, list);
    const std::string slotBytes = Bytes(m_paths.SlotFile(0));
    const std::string tableBytes = Bytes(m_paths.TableFile());
    const auto tableTime = fs::last_write_time(m_paths.TableFile());
    ASSERT_FALSE(tableBytes.empty());

    BuildTrayMenuModel(manager);
    BuildTrayMenuModel(manager);

    EXPECT_EQ(manager.GetWindowList(0), list);
    for (int i = 1; i < kSlotCount; ++i) EXPECT_FALSE(manager.HasWindowList(i)) << i;
    EXPECT_EQ(Bytes(m_paths.SlotFile(0)), slotBytes);
    EXPECT_EQ(Bytes(m_paths.TableFile()), tableBytes);
    EXPECT_EQ(fs::last_write_time(m_paths.TableFile()), tableTime);
    EXPECT_FALSE(fs::exists(m_paths.SlotFile(1)));
}

// The polling thread replaces, prunes and drops lists while the user opens the menu; the
// model always sees one whole list (under tsan: no data race).
TEST_F(TrayMenuTest, BuildsWhileAnotherThreadChangesTheLists) {
    WriteSlot(0, u"one", {u"a", u"b"});
    SlotManager manager(m_paths, m_desktop);
    std::atomic<bool> stop{false};
    std::thread polling([&] {
        std::uintptr_t handle = 1;
        while (!stop) {
            // Closed before the list names it: a read never sees one pair open and one closed.
            if (handle % 2 != 0) m_desktop.Close(handle);
            manager.SetWindowList(0, {{handle, 0, 0}, {handle, 0, 0}});
            (void)manager.HasWindowList(0);  // prunes as it reads
            ++handle;
        }
    });
    for (int round = 0; round < 50; ++round) {
        const TrayMenuModel model = BuildTrayMenuModel(manager);
        const auto& entries = model.slots[0].entries;
        ASSERT_EQ(entries.size(), 5u);
        // Both windows share a handle, so both are open or both gone in one consistent list.
        EXPECT_EQ(entries[0].checked, entries[1].checked);
        if (model.slots[0].checked) {
            EXPECT_TRUE(entries[0].checked);
            EXPECT_FALSE(entries[3].grayed);
        } else {
            EXPECT_TRUE(entries[0].grayed);
            EXPECT_TRUE(entries[3].grayed);
        }
    }
    stop = true;
    polling.join();
}

TEST_F(TrayMenuTest, SlotsWhoseChordAnotherProgramHoldsSayItInTheirLabel) {
    WriteSlot(6, u"일곱", {u"a"});
    SlotManager manager(m_paths, m_desktop);
    ChordlessSlots chordless;
    chordless.set(6);
    chordless.set(11);
    const TrayMenuModel model = BuildTrayMenuModel(manager, chordless);
    EXPECT_EQ(model.slots[6].label, u"[F7] 일곱 (단축키 사용 중)");
    EXPECT_EQ(model.slots[11].label, u"[F12] 빈슬롯 (단축키 사용 중)");
    EXPECT_EQ(model.slots[5].label, u"[F6] 빈슬롯");
    // Only the label says it: the slot's entries and commands stay.
    EXPECT_EQ(model.slots[6].entries.back(), Entry(u"속성", 206, false, false));
}

TEST(TrayCommandTest, DecodesSlotCommands) {
    EXPECT_EQ(SlotOfEditCommand(200), 0);
    EXPECT_EQ(SlotOfEditCommand(211), 11);
    EXPECT_EQ(SlotOfEditCommand(212), -1);
    EXPECT_EQ(SlotOfEditCommand(199), -1);
    EXPECT_EQ(SlotOfCloseCommand(400), 0);
    EXPECT_EQ(SlotOfCloseCommand(411), 11);
    EXPECT_EQ(SlotOfCloseCommand(412), -1);
    EXPECT_EQ(SlotOfCloseCommand(399), -1);
    EXPECT_EQ(SlotOfCloseCommand(kIdTrayExit), -1);
    EXPECT_EQ(SlotOfEditCommand(kIdTrayAbout), -1);
}

}  // namespace
}  // namespace keyrack
