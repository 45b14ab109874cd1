// The editor's rules on the simulated desktop: each pass samples the fake desktop as the
// capture thread does and applies the sample as the user-interface thread does.
#include "editor/editor_state.h"
#include "platform/text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/fakes/fake_desktop.h"

namespace keyrack::testing {
namespace {

constexpr char16_t kNotepad[] = u"C:\\windows\\system32\\notepad.exe";

// Records what the rules show; the fields hold what a test typed.
class RecordingView : public EditorView {
  public:
    void ShowItem(const SlotItem& item) override { shown = &item; }
    void ShowPosition(const SlotItem&) override { ++positionWrites; }
    void ClearFields() override { shown = nullptr, ++clears; }
    ItemFields ReadFields() override { return fields; }
    void RefusePosition(PositionField field) override { refused.push_back(field); }
    void AppendListEntry(const SlotItem& item) override { list.push_back(item.name); }
    void RebuildList(std::span<const std::unique_ptr<SlotItem>> items) override {
        list.clear();
        for (const auto& item : items) list.push_back(item->name);
    }
    void RepaintPreview() override {}

    const SlotItem* shown = nullptr;
    int positionWrites = 0, clears = 0;
    ItemFields fields{.x = u"0", .y = u"0", .width = u"50", .height = u"50"};
    std::vector<std::u16string> list;
    std::vector<PositionField> refused;
};

class EditorRules : public ::testing::Test {
  protected:
    WindowHandle Open(std::u16string path, std::u16string title = u"제목 없음 - 메모장") {
        FakeWindow window{.processId = m_desktop.AddProcess(std::move(path)), .title = title};
        return m_desktop.AddWindow(window);
    }
    // The user clicks a window (it comes to the front) with a button; 0: nothing in front.
    void Click(WindowHandle window, int button = win::kVkLButton) {
        if (window != 0) m_desktop.ShowWindow(window, win::kSwShow);
        m_desktop.SetKey(button, true);
        Pass();
        Pass();
        m_desktop.SetKey(button, false);
        Pass();
    }
    void Pass() { m_state.Apply(SampleDesktop(m_desktop, m_mayTake)); }
    std::vector<std::u16string> Previewed() const {
        std::vector<std::u16string> names;
        for (const auto& entry : m_preview.Entries()) names.push_back(entry.item->name);
        return names;
    }

    FakeDesktop m_desktop;
    std::uint32_t m_keyrack = m_desktop.AddProcess(u"C:\\Keyrack\\keyrack.exe");
    WindowHandle m_editor = m_desktop.AddWindow({.processId = m_keyrack});
    WindowHandle m_taskbar = m_desktop.AddWindow({});
    MayTakeWindow m_mayTake = [this](WindowHandle window) {
        std::uint32_t process = 0;
        m_desktop.GetWindowThreadProcessId(window, &process);
        return process != m_keyrack && window != m_taskbar;
    };
    Slot m_slot{2, StorePaths{std::filesystem::path("no-such-folder")}};
    RecordingView m_view;
    PreviewModel m_preview;
    EditorSession m_session;
    EditorState m_state{m_slot, m_desktop, m_view, m_preview, m_session};
};

TEST_F(EditorRules, CaptureAddsOneTableEntryPerProgram) {
    m_slot.psp.Add(4, u"C:\\other.exe");
    m_slot.psp.lastId = 4;
    Click(Open(kNotepad));
    const SlotItem* first = m_state.Current();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->pspId, 5u);
    EXPECT_TRUE(m_slot.psp.dirty);
    EXPECT_EQ(first->fileName, u"notepad.exe");
    EXPECT_EQ(first->width, 800);
    EXPECT_EQ(m_preview.Selected(), first);

    Click(Open(u"C:\\WINDOWS\\System32\\NOTEPAD.EXE", u"second"));
    EXPECT_EQ(m_state.Current()->name, u"second") << "another window replaces the unsaved item";
    EXPECT_EQ(m_state.Current()->pspId, 5u);
    EXPECT_EQ(m_slot.psp.paths.size(), 2u);
    EXPECT_EQ(Previewed(), std::vector<std::u16string>{u"second"});

