// The slot manager: working slots per operation and the window lists behind one mutex.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "slots/slot_manager.h"
#include "tests/fakes/open_windows_desktop.h"
#include "tests/slots/slot_test_support.h"

namespace keyrack {
namespace {

using testing::IconCountingDesktop;
using testing::TempFolder;

class SlotManagerTest : public ::testing::Test {
  protected:
    void WriteSlot(int index, std::u16string name, int items) {
        Slot slot(index, folder.Store());
        slot.name = std::move(name);
        for (int k = 0; k < items; ++k) {
            auto item = std::make_unique<SlotItem>();
            item->name = u"item";
            item->index = static_cast<std::int8_t>(k);
            item->pspId = kNoPspId;
            slot.items.push_back(std::move(item));
        }
        ASSERT_EQ(slot.Save(), SaveResult::kSaved);
    }

    TempFolder folder;
    IconCountingDesktop desktop;
    testing::OpenWindowsDesktop windows;  // every non-zero handle is open until closed
};

TEST_F(SlotManagerTest, MissingSlotFileGivesNoSlotAndAnotherSlotStillLoads) {
    WriteSlot(3, u"four", 2);
    SlotManager manager(folder.Store(), desktop);
    ::testing::internal::CaptureStdout();
    auto missing = manager.LoadCurrent(0);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(missing, nullptr);
    EXPECT_NE(out.find("can't read file at "), std::string::npos);

    auto slot = manager.LoadCurrent(3);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->name, u"four");
    EXPECT_EQ(slot->index, 3);
    EXPECT_EQ(slot->items.size(), 2u);
    SlotManager::ReleaseCurrent(slot);
    EXPECT_EQ(slot, nullptr);
    EXPECT_TRUE(desktop.created.empty()) << "the menu's and the chords' loads read no icons";
}

TEST_F(SlotManagerTest, IndexOutsideTheTwelveSlotsLoadsNothing) {
    WriteSlot(0, u"one", 0);
    SlotManager manager(folder.Store(), desktop);
    EXPECT_EQ(manager.LoadCurrent(-1), nullptr);
    EXPECT_EQ(manager.LoadCurrent(12), nullptr);
    EXPECT_FALSE(manager.HasWindowList(12));
    manager.SetWindowList(-1, {{1, 0, 0}});
    EXPECT_FALSE(manager.GetWindowList(-1).has_value());
}

TEST_F(SlotManagerTest, WorkingSlotsNeverWriteTheTableTheManagersTableDoes) {
    WriteSlot(0, u"one", 1);
    WriteSlot(1, u"two", 1);
    SlotManager manager(folder.Store(), desktop);
    auto first = manager.LoadCurrent(0);
    auto second = manager.LoadCurrent(1);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    first->items[0]->pspId = first->psp.AddPath(u"C:\\learned.exe");
    auto kept = manager.LoadCurrent(1);
    kept->psp.AddPath(u"C:\\lost.exe");
    SlotManager::ReleaseCurrent(kept);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "processsourcepath"));

    ASSERT_TRUE(manager.Table().SaveSlot(*first).Written());
    EXPECT_EQ(first->items[0]->pspId, 0u);
    auto third = manager.LoadCurrent(1);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->psp.FindByPath(u"c:\\LEARNED.exe"), 0u);
    EXPECT_EQ(third->psp.FindByPath(u"C:\\lost.exe"), kNoPspId);
    EXPECT_EQ(second->items.size(), 1u);
    SlotManager::ReleaseCurrent(second);
    SlotManager::ReleaseCurrent(third);
    SlotManager::ReleaseCurrent(third);  // nothing left: no effect
    SlotManager::ReleaseCurrent(first);
    EXPECT_TRUE(desktop.AllDestroyedOnce());
}

TEST_F(SlotManagerTest, WindowListsAreSetReplacedAppendedAndUpdated) {
    SlotManager manager(folder.Store(), windows);
    EXPECT_FALSE(manager.HasWindowList(2));
    EXPECT_FALSE(manager.GetWindowList(2).has_value());
    EXPECT_FALSE(manager.UpdateWindowList(2, [](WindowList& list) { list.clear(); }));

    manager.AppendWindowPairs(2, {{10, 1, 0}});
    ASSERT_TRUE(manager.HasWindowList(2));
    manager.AppendWindowPairs(2, {{11, 0, 0}, {12, 0, 0}});
    EXPECT_EQ(*manager.GetWindowList(2), (WindowList{{10, 1, 0}, {11, 0, 0}, {12, 0, 0}}));

    manager.SetWindowList(2, {{20, 0, 0}});
    EXPECT_EQ(*manager.GetWindowList(2), (WindowList{{20, 0, 0}}));
    EXPECT_TRUE(manager.UpdateWindowList(2, [](WindowList& list) { list[0].minimized = 1; }));
    EXPECT_EQ(*manager.GetWindowList(2), (WindowList{{20, 0, 1}}));
    EXPECT_FALSE(manager.HasWindowList(3));
}

