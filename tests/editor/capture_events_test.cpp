// What the capture thread's events mean, on the simulated desktop: which events call for a
// sample, which window the scoped hooks follow, when the stand-in timer runs, and that a click
// and a right click heard only as events still reach the editor's rules.
#include "editor/capture_events.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "editor/editor_state.h"
#include "tests/fakes/fake_desktop.h"

namespace keyrack::testing {
namespace {

struct NullView : EditorView {
    void ShowItem(const SlotItem&) override {}
    void ShowPosition(const SlotItem&) override {}
    void ClearFields() override { ++clears; }
    ItemFields ReadFields() override { return {}; }
    void RefusePosition(PositionField) override {}
    void AppendListEntry(const SlotItem&) override {}
    void RebuildList(std::span<const std::unique_ptr<SlotItem>>) override {}
    void RepaintPreview() override {}
    int clears = 0;
};

class CaptureEventsTest : public ::testing::Test {
  protected:
    WindowHandle Open(std::uint32_t thread = 1) {
        return m_desktop.AddWindow({.processId = m_notepadProcess, .threadId = thread});
    }
    std::optional<CaptureSample> Hear(DesktopEvent kind, WindowHandle window = 0, int button = 0) {
        return m_events.OnEvent({kind, window, button});
    }

    FakeDesktop m_desktop;
    std::uint32_t m_keyrack = m_desktop.AddProcess(u"C:\\Keyrack\\keyrack.exe");
    std::uint32_t m_notepadProcess = m_desktop.AddProcess(u"C:\\windows\\notepad.exe");
    WindowHandle m_editor = m_desktop.AddWindow({.processId = m_keyrack});
    MayTakeWindow m_mayTake = [this](WindowHandle window) {
        std::uint32_t process = 0;
        m_desktop.GetWindowThreadProcessId(window, &process);
        return process != m_keyrack;
    };
    CaptureEvents m_events{m_desktop, m_mayTake};
};

struct EventCase {
    const char* name;
    DesktopEvent kind;
    bool aboutFollowed;  // the event names the followed window (else a sibling of its thread)
    bool sampled;        // after the followed window moved: a sample with its new place
};

void PrintTo(const EventCase& c, std::ostream* os) { *os << c.name; }

class WhatAnEventMeans : public CaptureEventsTest,
                         public ::testing::WithParamInterface<EventCase> {};

TEST_P(WhatAnEventMeans, AfterTheFollowedWindowMoved) {
    const WindowHandle notepad = Open();
    const WindowHandle sibling = Open();
    m_desktop.ShowWindow(notepad, win::kSwShow);
    ASSERT_TRUE(Hear(DesktopEvent::kForeground, notepad));
    m_desktop.MoveByProgram(notepad, {10, 20, 410, 320});
    const auto sample =
        Hear(GetParam().kind, GetParam().aboutFollowed ? notepad : sibling, win::kVkLButton);
    ASSERT_EQ(sample.has_value(), GetParam().sampled);
    if (sample) {
        EXPECT_EQ(sample->rect, (Rect{10, 20, 410, 320}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Events, WhatAnEventMeans,
    ::testing::Values(EventCase{"location", DesktopEvent::kLocationChange, true, true},
                      EventCase{"sibling_location", DesktopEvent::kLocationChange, false, false},
                      EventCase{"move_end", DesktopEvent::kMoveSizeEnd, true, true},
                      EventCase{"sibling_move_end", DesktopEvent::kMoveSizeEnd, false, false},
                      EventCase{"restored", DesktopEvent::kMinimizeEnd, true, true},
                      EventCase{"sibling_restored", DesktopEvent::kMinimizeEnd, false, false},
                      EventCase{"button_up", DesktopEvent::kButtonUp, false, true},
                      EventCase{"timer", DesktopEvent::kTimer, false, true},
                      EventCase{"foreground", DesktopEvent::kForeground, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CaptureEventsTest, AnUnchangedDesktopHandsNothingOverAndButtonsAlwaysDo) {
    const WindowHandle notepad = Open();
    m_desktop.ShowWindow(notepad, win::kSwShow);
    ASSERT_TRUE(Hear(DesktopEvent::kForeground, notepad));
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Hear(DesktopEvent::kLocationChange, notepad));
    EXPECT_EQ(m_desktop.CountOf("OpenProcess"), 0u) << "no click, no process opened";
    const auto pressed = Hear(DesktopEvent::kButtonDown, 0, win::kVkRButton);
    ASSERT_TRUE(pressed) << "the hook hears the press before the button state shows it";
    EXPECT_TRUE(pressed->rightDown);
    EXPECT_FALSE(pressed->leftDown);
}

// The hook names the logical button; the button state is read from the physical ones.
struct ButtonCase {
    const char* name;
    bool swapped;
    int heard;     // the logical button the hook reports
    int physical;  // the physical button held down meanwhile
};

void PrintTo(const ButtonCase& c, std::ostream* os) { *os << c.name; }

class AHeldButton : public CaptureEventsTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(AHeldButton, IsTheOneButtonTheHookHeard) {
    const WindowHandle notepad = Open();
    m_desktop.ShowWindow(notepad, win::kSwShow);
    m_desktop.SetMouseButtonsSwapped(GetParam().swapped);
    m_desktop.SetKey(GetParam().physical, true);
    for (const DesktopEvent kind : {DesktopEvent::kButtonDown, DesktopEvent::kTimer}) {
        const auto sample = Hear(kind, 0, GetParam().heard);
        ASSERT_TRUE(sample);
        EXPECT_EQ(sample->leftDown, GetParam().heard == win::kVkLButton);
        EXPECT_EQ(sample->rightDown, GetParam().heard == win::kVkRButton);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, AHeldButton,
    ::testing::Values(ButtonCase{"left", false, win::kVkLButton, win::kVkLButton},
                      ButtonCase{"right", false, win::kVkRButton, win::kVkRButton},
                      ButtonCase{"left_swapped", true, win::kVkLButton, win::kVkRButton},
                      ButtonCase{"right_swapped", true, win::kVkRButton, win::kVkLButton}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CaptureEventsTest, TheHooksFollowTheWindowInFrontAndTheTimerStandsInUntilMovesAreHeard) {
    const WindowHandle notepad = Open(41);
    const WindowHandle sibling = Open(41);
    m_desktop.ShowWindow(notepad, win::kSwShow);
    Hear(DesktopEvent::kForeground, notepad);
    EXPECT_EQ(m_events.Followed(), (FollowedWindow{notepad, m_notepadProcess, 41}));
    EXPECT_TRUE(m_events.TimerWanted()) << "no location change heard yet";

    m_desktop.ShowWindow(m_editor, win::kSwShow);
    const auto paused = Hear(DesktopEvent::kForeground, m_editor);
    ASSERT_TRUE(paused);
    EXPECT_TRUE(paused->ignored);
    EXPECT_EQ(m_events.Followed(), FollowedWindow{}) << "no hooks while the editor is in front";
    EXPECT_FALSE(m_events.TimerWanted()) << "and no timer";

    m_desktop.DestroyWindow(m_editor);
    m_desktop.ShowWindow(notepad, win::kSwShow);
    Hear(DesktopEvent::kForeground, notepad);
    Hear(DesktopEvent::kLocationChange, sibling);
    EXPECT_TRUE(m_events.TimerWanted()) << "another window's move proves nothing";
    Hear(DesktopEvent::kLocationChange, notepad);
    EXPECT_FALSE(m_events.TimerWanted()) << "the followed window's moves are heard";
    m_desktop.ShowWindow(sibling, win::kSwShow);
    Hear(DesktopEvent::kForeground, sibling);
    EXPECT_EQ(m_events.Followed().window, sibling);
    EXPECT_FALSE(m_events.TimerWanted()) << "for every window followed after";
    m_desktop.DestroyWindow(sibling);
    m_desktop.DestroyWindow(notepad);
    Hear(DesktopEvent::kTimer);
    EXPECT_EQ(m_events.Followed(), FollowedWindow{}) << "a closed window is not followed";
}

// The rules fed by events alone: the press is heard while the editor is still in front, the
// foreground change while the button is held, the release after it.
TEST_F(CaptureEventsTest, AClickAndARightClickHeardAsEventsReachTheRules) {
    Slot slot{2, StorePaths{std::filesystem::path("no-such-folder")}};
    NullView view;
    PreviewModel preview;
    EditorSession session;
    EditorState state(slot, m_desktop, view, preview, session);
    auto hear = [&](DesktopEvent kind, WindowHandle window = 0, int button = 0) {
        if (auto sample = Hear(kind, window, button)) state.Apply(*sample);
    };
    const WindowHandle notepad = Open();
    m_desktop.ShowWindow(m_editor, win::kSwShow);
    hear(DesktopEvent::kForeground, m_editor);

    hear(DesktopEvent::kButtonDown, 0, win::kVkLButton);
    EXPECT_EQ(state.Current(), nullptr) << "the editor is still in front";
    m_desktop.SetKey(win::kVkLButton, true);
    m_desktop.ShowWindow(notepad, win::kSwShow);
    hear(DesktopEvent::kForeground, notepad);
    m_desktop.SetKey(win::kVkLButton, false);
    hear(DesktopEvent::kButtonUp, 0, win::kVkLButton);
    ASSERT_NE(state.Current(), nullptr);
    EXPECT_EQ(session.lastCaptured, notepad);

    m_desktop.MoveByProgram(notepad, {5, 6, 505, 406});
    hear(DesktopEvent::kLocationChange, notepad);
    EXPECT_EQ(state.Current()->x, 5) << "tracked";

    // A right click inside the editor changes no window: only the mouse hook hears it.
    m_desktop.ShowWindow(m_editor, win::kSwShow);
    hear(DesktopEvent::kForeground, m_editor);
    hear(DesktopEvent::kButtonDown, 0, win::kVkRButton);
    EXPECT_EQ(state.Current(), nullptr);
    EXPECT_GE(view.clears, 1);
}

}  // namespace
}  // namespace keyrack::testing
