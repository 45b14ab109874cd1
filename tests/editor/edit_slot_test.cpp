// The editing flow of the slot manager, with a scripted editor in place of the dialog: what OK
// and Cancel leave in the slot file, the window list and the table file.
#include <gtest/gtest.h>

#include <optional>

#include "editor/editor_state.h"
#include "slots/slot_manager.h"
#include "tests/slots/slot_test_support.h"

namespace keyrack {
namespace {

using testing::IconCountingDesktop;
using testing::ReadBytes;
using testing::TempFolder;

constexpr int kIndex = 2;  // F3
constexpr char16_t kCapturedPath[] = u"C:\\windows\\system32\\notepad.exe";

class NoView : public EditorView {
  public:
    void ShowItem(const SlotItem&) override {}
    void ShowPosition(const SlotItem&) override {}
    void ClearFields() override {}
    ItemFields ReadFields() override { return {}; }
    void AppendListEntry(const SlotItem&) override {}
    void RebuildList(std::span<const std::unique_ptr<SlotItem>>) override {}
    void RepaintPreview() override {}
};

// Opens the slot with the editor's rules, "captures" windows 100, 101, ... and saves them as
// items, then ends with OK (keeping the name shown) or Cancel.
class ScriptedEditor : public SlotEditorDialog {
  public:
    ScriptedEditor(int captures, bool ok) : m_captures(captures), m_ok(ok) {}
    bool Run(Slot& slot) override {
        ++runs;
        NoView view;
        PreviewModel preview;
        EditorState state(slot, slot.GetDesktop(), view, preview);
        shownName = state.Open();
        for (int k = 0; k < m_captures; ++k) {
            auto item = std::make_unique<SlotItem>();
            item->path = kCapturedPath;
            item->pspId = slot.psp.AddPath(kCapturedPath);
            item->window = WindowHandle(100 + k);
            item->maximize = static_cast<std::uint8_t>(k % 2);
            item->index = static_cast<std::int8_t>(slot.items.size());
            slot.items.push_back(std::move(item));
        }
        if (whileOpen) whileOpen();
        if (m_ok) state.Confirm(shownName);
        return m_ok;
    }
    void BringToFront() override { ++broughtToFront; }

    std::function<void()> whileOpen;
    std::u16string shownName;
    int runs = 0, broughtToFront = 0;

  private:
    int m_captures;
    bool m_ok;
};

struct EditCase {
    const char* name;
    int fileItems;  // -1: no slot file
    std::optional<WindowList> listBefore;
    int captures;
    bool ok;
    std::optional<WindowList> listAfter;
};

void PrintTo(const EditCase& c, std::ostream* out) { *out << c.name; }

class EditSlotTest : public ::testing::TestWithParam<EditCase> {
  protected:
    void WriteSlotFile(int items) {
        Slot slot(kIndex, folder.Store(), desktop);
        slot.name = u"work";
        for (int k = 0; k < items; ++k) {
            auto item = std::make_unique<SlotItem>();
            item->index = static_cast<std::int8_t>(k);
            item->pspId = kNoPspId;
            slot.items.push_back(std::move(item));
        }
        ASSERT_EQ(slot.Save(), SaveResult::kSaved);
        slot.Release();
    }
    std::filesystem::path SlotFile() const { return folder.Store().SlotFile(kIndex); }

    TempFolder folder;
    IconCountingDesktop desktop;
};

TEST_P(EditSlotTest, OkExtendsTheListAndWritesTheSlotCancelKeepsBoth) {
    const EditCase& c = GetParam();
    if (c.fileItems >= 0) WriteSlotFile(c.fileItems);
    const auto fileBefore = ReadBytes(SlotFile());
    SlotManager manager(folder.Store(), desktop);
    if (c.listBefore) manager.SetWindowList(kIndex, *c.listBefore);

    ScriptedEditor editor(c.captures, c.ok);
    ::testing::internal::CaptureStdout();
    manager.EditSlot(kIndex, editor);
    ::testing::internal::GetCapturedStdout();

    EXPECT_EQ(editor.runs, 1);
    EXPECT_EQ(editor.shownName, c.fileItems >= 0 ? u"work" : u"F3 슬롯");
    EXPECT_EQ(manager.GetWindowList(kIndex), c.listAfter);
    const auto fileAfter = ReadBytes(SlotFile());
    if (c.ok) {
        const int items = std::max(c.fileItems, 0) + c.captures;
        EXPECT_EQ(fileAfter.size(), kSlotHeaderSize + std::size_t(items) * kSlotItemSize);
        Slot reread(kIndex, folder.Store(), desktop);
        ASSERT_TRUE(reread.Load());
        EXPECT_EQ(reread.name, editor.shownName);
    } else {
        EXPECT_EQ(fileAfter, fileBefore) << "Cancel writes no slot file";
    }
    // Paths learned by captures reach the table file whatever the outcome.
    Slot fresh(kIndex, folder.Store(), desktop);
    EXPECT_EQ(fresh.psp.FindByPath(kCapturedPath) != kNoPspId, c.captures > 0);
    fresh.Release();
    EXPECT_TRUE(desktop.AllDestroyedOnce());
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, EditSlotTest,
    ::testing::Values(
        // Pairs in item order; the file item's pair has no window.
        EditCase{"OkWithoutList", 1, std::nullopt, 2, true,
                 WindowList{{0, 0, 0}, {100, 0, 0}, {101, 1, 0}}},
        EditCase{"OkOnDeployedSlotAppendsOnlyCaptures", 1, WindowList{{7, 1, 1}}, 2, true,
                 WindowList{{7, 1, 1}, {100, 0, 0}, {101, 1, 0}}},
        EditCase{"OkOnDeployedSlotWithoutCaptures", 2, WindowList{{7, 0, 0}}, 0, true,
                 WindowList{{7, 0, 0}}},
        EditCase{"CancelKeepsFileAndList", 1, WindowList{{7, 0, 0}}, 1, false,
                 WindowList{{7, 0, 0}}},
        EditCase{"CancelWithoutFileWritesNone", -1, std::nullopt, 1, false, std::nullopt},
        EditCase{"OkWithoutFileWritesTheDefaultName", -1, std::nullopt, 0, true, WindowList{}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditSlotTest, ASecondEditWhileOneIsOpenBringsTheOpenEditorToFront) {
    WriteSlotFile(1);
    SlotManager manager(folder.Store(), desktop);
    ScriptedEditor first(1, true), second(1, true);
    first.whileOpen = [&] {
        manager.EditSlot(5, second);
        manager.EditSlot(kIndex, second);
    };
    ::testing::internal::CaptureStdout();
    manager.EditSlot(kIndex, first);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(second.runs, 0);
    EXPECT_EQ(first.broughtToFront, 2);
    EXPECT_EQ(manager.GetWindowList(kIndex), (WindowList{{0, 0, 0}, {100, 0, 0}}));
    // Closed again: the next edit opens.
    manager.EditSlot(kIndex, second);
    EXPECT_EQ(second.runs, 1);
}

}  // namespace
}  // namespace keyrack
