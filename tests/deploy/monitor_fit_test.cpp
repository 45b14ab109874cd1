// Rectangles of monitors that are gone, over a table of monitor layouts: a rectangle with a
// usable piece on some monitor stays; any other goes the shortest way onto the nearest one.
#include <gtest/gtest.h>

#include <vector>

#include "deploy/monitor_fit.h"

namespace keyrack::testing {
namespace {

// A monitor with a taskbar 40 pixels high at its bottom.
MonitorInfo Monitor(int left, int top, int width, int height, bool primary = false) {
    return {{left, top, left + width, top + height},
            {left, top, left + width, top + height - 40},
            primary};
}

const std::vector<MonitorInfo> kLaptop{Monitor(0, 0, 1920, 1080, true)};
const std::vector<MonitorInfo> kSideBySide{Monitor(0, 0, 1920, 1080, true),
                                           Monitor(1920, 0, 2560, 1440)};
const std::vector<MonitorInfo> kLeftOfPrimary{Monitor(0, 0, 1920, 1080, true),
                                              Monitor(-1280, 0, 1280, 1024)};
const std::vector<MonitorInfo> kStacked{Monitor(0, 0, 1920, 1080, true),
                                        Monitor(0, -1080, 1920, 1080)};
const std::vector<MonitorInfo> kGap{Monitor(0, 0, 1920, 1080, true), Monitor(2920, 0, 1920, 1080)};

struct FitCase {
    const char* what;
    std::vector<MonitorInfo> monitors;
    Rect stored;
    Rect placed;
};

class FitTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitTest, PlacesOnAMonitor) {
    const FitCase& c = GetParam();
    EXPECT_EQ(FitOnMonitors(c.stored, c.monitors), c.placed);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, FitTest,
    ::testing::Values(
        FitCase{"on_the_primary", kLaptop, {100, 100, 700, 500}, {100, 100, 700, 500}},
        FitCase{"external_monitor_gone", kLaptop, {2400, 300, 3000, 700}, {1320, 300, 1920, 700}},
        FitCase{"side_by_side_second_monitor",
                kSideBySide,
                {2400, 300, 3000, 700},
                {2400, 300, 3000, 700}},
        FitCase{"side_by_side_beyond_both",
                kSideBySide,
                {4600, 1500, 5200, 1900},
                {3880, 1000, 4480, 1400}},
        FitCase{
            "straddling_two_monitors", kSideBySide, {1700, 300, 2300, 700}, {1700, 300, 2300, 700}},
        FitCase{
            "left_of_primary_kept", kLeftOfPrimary, {-900, 100, -300, 500}, {-900, 100, -300, 500}},
        FitCase{"left_monitor_gone", kLaptop, {-900, 100, -300, 500}, {0, 100, 600, 500}},
        FitCase{"beyond_the_left_monitor",
                kLeftOfPrimary,
                {-2000, 100, -1400, 500},
                {-1280, 100, -680, 500}},
        FitCase{"stacked_above_kept", kStacked, {100, -900, 700, -500}, {100, -900, 700, -500}},
        FitCase{"above_the_stack", kStacked, {100, -1500, 700, -1100}, {100, -1080, 700, -680}},
        FitCase{"below_everything", kStacked, {100, 1200, 700, 1600}, {100, 640, 700, 1040}},
        FitCase{
            "in_the_gap_nearer_the_primary", kGap, {2000, 100, 2600, 500}, {1320, 100, 1920, 500}},
        FitCase{
            "in_the_gap_nearer_the_second", kGap, {2500, 100, 2800, 500}, {2920, 100, 3220, 500}},
        FitCase{"a_sliver_too_narrow", kLaptop, {1870, 100, 2470, 500}, {1320, 100, 1920, 500}},
        FitCase{"a_sliver_too_low", kLaptop, {100, 1050, 700, 1450}, {100, 640, 700, 1040}},
        FitCase{"just_enough_to_grab", kLaptop, {1820, 1040, 2420, 1440}, {1820, 1040, 2420, 1440}},
        FitCase{"larger_than_the_work_area", kLaptop, {3000, -200, 5500, 1800}, {0, 0, 1920, 1040}},
        FitCase{"wider_only", kGap, {-3000, 200, -500, 600}, {0, 200, 1920, 600}},
        FitCase{"no_monitor_known", {}, {5000, 5000, 5600, 5400}, {5000, 5000, 5600, 5400}}),
    [](const auto& info) { return std::string(info.param.what); });

// MonitorFromRect(MONITOR_DEFAULTTONEAREST): most overlap first, then least distance.
TEST(NearestMonitorTest, PrefersTheLargestOverlapThenTheClosest) {
    EXPECT_EQ(NearestMonitor({1800, 0, 2400, 100}, kSideBySide), &kSideBySide[1]);
    EXPECT_EQ(NearestMonitor({1500, 0, 2000, 100}, kSideBySide), &kSideBySide[0]);
    EXPECT_EQ(NearestMonitor({0, 2000, 100, 2100}, kStacked), &kStacked[0]);
    EXPECT_EQ(NearestMonitor({0, -3000, 100, -2900}, kStacked), &kStacked[1]);
    EXPECT_EQ(NearestMonitor({0, 0, 10, 10}, {}), nullptr);
}

}  // namespace
}  // namespace keyrack::testing