    // A packaged app launches by its shell target; the table keeps the program to look for.
    constexpr char16_t kPackaged[] = u"C:\\Program Files\\WindowsApps\\N_1.0.0.0_x64__p\\N.exe";
    const WindowHandle packaged = Open(kPackaged, u"packaged");
    std::uint32_t process = 0;
    m_desktop.GetWindowThreadProcessId(packaged, &process);
    m_desktop.SetProcessAumid(process, u"N_p!App");
    Click(packaged);
    EXPECT_EQ(m_state.Current()->path, u"shell:AppsFolder\\N_p!App");
    EXPECT_EQ(m_state.Current()->fileName, u"N.exe");
    EXPECT_EQ(m_slot.psp.paths.at(m_state.Current()->pspId), kPackaged);
}

TEST_F(EditorRules, TheSameWindowTwiceKeepsTheItemUntilAClickOnNothing) {
    const WindowHandle notepad = Open(kNotepad);
    Click(notepad);
    Click(m_editor);
    m_desktop.SetWindowTitle(notepad, u"renamed");
    Click(notepad);
    EXPECT_EQ(m_state.Current()->name, u"제목 없음 - 메모장");

    m_desktop.ShowWindow(notepad, win::kSwHide);
    Click(0);
    Click(notepad);
    EXPECT_EQ(m_state.Current()->name, u"renamed");
}

TEST_F(EditorRules, TrackingFollowsTheForegroundWindowUntilTheEditorIsInFront) {
    const WindowHandle notepad = Open(kNotepad);
    Click(notepad);
    const int writes = m_view.positionWrites;
    for (int i = 0; i < 5; ++i) Pass();
    EXPECT_EQ(m_view.positionWrites, writes) << "an unmoved window writes nothing";
    m_desktop.MoveWindow(notepad, 300, 200, 640, 480, true);
    Pass();
    EXPECT_EQ(m_state.Current()->x, 300);
    EXPECT_EQ(m_view.positionWrites, writes + 1);
    m_desktop.ShowWindow(notepad, win::kSwShowMaximized);
    Pass();
    EXPECT_EQ(m_state.Current()->maximize, 1);

    Click(m_editor);
    m_desktop.MoveWindow(notepad, 0, 0, 100, 100, true);
    Pass();
    EXPECT_EQ(m_state.Current()->x, -4) << "no tracking while the editor is in front";
    m_desktop.ShowWindow(Open(u"C:\\calc.exe"), win::kSwShow);
    Pass();
    EXPECT_EQ(m_state.Current()->x, 100) << "whichever window is in front";
}

TEST_F(EditorRules, WindowsKeyrackLeavesAloneAreNeverCapturedOrTracked) {
    const WindowHandle notepad = Open(kNotepad);
    Click(notepad);
    m_desktop.MoveWindow(notepad, 0, 0, 10, 10, true);
    Pass();
    for (const WindowHandle ignored : {m_taskbar, m_desktop.AddWindow({.processId = m_keyrack})}) {
        m_desktop.MoveWindow(ignored, 7, 7, 70, 70, true);
        Click(ignored);
        EXPECT_EQ(m_state.Current()->x, 0) << "neither captured nor tracked";
        EXPECT_EQ(m_session.lastCaptured, notepad);
    }
}

TEST_F(EditorRules, RightButtonDropsTheItemBeingEditedInBothModes) {
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

TEST_F(EditorRules, SaveAndRemoveOnlyActOnWhatTheyMayChange) {
    EXPECT_EQ(m_state.Open(), u"F3 슬롯") << "a slot without a file";
    m_state.Save();
    EXPECT_EQ(m_view.clears, 0) << "Save in Idle does nothing";
    for (const char16_t* name : {u"a", u"b", u"c"}) {
        Click(Open(kNotepad, name));
        m_state.Remove();  // a new item is not the slot's: nothing happens
        m_state.Save();
    }
    m_state.OpenEntry(1);
    m_state.Remove();
    ASSERT_EQ(m_slot.items.size(), 2u);
    EXPECT_EQ(m_slot.items[1]->index, 1);
    EXPECT_EQ(m_slot.items[1]->name, u"c");
    EXPECT_EQ(m_view.list, (std::vector<std::u16string>{u"a", u"c"}));
    EXPECT_EQ(Previewed(), (std::vector<std::u16string>{u"a", u"c"}));
}

// A position out of range is refused like a character the field refuses, and nothing is saved;
// a path edited to another program gets that program's id, a document keeps the captured one.
TEST_F(EditorRules, SaveRefusesPositionsOutOfRangeAndGivesAnEditedProgramItsOwnId) {
    Click(Open(kNotepad));
    const std::uint32_t captured = m_state.Current()->pspId;
    for (auto [text, field] : {std::pair{&ItemFields::width, PositionField::kWidth},
                               std::pair{&ItemFields::x, PositionField::kX}}) {
        const std::u16string valid = std::exchange(m_view.fields.*text, u"-32769");
        m_state.Save();
        m_view.fields.*text = valid;
    }
    EXPECT_EQ(m_view.refused, (std::vector{PositionField::kWidth, PositionField::kX}));
    for (const char16_t* path : {u"C:\\Apps\\Code - Insiders.EXE", u"C:\\Docs\\report.pdf"}) {
        m_view.fields.path = path;
        m_state.Save();
        Click(Open(kNotepad, path));
    }
    ASSERT_EQ(m_slot.items.size(), 2u) << "the refused saves saved nothing";
    EXPECT_EQ(*m_slot.psp.PathOf(m_slot.items[0]->pspId), u"C:\\Apps\\Code - Insiders.EXE");
    EXPECT_EQ(m_slot.items[1]->pspId, captured);
}

struct SaveCase {
    const char* name;
    std::u16string title;  // of the window at Save
    bool closed;           // the window has closed since the capture
    std::u16string saved;
};

void PrintTo(const SaveCase& c, std::ostream* os) { *os << c.name; }

class SaveName : public EditorRules, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveName, TakesTheWindowsTitleCutAsTheStoreCuts) {
    const WindowHandle window = Open(kNotepad, GetParam().title);
    Click(window);
    if (GetParam().closed) m_desktop.DestroyWindow(window);
    m_view.fields = {u"C:\\typed.exe", u"shown", u"", u"-12", u"7", u"1000", u"50", true};
    m_state.Save();
    ASSERT_EQ(m_slot.items.size(), 1u);
    const SlotItem& item = *m_slot.items[0];
    EXPECT_EQ(item.name, GetParam().saved);
    EXPECT_EQ(item.path, u"C:\\typed.exe");
    EXPECT_EQ((std::vector{item.x, item.y, item.width, item.height}),
              (std::vector{-12, 7, 1000, 50}));
    EXPECT_EQ(item.maximize, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, SaveName,
    ::testing::Values(SaveCase{"live", u"renamed", false, u"renamed"},
                      SaveCase{"closed_keeps_the_shown_name", u"gone", true, u"shown"},
                      SaveCase{"no_cut_pair", std::u16string(254, u'가') + u"\U0001F600", false,
                               std::u16string(254, u'가')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorRules, OnlyChangesAndButtonPassesAreHandedOverAndOnlyClicksOpenProcesses) {
    m_desktop.ShowWindow(Open(kNotepad), win::kSwShow);
    SampleFilter filter;
    auto handedOver = [&](int passes) {
        int n = 0;
        for (int i = 0; i < passes; ++i) {
            n += filter.ShouldHandOver(SampleDesktop(m_desktop, m_mayTake));
        }
        return n;
    };
    EXPECT_EQ(handedOver(100), 1) << "an idle desktop costs one sample";
    m_desktop.SetKey(win::kVkRButton, true);
    EXPECT_EQ(handedOver(100), 100);
    EXPECT_EQ(m_desktop.CountOf("OpenProcess"), 0u);
    m_desktop.SetKey(win::kVkRButton, false);
    EXPECT_EQ(handedOver(100), 1) << "the release";
}

}  // namespace
}  // namespace keyrack::testing
