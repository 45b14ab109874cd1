#include "popups/indicator_model.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "deploy/worker_status_list.h"

namespace keyrack {
namespace {

std::vector<std::u16string> RunCycles(IndicatorAnimation& animation, int cycles, bool done,
                                      const std::u16string& finalText) {
    std::vector<std::u16string> shown;
    for (int i = 0; i < cycles; ++i) shown.push_back(animation.Next(done, finalText));
    return shown;
}

TEST(IndicatorAnimation, PhasesFollowTheCounterAndWrapAfterTwentyNine) {
    IndicatorAnimation animation;
    const std::u16string none;
    std::vector<std::u16string> shown = RunCycles(animation, 31, false, none);
    // Cycle i (1-based) has counter i for i < 30, then 1, 2 again.
    for (int i = 1; i <= 9; ++i) EXPECT_EQ(shown[i - 1], u"여는 중.") << i;
    for (int i = 10; i <= 19; ++i) EXPECT_EQ(shown[i - 1], u"여는 중..") << i;
    for (int i = 20; i <= 29; ++i) EXPECT_EQ(shown[i - 1], u"여는 중...") << i;
    EXPECT_EQ(shown[29], u"여는 중.");  // counter wrapped to 1
    EXPECT_EQ(shown[30], u"여는 중.");
    EXPECT_EQ(animation.Counter(), 2);
}

TEST(IndicatorAnimation, CounterSequenceNeverReachesThirtyOrZero) {
    IndicatorAnimation animation;
    const std::u16string none;
    std::vector<int> counters;
    for (int i = 0; i < 60; ++i) {
        animation.Next(false, none);
        counters.push_back(animation.Counter());
    }
    EXPECT_EQ(counters.front(), 1);
    EXPECT_EQ(counters[28], 29);
    EXPECT_EQ(counters[29], 1);
    // A round is 29 cycles long.
    EXPECT_EQ(counters[57], 29);
    EXPECT_EQ(counters[58], 1);
    for (int counter : counters) {
        EXPECT_GE(counter, 1);
        EXPECT_LE(counter, 29);
    }
}

TEST(IndicatorAnimation, DoneShowsTheFinalTextAndFreezesTheCounter) {
    IndicatorAnimation animation;
    const std::u16string none;
    RunCycles(animation, 12, false, none);
    ASSERT_EQ(animation.Counter(), 12);
    const std::u16string done = u"완료";
    for (const std::u16string& text : RunCycles(animation, 50, true, done))
        EXPECT_EQ(text, u"완료");
    EXPECT_EQ(animation.Counter(), 12);
    EXPECT_EQ(animation.Next(true, u"로드 실패"), u"로드 실패");
}

TEST(IndicatorPlacement, BesideTheTaskbarOnAnyEdgeInsideTheWorkArea) {
    // A 405 x 168 popup, 10 pixels off the taskbar and off its end nearest the tray.
    constexpr Rect screen{0, 0, 1920, 1080};
    const std::tuple<Rect, Rect, IndicatorPosition> cases[] = {
        {{0, 0, 1920, 1040}, {0, 1040, 1920, 1080}, {1505, 862}},  // bottom
        {{0, 40, 1920, 1080}, {0, 0, 1920, 40}, {1505, 50}},       // top
        {{60, 0, 1920, 1080}, {0, 0, 60, 1080}, {70, 902}},        // left
        {{0, 0, 1860, 1080}, {1860, 0, 1920, 1080}, {1445, 902}},  // right
        {screen, {0, 900, 1600, 940}, {1185, 722}},                // moved, the work area not yet
        {screen, {}, {1505, 902}}};                                // no taskbar
    for (const auto& [work, taskbar, expected] : cases) {
        const IndicatorPosition at = PlaceBesideTaskbar(screen, work, taskbar, 405, 168);
        EXPECT_EQ(at, expected) << expected.x << "," << expected.y;
        EXPECT_TRUE(at.x >= work.left && at.y >= work.top && at.x + 405 <= work.right &&
                    at.y + 168 <= work.bottom);
    }
}

TEST(IndicatorStatusLines, ShowsLiveEntriesInGroupOrderAndDropsEndedOnes) {
    WorkerStatusList list;
    std::size_t first = list.Append();
    std::size_t second = list.Append();
    EXPECT_EQ(list.JoinedLines(), u"");
    list.Publish(first, u"메모장 실행 중");
    list.Publish(second, u"계산기 창 찾는 중");
    EXPECT_EQ(list.JoinedLines(), u"메모장 실행 중\n계산기 창 찾는 중\n");
    list.Remove(first);
    EXPECT_EQ(list.JoinedLines(), u"계산기 창 찾는 중\n");
    list.Clear();
    EXPECT_EQ(list.JoinedLines(), u"");
}

}  // namespace
}  // namespace keyrack