TEST_F(SlotManagerTest, ReadingAListNullsClosedHandlesAndDropsListsWithoutOpenOnes) {
    SlotManager manager(folder.Store(), windows);
    manager.SetWindowList(0, {{1, 0, 0}, {2, 1, 1}});  // one closes
    manager.SetWindowList(1, {{3, 0, 0}, {0, 0, 0}});  // all closed
    manager.SetWindowList(2, {});                      // empty
    manager.SetWindowList(3, {{0, 0, 0}});             // only a zero handle
    manager.SetWindowList(4, {{5, 0, 0}});             // all open
    windows.Close(1);
    windows.Close(3);
    EXPECT_EQ(*manager.GetWindowList(0), (WindowList{{0, 0, 0}, {2, 1, 1}}));
    EXPECT_FALSE(manager.HasWindowList(1));
    EXPECT_FALSE(manager.HasWindowList(2));
    EXPECT_FALSE(manager.HasWindowList(3));
    EXPECT_EQ(*manager.GetWindowList(4), (WindowList{{5, 0, 0}}));
    EXPECT_FALSE(manager.UpdateWindowList(1, [](WindowList&) {})) << "dropped, not kept empty";
}

TEST_F(SlotManagerTest, DestroyingTheManagerLeavesWorkingSlotsOfOperationsAlone) {
    WriteSlot(0, u"one", 2);
    std::unique_ptr<Slot> slot;
    {
        SlotManager manager(folder.Store(), desktop);
        for (int i = 0; i < 3; ++i) manager.SetWindowList(i, {{WindowHandle(100 + i), 0, 0}});
        slot = manager.LoadCurrent(0);
        ASSERT_NE(slot, nullptr);
    }
    // The slot belongs to its operation, which can still finish after the manager is gone.
    EXPECT_EQ(slot->items.size(), 2u);
    EXPECT_EQ(desktop.DestroyedCount(), 0u);
    SlotManager::ReleaseCurrent(slot);
    EXPECT_TRUE(desktop.AllDestroyedOnce());
}

// The polling thread replaces and prunes lists while the user-interface thread appends to
// them and reads them. Each list is written as pairs that all carry one generation number in
// their handles, so a torn read or a lost append shows up as mixed or missing pairs.
TEST_F(SlotManagerTest, ConcurrentReplaceAppendPruneAndReadStayConsistent) {
    SlotManager manager(folder.Store(), windows);
    windows.Close(0xFF);  // the dead handle the user-interface thread keeps appending
    constexpr int kRounds = 2000;
    std::atomic<bool> failed{false};

    std::thread polling([&] {
        for (int round = 1; round <= kRounds; ++round) {
            const int slot = round % kSlotCount;
            const WindowHandle base = WindowHandle(round) << 8;
            manager.SetWindowList(slot, {{base | 1, 1, 0}, {base | 2, 1, 0}});
            (void)manager.GetWindowList((slot + 1) % kSlotCount);  // prunes as it reads
            manager.UpdateWindowList(slot, [](WindowList& list) {
                for (auto& pair : list) pair.minimized = 1;
            });
        }
    });
    std::thread ui([&] {
        for (int round = 1; round <= kRounds; ++round) {
            const int slot = (round * 7) % kSlotCount;
            manager.AppendWindowPairs(slot, {{0xFF, 0, 0}});
            if (auto list = manager.GetWindowList(slot)) {
                WindowHandle generation = 0;
                for (const auto& pair : *list) {
                    if ((pair.handle & 0xFF) == 0xFF || pair.handle == 0) continue;
                    if (generation == 0) generation = pair.handle >> 8;
                    if ((pair.handle >> 8) != generation || pair.maximize != 1) failed = true;
                }
            }
            manager.HasWindowList((round * 5) % kSlotCount);
        }
    });
    polling.join();
    ui.join();
    EXPECT_FALSE(failed);
    // Read after both threads: nothing dead remains anywhere.
    for (int i = 0; i < kSlotCount; ++i) {
        if (auto list = manager.GetWindowList(i)) {
            for (const auto& pair : *list) EXPECT_NE(pair.handle & 0xFF, 0xFFu);
            EXPECT_TRUE(std::any_of(list->begin(), list->end(),
                                    [](const HandleMaxiPair& p) { return p.handle != 0; }));
        }
    }
}

// Working slots of two operations on two threads: loading, learning paths and releasing at
// the same time never frees the other's slot, and the table file always holds whole records.
TEST_F(SlotManagerTest, ConcurrentOperationsEachUseTheirOwnSlot) {
    WriteSlot(0, u"one", 3);
    WriteSlot(1, u"two", 3);
    SlotManager manager(folder.Store(), desktop);
    std::atomic<bool> failed{false};
    auto operation = [&](int index, std::u16string path) {
        for (int round = 0; round < 50; ++round) {
            auto slot = manager.LoadCurrent(index);
            if (!slot || slot->items.size() != 3u) {
                failed = true;
                return;
            }
            slot->psp.AddPath(path + std::u16string(1, char16_t(u'a' + round % 26)));
            SlotManager::ReleaseCurrent(slot);
        }
    };
    std::thread a(operation, 0, u"C:\\a");
    std::thread b(operation, 1, u"C:\\b");
    a.join();
    b.join();
    EXPECT_FALSE(failed);
    EXPECT_EQ(testing::ReadBytes(folder.Path() / "processsourcepath").size() % 524, 0u);
    EXPECT_TRUE(desktop.AllDestroyedOnce());
}

}  // namespace
}  // namespace keyrack
