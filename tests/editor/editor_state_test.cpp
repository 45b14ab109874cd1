// The editor's rules on the simulated desktop: each pass samples the fake desktop as the
// capture thread does and applies the sample as the user-interface thread does.
#include "editor/editor_state.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "editor/capture_sample.h"
#include "editor/field_text.h"
#include "tests/fakes/fake_desktop.h"

namespace keyrack::testing {
namespace {

constexpr char16_t kNotepad[] = u"C:\\windows\\system32\\notepad.exe";

// Records what the rules tell the editor to show; the fields hold what a test typed.
class RecordingView : public EditorView {
  public:
    void ShowItem(const SlotItem& item) override { shown = &item, ++showItem; }
    void ShowPosition(const SlotItem&) override { ++showPosition; }
    void ClearFields() override { shown = nullptr, ++clearFields; }
    ItemFields ReadFields() override { return fields; }
    void AppendListEntry(const SlotItem& item) override { list.push_back(item.fileName); }
    void RebuildList(std::span<const std::unique_ptr<SlotItem>> items) override {
        list.clear();
        for (const auto& item : items) list.push_back(item->fileName);
    }
    void RepaintPreview() override { ++repaints; }

    const SlotItem* shown = nullptr;
    int showItem = 0, showPosition = 0, clearFields = 0, repaints = 0;
    ItemFields fields;
    std::vector<std::u16string> list;
};

class EditorRules : public ::testing::Test {
  protected:
    EditorRules() { EditorState::ForgetLastCaptured(); }

    WindowHandle Open(std::u16string path, Rect rect = {100, 100, 900, 700},
                      std::u16string title = u"제목 없음 - 메모장") {
        FakeWindow window;
        window.processId = m_desktop.AddProcess(std::move(path));
        window.normalRect = rect;
        window.title = std::move(title);
        return m_desktop.AddWindow(window);
    }
    void Pass() { m_state.Apply(SampleDesktop(m_desktop, m_mayTake)); }
    // The user clicks a window (it comes to the front) with the given button.
    void Click(WindowHandle window, int button = win::kVkLButton) {
        if (window != 0) m_desktop.ShowWindow(window, win::kSwShow);
        m_desktop.SetKey(button, true);
        Pass();
        Pass();
        m_desktop.SetKey(button, false);
        Pass();
    }
    void ClickEditor(int button = win::kVkLButton) { Click(m_editor, button); }
    std::vector<std::u16string> PreviewOrder() const {
        std::vector<std::u16string> names;
        for (const auto& entry : m_preview.Entries()) names.push_back(entry.item->name);
        return names;
    }

    FakeDesktop m_desktop;
    std::uint32_t m_ownProcess = m_desktop.AddProcess(u"C:\\Keyrack\\keyrack.exe");
    WindowHandle m_editor = [this] {
        FakeWindow editor;
        editor.processId = m_ownProcess;
        return m_desktop.AddWindow(editor);
    }();
    WindowHandle m_taskbar = m_desktop.AddWindow({});
    MayTakeWindow m_mayTake = [this](WindowHandle window) {
        std::uint32_t process = 0;
        m_desktop.GetWindowThreadProcessId(window, &process);
        return process != m_ownProcess && window != m_taskbar;
    };
    Slot m_slot{2, StorePaths{std::filesystem::path("no-such-folder")}, m_desktop};
    RecordingView m_view;
    PreviewModel m_preview;
    EditorState m_state{m_slot, m_desktop, m_view, m_preview};
};

TEST_F(EditorRules, CaptureAddsOneTableEntryPerProgram) {
    m_slot.psp.Add(4, u"C:\\other.exe");
    m_slot.psp.lastId = 4;
    Click(Open(kNotepad, {10, 20, 410, 320}));
    const SlotItem* first = m_state.Current();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->pspId, 5u);
    EXPECT_EQ(m_slot.psp.lastId, 5u);
    EXPECT_TRUE(m_slot.psp.dirty);
    EXPECT_EQ(first->fileName, u"notepad.exe");
    EXPECT_EQ(first->name, u"제목 없음 - 메모장");
    EXPECT_EQ((Rect{first->x, first->y, first->x + first->width, first->y + first->height}),
              (Rect{10, 20, 410, 320}));
    EXPECT_EQ(m_preview.Selected(), first);

