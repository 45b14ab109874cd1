// The editor flow with a scripted dialog: what OK and Cancel leave in the window lists, the
// slot file and the table file, and one editor at a time.
#include "editor/edit_slot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

#include "editor/field_text.h"
#include "tests/fakes/open_windows_desktop.h"

namespace keyrack {
namespace {

struct ScriptedDialog : SlotEditorDialog {
    explicit ScriptedDialog(std::function<bool(Slot&)> script) : script(std::move(script)) {}
    bool Run(Slot& slot, EditorSession&, const SaveEditedSlot& save) override {
        return script(slot) && save().Written();
    }
    void BringToFront() override { ++fronts; }
    std::function<bool(Slot&)> script;
    int fronts = 0;
};

// Reads the slot, captures window 0x10 (maximised) after its file item, and answers `ok`.
bool CaptureOne(Slot& slot, bool ok) {
    slot.Load();
    slot.items.push_back(std::make_unique<SlotItem>());
    slot.items.back()->window = 0x10;
    slot.items.back()->maximize = 1;
    slot.items.back()->pspId = slot.psp.AddPath(u"C:\\new.exe");
    return ok;
}

class EditSlotFlow : public ::testing::TestWithParam<bool> {
  protected:
    EditSlotFlow() {
        std::filesystem::create_directories(m_paths.dataFolder);
        Slot slot(2, m_paths);
        slot.items.push_back(std::make_unique<SlotItem>());
        slot.Save();
        slot.Release();
    }
    ~EditSlotFlow() override { std::filesystem::remove_all(m_paths.dataFolder); }
    std::uintmax_t FileSize(int index) {
        return std::filesystem::file_size(m_paths.SlotFile(index));
    }

    testing::OpenWindowsDesktop m_desktop;
    StorePaths m_paths{std::filesystem::temp_directory_path() /
                       ("keyrack-edit-" + std::to_string(std::random_device()()))};
    SlotManager m_manager{m_paths, m_desktop};
    EditorSession m_session;
};

TEST_P(EditSlotFlow, OkExtendsTheWindowListAndWritesTheSlot) {
    const bool hadList = GetParam();
    if (hadList) m_manager.SetWindowList(2, {{0x99, 0, 1}});
    ScriptedDialog dialog([](Slot& slot) { return CaptureOne(slot, true); });
    EditSlot(m_manager, m_session, 2, dialog);
    const WindowList expected =
        hadList ? WindowList{{0x99, 0, 1}, {0x10, 1, 0}} : WindowList{{0, 0, 0}, {0x10, 1, 0}};
    EXPECT_EQ(m_manager.GetWindowList(2), expected);
    EXPECT_EQ(FileSize(2), kSlotHeaderSize + 2 * kSlotItemSize);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutList, EditSlotFlow, ::testing::Bool());

TEST_F(EditSlotFlow, OkOnASlotWhoseWindowsHaveAllClosedStartsAFreshList) {
    m_manager.SetWindowList(2, {{0x99, 0, 1}});
    m_desktop.Close(0x99);
    ScriptedDialog dialog([](Slot& slot) { return CaptureOne(slot, true); });
    EditSlot(m_manager, m_session, 2, dialog);
    EXPECT_EQ(m_manager.GetWindowList(2), (WindowList{{0, 0, 0}, {0x10, 1, 0}}));
}

TEST_F(EditSlotFlow, CancelKeepsFileListAndTable) {
    ScriptedDialog dialog([](Slot& slot) { return CaptureOne(slot, false); });
    EditSlot(m_manager, m_session, 2, dialog);
    EXPECT_FALSE(m_manager.HasWindowList(2));
    EXPECT_EQ(FileSize(2), kSlotHeaderSize + kSlotItemSize);
    EXPECT_FALSE(std::filesystem::exists(m_paths.TableFile()));
}

TEST_F(EditSlotFlow, ASlotWithoutFileGetsItsDefaultNameAndOneEditorAtATime) {
    ScriptedDialog second([](Slot&) { return true; });
    ScriptedDialog first([&](Slot& slot) {
        EditSlot(m_manager, m_session, 5, second);  // the tray's command while the editor is open
        if (!slot.Load()) slot.name = DefaultSlotName(slot.index);
        return true;
    });
    EditSlot(m_manager, m_session, 3, first);
    EXPECT_EQ(first.fronts, 1);
    EXPECT_FALSE(std::filesystem::exists(m_paths.SlotFile(5)));
    EXPECT_EQ(FileSize(3), kSlotHeaderSize);
    Slot written(3, m_paths);
    ASSERT_TRUE(written.Load());
    EXPECT_EQ(written.name, u"F4 슬롯");
}

}  // namespace
}  // namespace keyrack
