// The watch over placed windows on the simulated desktop: programs that move their window
// again after it appeared, the user dragging it, splash windows giving way to the main window.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <vector>

#include "deploy/placement_watch.h"
#include "tests/fakes/fake_desktop.h"

namespace keyrack::testing {
namespace {

constexpr char16_t kApp[] = u"C:\\Apps\\Browser.exe";
constexpr Rect kTarget{40, 50, 680, 530};
constexpr Rect kSaved{300, 200, 1100, 800};    // where the program restores itself
constexpr Rect kDragged{500, 400, 1140, 880};  // where the user puts it

class PlacementWatchTest : public ::testing::Test {
  protected:
    PlacementWatchTest() {
        m_process = m_desktop.AddProcess(kApp);
        m_item.x = kTarget.left;
        m_item.y = kTarget.top;
        m_item.width = kTarget.Width();
        m_item.height = kTarget.Height();
    }

    WindowHandle OpenWindow() { return m_desktop.AddWindow({.processId = m_process}); }

    // Places the item's window, then watches for 2.5 s while `script` runs after every pause
    // with the milliseconds passed since the placement.
    void PlaceAndWatch(std::function<void(std::uint64_t)> script) {
        const Rect at = PlaceWindow(m_desktop, m_item.window, m_item);
        m_watch.Add(m_item, at, kApp, m_claimed);
        m_desktop.ClearCalls();
        const std::uint64_t start = m_desktop.VirtualMilliseconds();
        m_desktop.SetSleepHook([&](unsigned) { script(m_desktop.VirtualMilliseconds() - start); });
        m_watch.WatchFor(m_stop, 2500);
    }

    std::size_t PlacementsOf(WindowHandle window) const {
        std::size_t n = 0;
        for (const FakeCall& call : m_desktop.CallsNamed("ShowWindowAsync"))
            if (call.args[0] == static_cast<std::int64_t>(window) && call.args[1] == 1) ++n;
        return n;
    }