    Click(Open(u"C:\\WINDOWS\\System32\\NOTEPAD.EXE", {}, u"second"));
    EXPECT_EQ(m_state.Current()->name, u"second") << "another window replaces the unsaved item";
    EXPECT_EQ(m_state.Current()->pspId, 5u);
    EXPECT_EQ(m_slot.psp.paths.size(), 2u);
    EXPECT_EQ(m_preview.Entries().size(), 1u) << "the discarded item left the preview";
}

TEST_F(EditorRules, TheSameWindowTwiceKeepsTheItem) {
    const WindowHandle notepad = Open(kNotepad);
    Click(notepad);
    const SlotItem* item = m_state.Current();
    ClickEditor();
    m_desktop.SetWindowTitle(notepad, u"renamed");
    Click(notepad);
    EXPECT_EQ(m_state.Current(), item);
    EXPECT_EQ(m_state.Current()->name, u"제목 없음 - 메모장");
    EXPECT_EQ(EditorState::LastCaptured(), notepad);

    // The left button down with nothing in front forgets it: the window is captured afresh.
    m_desktop.ShowWindow(notepad, win::kSwHide);
    Click(0);
    Click(notepad);
    EXPECT_EQ(m_state.Current()->name, u"renamed");
}

TEST_F(EditorRules, TrackingFollowsTheForegroundWindowUntilTheEditorIsInFront) {
    const WindowHandle notepad = Open(kNotepad);
    Click(notepad);
    const int written = m_view.showPosition;
    for (int i = 0; i < 5; ++i) Pass();
    EXPECT_EQ(m_view.showPosition, written) << "an unmoved window writes nothing";

    m_desktop.MoveWindow(notepad, 300, 200, 640, 480, true);
    Pass();
    EXPECT_EQ(m_state.Current()->x, 300);
    EXPECT_EQ(m_state.Current()->height, 480);
    EXPECT_EQ(m_view.showPosition, written + 1);
    m_desktop.ShowWindow(notepad, win::kSwShowMaximized);
    Pass();
    EXPECT_EQ(m_state.Current()->maximize, 1);

    ClickEditor();
    m_desktop.MoveWindow(notepad, 0, 0, 100, 100, true);
    Pass();
    EXPECT_EQ(m_state.Current()->x, -4) << "no tracking while the editor is in front";

    const WindowHandle other = Open(u"C:\\calc.exe", {50, 60, 250, 260});
    m_desktop.ShowWindow(other, win::kSwShow);
    Pass();
    EXPECT_EQ(m_state.Current()->x, 50) << "whichever window is in front";
    EXPECT_EQ(m_state.Current()->path, kNotepad);
}

TEST_F(EditorRules, WindowsKeyrackLeavesAloneAreNeverCapturedOrTracked) {
    const WindowHandle notepad = Open(kNotepad);
    Click(notepad);
    const SlotItem* item = m_state.Current();
    FakeWindow about;
    about.processId = m_ownProcess;
    for (const WindowHandle ignored : {m_taskbar, m_desktop.AddWindow(about)}) {
        Click(ignored);
        EXPECT_EQ(m_state.Current(), item);
        EXPECT_EQ(m_state.Current()->x, 100) << "not tracked";
        EXPECT_EQ(EditorState::LastCaptured(), notepad);
    }
    EXPECT_EQ(m_slot.psp.paths.size(), 1u);
}

TEST_F(EditorRules, RightButtonDropsTheItemBeingEdited) {
    Click(Open(kNotepad));
    m_state.Save();
    Click(Open(u"C:\\calc.exe"));
    Click(m_editor, win::kVkRButton);
    EXPECT_EQ(m_state.Current(), nullptr);
    EXPECT_EQ(m_preview.Entries().size(), 1u) << "the new item is discarded";

    m_state.OpenEntry(0);
    ASSERT_EQ(m_state.Mode(), EditMode::Existing);
    Click(m_editor, win::kVkRButton);
    EXPECT_EQ(m_state.Current(), nullptr);
    EXPECT_EQ(m_view.shown, nullptr) << "every field emptied";
    EXPECT_EQ(m_slot.items.size(), 1u) << "the existing item stays in the slot";
    EXPECT_EQ(m_preview.Selected(), nullptr);
}

TEST_F(EditorRules, SaveInIdleAndRemoveOfANewItemDoNothing) {
    m_state.Save();
    EXPECT_EQ(m_view.clearFields, 0);
    Click(Open(kNotepad));
    m_state.Remove();
    EXPECT_NE(m_state.Current(), nullptr);
    EXPECT_TRUE(m_slot.items.empty());
}

TEST_F(EditorRules, RemovingTheSecondOfThreeRenumbers) {
    for (const char16_t* name : {u"a", u"b", u"c"}) {
        Click(Open(kNotepad, {0, 0, 10, 10}, name));
        m_state.Save();
    }
    ASSERT_EQ(PreviewOrder(), (std::vector<std::u16string>{u"a", u"b", u"c"}));
    m_state.OpenEntry(1);
    m_state.Remove();
    ASSERT_EQ(m_slot.items.size(), 2u);
    EXPECT_EQ(m_slot.items[0]->index, 0);
    EXPECT_EQ(m_slot.items[1]->index, 1);
    EXPECT_EQ(m_slot.items[1]->name, u"c");
    EXPECT_EQ(m_view.list.size(), 2u);
    EXPECT_EQ(PreviewOrder(), (std::vector<std::u16string>{u"a", u"c"}));
}

struct SaveCase {
    const char* name;
    std::u16string title;  // of the live window at Save; none: the window has closed
    bool closed;
    std::u16string saved;
};

void PrintTo(const SaveCase& c, std::ostream* os) { *os << c.name; }

class SaveName : public EditorRules, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveName, TakesTheWindowsTitleCutAsTheStoreCuts) {
    const SaveCase& c = GetParam();
    const WindowHandle window = Open(kNotepad, {}, c.title);
    Click(window);
    if (c.closed) m_desktop.DestroyWindow(window);
    m_view.fields = {u"C:\\typed.exe", u"shown name", u"-x", u"-12", u"7", u"abc", u"", true};
    m_state.Save();
    const SlotItem& item = *m_slot.items.at(0);
    EXPECT_EQ(item.name, c.saved);
    EXPECT_EQ(item.path, u"C:\\typed.exe");
    EXPECT_EQ((std::vector<int>{item.x, item.y, item.width, item.height}),
              (std::vector<int>{-12, 7, 0, 0}));
    EXPECT_EQ(item.maximize, 1);
}

const std::u16string kLongTitle = std::u16string(254, u'가') + u"\U0001F600";

INSTANTIATE_TEST_SUITE_P(Titles, SaveName,
                         ::testing::Values(SaveCase{"live", u"renamed", false, u"renamed"},
                                           SaveCase{"closed_keeps_the_shown_name", u"gone", true,
                                                    u"shown name"},
                                           SaveCase{"surrogate_pair_at_the_end", kLongTitle, false,
                                                    std::u16string(254, u'가')}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FieldText, NumbersAndNames) {
    EXPECT_EQ(ParseSignedNumber(u" -2147483648 "), INT32_MIN);
    EXPECT_EQ(ParseSignedNumber(u"2147483648"), 0);
    EXPECT_EQ(ParseSignedNumber(u"-"), 0);
    EXPECT_EQ(ParseSignedNumber(u"1 2"), 0);
    EXPECT_EQ(DefaultSlotName(2), u"F3 슬롯");
    EXPECT_EQ(FileNameOf(u"notepad.exe"), u"notepad.exe");
}

}  // namespace
}  // namespace keyrack::testing
