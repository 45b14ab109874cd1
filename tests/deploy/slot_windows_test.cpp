// Toggling, raising, minimising, closing and pruning of slot window lists.
#include <gtest/gtest.h>

#include "deploy/slot_windows.h"
#include "platform/run_log.h"
#include "tests/deploy/deploy_fixture.h"

namespace keyrack::testing {
namespace {

class SlotWindowsTest : public DeployTest {
  protected:
    WindowHandle Window() { return OpenWindowOf(u"C:\\Apps\\Editor.exe", u"w"); }

    // The toggle's calls as short strings, pauses included; the owner checks of the list's
    // read only when asked for.
    std::vector<std::string> Trace(bool ownerChecks = false) const {
        std::vector<std::string> out;
        for (const FakeCall& call : m_desktop.Calls()) {
            if (!ownerChecks && call.name == "GetWindowThreadProcessId") continue;
            std::string line = call.name;
            for (const auto arg : call.args) line += " " + std::to_string(arg);
            out.push_back(line);
        }
        return out;
    }

    SlotManager m_slots{m_paths, m_desktop};
};

std::string H(WindowHandle handle) { return std::to_string(handle); }

TEST_F(SlotWindowsTest, MinimiseShowsEachWithoutActivationMarksItAndPauses) {
    const WindowHandle a = Window(), b = Window();
    m_slots.SetWindowList(3, {{a, 0, 0}, {0, 1, 0}, {b, 1, 0}});
    m_desktop.ClearCalls();
    MinimizeSlotWindows(m_desktop, m_slots, 3);
    EXPECT_EQ(Trace(), (std::vector<std::string>{"ShowWindowAsync " + H(a) + " 7", "Sleep 50",
                                                 "ShowWindowAsync 0 7", "Sleep 50",
                                                 "ShowWindowAsync " + H(b) + " 7", "Sleep 50"}));
    EXPECT_EQ(m_slots.GetWindowList(3), (WindowList{{a, 0, 1}, {0, 1, 1}, {b, 1, 1}}));
    EXPECT_TRUE(m_desktop.Window(a).iconic);
}

// A maximised window of another program in front; the chord's keys are released at the
// raise's first pause, which ends Keyrack's right to set the foreground.
TEST_F(SlotWindowsTest, RaiseMinimisesAllThenRestoresOneByOneLastOnTop) {
    const WindowHandle a = Window(), b = Window(), c = Window(), front = Window();
    m_desktop.ShowWindow(c, win::kSwShowMinNoActive);
    m_desktop.ShowWindow(front, win::kSwShowMaximized);
    m_slots.SetWindowList(0, {{a, 0, 1}, {b, 1, 1}, {c, 0, 1}});
    m_desktop.GiveInput(FakeDesktop::kOwnProcessId);
    m_desktop.SetSleepHook([&](unsigned) { m_desktop.GiveInput(0); });
    m_desktop.ClearCalls();
    RaiseSlotWindows(m_desktop, m_slots, 0);
    EXPECT_EQ(m_desktop.WaitingCalls(), 0u);
    EXPECT_EQ(m_slots.GetWindowList(0), (WindowList{{a, 0, 0}, {b, 1, 0}, {c, 0, 0}}));
    const auto z = m_desktop.ZOrder();
    EXPECT_EQ(std::vector<WindowHandle>(z.begin(), z.begin() + 3),
              (std::vector<WindowHandle>{c, b, a}));
    EXPECT_EQ(m_desktop.GetForegroundWindow(), c);
    for (const WindowHandle w : {a, b, c}) EXPECT_FALSE(m_desktop.Window(w).iconic);
    EXPECT_TRUE(m_desktop.Window(b).zoomed);
}

// An earlier window that took the foreground after the raise gives it back; another program's
// window the user brought forward keeps it.
TEST_F(SlotWindowsTest, KeepInFrontTakesTheForegroundBackOnlyFromTheSlotsOwnWindows) {
    const WindowHandle a = Window(), b = Window(), other = Window();
    m_slots.SetWindowList(0, {{a, 0, 0}, {b, 0, 0}});
    m_desktop.ShowWindow(a, win::kSwShowNormal);
    KeepSlotInFront(m_desktop, m_slots, 0);
    EXPECT_EQ(m_desktop.ZOrder(), (std::vector<WindowHandle>{b, a, other}));
    m_desktop.ShowWindow(other, win::kSwShowNormal);
    KeepSlotInFront(m_desktop, m_slots, 0);
    EXPECT_EQ(m_desktop.ZOrder(), (std::vector<WindowHandle>{other, b, a}));
}

TEST_F(SlotWindowsTest, AHungWindowHoldsUpNoOtherAndCatchesUpWhenItAnswers) {
    const WindowHandle a = Window(), hung = Window(), c = Window();
    m_desktop.SetHung(hung, true);
    m_slots.SetWindowList(0, {{a, 0, 0}, {hung, 1, 0}, {c, 0, 0}});
    const std::uint64_t start = m_desktop.VirtualMilliseconds();
    ToggleSlotWindows(m_desktop, m_slots, 0, m_log);
    EXPECT_EQ(m_desktop.VirtualMilliseconds() - start, 3 * kToggleStepPauseMs) << "usual pace";
    EXPECT_TRUE(m_desktop.Window(a).iconic && m_desktop.Window(c).iconic);
    EXPECT_FALSE(m_desktop.Window(hung).iconic) << "its minimise waits in its queue";
    ToggleSlotWindows(m_desktop, m_slots, 0, m_log);
    EXPECT_FALSE(m_desktop.Window(a).iconic || m_desktop.Window(c).iconic);
    EXPECT_EQ(m_desktop.ZOrder().front(), c);
    m_desktop.SetHung(hung, false);
    EXPECT_FALSE(m_desktop.Window(hung).iconic) << "minimised, restored, maximised in turn";
    EXPECT_TRUE(m_desktop.Window(hung).zoomed);
    EXPECT_EQ(m_desktop.WaitingCalls(), 0u);
    m_desktop.SetHung(hung, true);
    CloseSlotWindows(m_desktop, m_slots, 0);
    EXPECT_TRUE(m_desktop.Exists(hung)) << "its close waits too";
    EXPECT_FALSE(m_desktop.Exists(a));
}

TEST_F(SlotWindowsTest, ToggleFollowsTheFirstEntryOnly) {
    const WindowHandle a = Window(), b = Window();
    m_slots.SetWindowList(1, {{a, 0, 0}, {b, 0, 1}});
    ToggleSlotWindows(m_desktop, m_slots, 1, m_log);
    EXPECT_EQ(m_slots.GetWindowList(1), (WindowList{{a, 0, 1}, {b, 0, 1}}));
    // The user restored the first window by hand: it is still marked, so the chord raises.
    m_desktop.ShowWindow(a, win::kSwShowNormal);
    ToggleSlotWindows(m_desktop, m_slots, 1, m_log);
    EXPECT_EQ(m_slots.GetWindowList(1), (WindowList{{a, 0, 0}, {b, 0, 0}}));
    EXPECT_FALSE(m_desktop.Window(b).iconic);
    EXPECT_EQ(LogLines(m_log.Contents()),
              (std::vector<std::string>{"슬롯 최소화", "슬롯 맨 위로"}));
}

TEST_F(SlotWindowsTest, NullFirstHandleStillToggles) {
    const WindowHandle b = Window();
    m_slots.SetWindowList(1, {{0, 0, 0}, {b, 0, 0}});
    ToggleSlotWindows(m_desktop, m_slots, 1, m_log);
    EXPECT_EQ(m_slots.GetWindowList(1), (WindowList{{0, 0, 1}, {b, 0, 1}}));
    ToggleSlotWindows(m_desktop, m_slots, 1, m_log);
    EXPECT_EQ(m_slots.GetWindowList(1), (WindowList{{0, 0, 0}, {b, 0, 0}}));
}

TEST_F(SlotWindowsTest, EmptyOrMissingListIsNeverToggled) {
    m_slots.SetWindowList(2, {});
    m_desktop.ClearCalls();
    ToggleSlotWindows(m_desktop, m_slots, 2, m_log);
    ToggleSlotWindows(m_desktop, m_slots, 5, m_log);
    EXPECT_TRUE(m_desktop.Calls().empty());
    EXPECT_TRUE(m_log.Contents().empty());
}

// Windows handed a closed slot window's handle value to a window of another program: the chord's
// pruning drops that entry, so neither the toggle nor 닫기 ever reaches the stranger.
TEST_F(SlotWindowsTest, AHandleReusedByAnotherProcessIsNeverMinimisedOrClosed) {
    const WindowHandle a = Window(), b = Window();
    m_slots.SetWindowList(2, {{a, 0, 0}, {b, 1, 0}});
    m_desktop.SetWindowProcess(b, m_desktop.AddProcess(u"C:\\Apps\\Stranger.exe"));
    m_desktop.ClearCalls();
    for (int chord = 0; chord < 2; ++chord) ToggleSlotWindows(m_desktop, m_slots, 2, m_log);
    CloseSlotWindows(m_desktop, m_slots, 2);
    for (const char* call : {"ShowWindowAsync", "SetWindowPos", "PostWindowMessage"}) {
        for (const FakeCall& made : m_desktop.CallsNamed(call))
            EXPECT_NE(made.args.at(0), static_cast<std::int64_t>(b)) << call;
    }
    EXPECT_EQ(m_desktop.CallsNamed("PostWindowMessage").size(), 1u);
    EXPECT_FALSE(m_desktop.Window(b).iconic);
}

TEST_F(SlotWindowsTest, ClosePostsWmCloseToEveryWindowAndTheListKeepsWhatStayedOpen) {
    const WindowHandle a = Window(), b = Window();
    FakeWindow stubborn;
    stubborn.refusesClose = true;
    stubborn.processId = m_desktop.AddProcess(u"C:\\Apps\\Ask.exe");
    const WindowHandle c = m_desktop.AddWindow(stubborn);
    const WindowList list{{a, 0, 0}, {0, 0, 0}, {b, 1, 0}, {c, 0, 0}};
    m_slots.SetWindowList(7, list);
    m_desktop.ClearCalls();
    CloseSlotWindows(m_desktop, m_slots, 7);
    // Each handle is first checked to still name a window.
    EXPECT_EQ(
        Trace(true),
        (std::vector<std::string>{
            "GetWindowThreadProcessId " + H(a), "GetWindowThreadProcessId " + H(b),
            "GetWindowThreadProcessId " + H(c), "PostWindowMessage " + H(a) + " 16 0 0",
            "PostWindowMessage " + H(b) + " 16 0 0", "PostWindowMessage " + H(c) + " 16 0 0"}));
    EXPECT_EQ(m_slots.GetWindowList(7), (WindowList{{0, 0, 0}, {0, 0, 0}, {0, 1, 0}, {c, 0, 0}}));
    m_desktop.DestroyWindow(c);
    EXPECT_FALSE(m_slots.HasWindowList(7));
}

TEST_F(SlotWindowsTest, CloseSkipsWindowsThatHaveGoneAndDropsAListWithNoneLeft) {
    const WindowHandle a = Window(), b = Window(), c = Window();
    m_slots.SetWindowList(1, {{a, 0, 0}, {b, 0, 0}});
    m_slots.SetWindowList(2, {{c, 0, 0}});
    m_desktop.DestroyWindow(a);
    m_desktop.DestroyWindow(c);
    m_desktop.ClearCalls();
    CloseSlotWindows(m_desktop, m_slots, 2);
    EXPECT_FALSE(m_slots.HasWindowList(2));
    CloseSlotWindows(m_desktop, m_slots, 1);
    EXPECT_EQ(m_desktop.CallsNamed("PostWindowMessage").size(), 1u);
    EXPECT_EQ(m_desktop.CallsNamed("PostWindowMessage").at(0).args.at(0),
              static_cast<std::int64_t>(b));
    EXPECT_FALSE(m_slots.HasWindowList(1)) << "b has closed too";
}

TEST_F(SlotWindowsTest, CloseWithoutAListDoesNothing) {
    m_desktop.ClearCalls();
    CloseSlotWindows(m_desktop, m_slots, 4);
    EXPECT_TRUE(m_desktop.Calls().empty());
}

TEST_F(SlotWindowsTest, PruningNullsGoneWindowsAndDropsDeadAndEmptyLists) {
    const WindowHandle a = Window(), b = Window(), c = Window();
    m_slots.SetWindowList(0, {{a, 0, 0}, {b, 0, 1}});
    m_slots.SetWindowList(1, {{c, 1, 0}});
    m_slots.SetWindowList(2, {});
    m_slots.SetWindowList(3, {{0, 0, 0}});
    m_desktop.DestroyWindow(b);
    m_desktop.DestroyWindow(c);
    m_desktop.ClearCalls();
    EXPECT_EQ(m_slots.GetWindowList(0), (WindowList{{a, 0, 0}, {0, 0, 1}}));
    EXPECT_FALSE(m_slots.HasWindowList(1));
    EXPECT_FALSE(m_slots.HasWindowList(2));
    EXPECT_FALSE(m_slots.HasWindowList(3));
    for (const FakeCall& call : m_desktop.Calls()) EXPECT_EQ(call.name, "GetWindowThreadProcessId");
    EXPECT_EQ(m_desktop.CountOf("Sleep"), 0u);
}

}  // namespace
}  // namespace keyrack::testing