    FakeDesktop m_desktop;
    std::uint32_t m_process = 0;
    SlotItem m_item;
    std::unordered_set<WindowHandle> m_claimed;
    StopRequest m_stop;
    PlacementWatch m_watch{m_desktop};
};

// One step of what happens to the placed window, at a time after its placement.
struct Step {
    std::uint64_t at;
    enum What { kProgramMoves, kUserDrags, kUserReleases } what;
};

struct HoldCase {
    const char* what;
    bool maximize;
    std::vector<Step> steps;
    std::size_t placedAgain;
    Rect endsAt;
    std::uint64_t busyMs = 0;  // the window answers only this long after its placement
};

class HoldTest : public PlacementWatchTest, public ::testing::WithParamInterface<HoldCase> {};

TEST_P(HoldTest, PlacesAgainWhatTheProgramUndid) {
    const HoldCase& c = GetParam();
    m_item.maximize = c.maximize ? 1 : 0;
    m_item.window =
        m_desktop.AddWindow({.processId = m_process,
                             .busyUntilMs = c.busyMs ? m_desktop.SteadyClockMs() + c.busyMs : 0});
    std::size_t next = 0;
    PlaceAndWatch([&](std::uint64_t now) {
        for (; next < c.steps.size() && c.steps[next].at <= now; ++next) {
            switch (c.steps[next].what) {
                case Step::kProgramMoves:
                    m_desktop.MoveByProgram(m_item.window, kSaved);
                    break;
                case Step::kUserDrags:
                    m_desktop.SetKey(win::kVkLButton, true);
                    m_desktop.MoveByProgram(m_item.window, kDragged);
                    break;
                case Step::kUserReleases:
                    m_desktop.SetKey(win::kVkLButton, false);
                    break;
            }
        }
    });
    EXPECT_EQ(PlacementsOf(m_item.window), c.placedAgain);
    EXPECT_EQ(m_desktop.CurrentRect(m_item.window), c.endsAt);
}

std::vector<Step> MovesEvery200Ms() {
    std::vector<Step> steps;
    for (std::uint64_t at = 200; at < 2500; at += 200) steps.push_back({at, Step::kProgramMoves});
    return steps;
}

INSTANTIATE_TEST_SUITE_P(
    Programs, HoldTest,
    ::testing::Values(
        HoldCase{"left_alone", false, {}, 0, kTarget},
        HoldCase{"moved_at_300ms_and_1s",
                 false,
                 {{300, Step::kProgramMoves}, {1000, Step::kProgramMoves}},
                 2,
                 kTarget},
        HoldCase{"keeps_moving", false, MovesEvery200Ms(), 3, kSaved},
        HoldCase{"dragged_by_the_user",
                 false,
                 {{300, Step::kUserDrags}, {600, Step::kUserReleases}},
                 0,
                 kDragged},
        // Busy starting up for 2 s, then it restores its own rectangle: watched
        // from when it took the placement, not fought while it could not.
        HoldCase{
            "busy_for_2_s_then_moved_back", false, {{2300, Step::kProgramMoves}}, 1, kTarget, 2000},
        HoldCase{"unmaximised_by_the_program",
                 true,
                 {{300, Step::kProgramMoves}},
                 1,
                 FakeDesktop::kMaximizedRect}),
    [](const auto& info) { return std::string(info.param.what); });

// A splash window that goes away after its placement: the program's next new window becomes
// the item's and is placed; older windows of the program, new ones of others and one another
// item has taken are not, and the successor goes to no other item.
class SuccessorTest : public PlacementWatchTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SuccessorTest, NextWindowOfTheProgramReplacesAVanishedSplash) {
    const bool destroyed = GetParam();
    const WindowHandle older = OpenWindow();
    m_claimed.insert(older);
    const WindowHandle splash = OpenWindow();
    m_item.window = splash;
    WindowHandle other = 0, taken = 0, main = 0;
    PlaceAndWatch([&](std::uint64_t now) {
        if (now >= 300 && m_desktop.Exists(splash) && m_desktop.Window(splash).visible) {
            if (destroyed)
                m_desktop.DestroyWindow(splash);
            else
                m_desktop.ShowWindow(splash, win::kSwHide);
        }
        if (now >= 500 && other == 0)
            other = m_desktop.AddWindow({.processId = m_desktop.AddProcess(u"C:\\Other.exe")});
        if (now >= 600 && taken == 0) {
            taken = OpenWindow();
            ASSERT_TRUE(m_watch.Take(taken)) << "the group's next item found it first";
        }
        if (now >= 700 && main == 0) main = OpenWindow();
    });
    ASSERT_NE(main, 0u);
    EXPECT_EQ(m_item.window, main);
    EXPECT_TRUE(m_watch.Replaced());
    EXPECT_EQ(m_desktop.CurrentRect(main), kTarget);
    EXPECT_EQ(PlacementsOf(older) + PlacementsOf(other) + PlacementsOf(taken), 0u);
    EXPECT_FALSE(m_watch.Take(main)) << "no search takes the successor";
}

INSTANTIATE_TEST_SUITE_P(Splashes, SuccessorTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "destroyed" : "hidden"; });

// A rectangle of a monitor that is gone is placed on the nearest one and held there, without
// fighting the window over the stored rectangle.
TEST_F(PlacementWatchTest, HoldsAWindowOnTheNearestMonitor) {
    m_item.x = 2400;
    m_item.y = 300;
    m_item.width = 600;
    m_item.height = 400;
    m_item.window = OpenWindow();
    PlaceAndWatch([&](std::uint64_t now) {
        if (now == 300) m_desktop.MoveByProgram(m_item.window, kSaved);
    });
    EXPECT_EQ(PlacementsOf(m_item.window), 1u) << "once after the program moved it";
    EXPECT_EQ(m_desktop.CurrentRect(m_item.window), (Rect{1320, 300, 1920, 700}));
}

// A desktop whose window reads ask, from another thread, whether a window is watched.
class ProbingDesktop : public FakeDesktop {
  public:
    std::function<void()> probe;
    bool IsWindowVisible(WindowHandle window) override {
        if (probe) probe();
        return FakeDesktop::IsWindowVisible(window);
    }
};

TEST(PlacementWatchLockTest, NoDesktopCallIsMadeUnderTheLock) {
    ProbingDesktop desktop;
    PlacementWatch watch(desktop);
    SlotItem item;
    item.window = desktop.AddWindow({.processId = desktop.AddProcess(kApp)});
    watch.Add(item, Rect{}, kApp, {});
    int answered = 0;
    desktop.probe = [&] {
        // An item-group thread asking meanwhile is answered at once, not after the pass.
        auto asked = std::async(std::launch::async, [&] { return watch.Watches(item.window); });
        if (asked.wait_for(std::chrono::seconds(5)) == std::future_status::ready && asked.get())
            ++answered;
    };
    watch.Pass();
    EXPECT_GE(answered, 1);
}

}  // namespace
}  // namespace keyrack::testing
