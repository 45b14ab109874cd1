// The preview's arithmetic on monitor arrangements, with the figures worked out by hand.
#include "editor/preview_geometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace keyrack {
namespace {

struct Arrangement {
    const char* name;
    std::vector<Rect> monitors;
    int clientWidth, clientHeight;
    PreviewOffsets offsets;
    PixelSize extent;
    PixelSize scaled;
    int top;
    std::vector<Rect> monitorPixels;
    Rect item;  // the window (100, 50) 800 x 600 in preview pixels
};

void PrintTo(const Arrangement& a, std::ostream* os) { *os << a.name; }

const Rect kFullHd{0, 0, 1920, 1080};

class PreviewArrangement : public ::testing::TestWithParam<Arrangement> {};

TEST_P(PreviewArrangement, FitsAndScalesMonitorsAndItems) {
    const Arrangement& a = GetParam();
    const PreviewLayout layout(a.monitors, a.clientWidth, a.clientHeight);
    EXPECT_EQ(layout.Offsets(), a.offsets);
    EXPECT_EQ(layout.Extent().Width(), a.extent.width);
    EXPECT_EQ(layout.Extent().Height(), a.extent.height);
    EXPECT_EQ(layout.Scaled(), a.scaled);
    EXPECT_EQ(layout.Top(), a.top);
    EXPECT_EQ(layout.MonitorPixels(), a.monitorPixels);
    EXPECT_EQ(layout.ItemRect(100, 50, 800, 600), a.item);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PreviewArrangement,
    ::testing::Values(
        Arrangement{"one_monitor",
                    {kFullHd},
                    600,
                    400,
                    {1, 0},
                    {1920, 1080},
                    {600, 337},
                    32,
                    {{0, 0, 600, 337}},
                    {31, 15, 281, 202}},
        // Limited by the height: the layout stands at the left, background to its right.
        Arrangement{"one_monitor_wide_client",
                    {kFullHd},
                    1000,
                    200,
                    {1, 0},
                    {1920, 1080},
                    {355, 200},
                    0,
                    {{0, 0, 355, 200}},
                    {18, 9, 166, 120}},
        Arrangement{"side_by_side",
                    {kFullHd, {1920, 0, 3840, 1080}},
                    600,
                    400,
                    {1, 0},
                    {3840, 1080},
                    {600, 168},
                    116,
                    {{0, 0, 300, 168}, {300, 0, 600, 168}},
                    {15, 7, 140, 101}},
        Arrangement{"second_monitor_left_of_primary",
                    {kFullHd, {-1920, 0, 0, 1080}},
                    600,
                    400,
                    {1920, 0},
                    {3840, 1080},
                    {600, 168},
                    116,
                    {{300, 0, 600, 168}, {0, 0, 300, 168}},
                    {315, 7, 440, 101}},
        // Stacked monitors keep their arrangement: one above the other, not side by side.
        Arrangement{"stacked",
                    {kFullHd, {0, 1080, 1920, 2160}},
                    600,
                    400,
                    {1, 0},
                    {1920, 2160},
                    {355, 400},
                    0,
                    {{0, 0, 355, 200}, {0, 200, 355, 400}},
                    {18, 9, 166, 120}},
        // A smaller monitor raised by 300 pixels on the right of the primary.
        Arrangement{"different_tops",
                    {kFullHd, {1920, -300, 3200, 724}},
                    640,
                    400,
                    {1, 300},
                    {3200, 1380},
                    {640, 276},
                    62,
                    {{0, 60, 384, 276}, {384, 0, 640, 204}},
                    {20, 70, 180, 190}},
        // No monitor: nothing to draw and nothing divided by zero.
        Arrangement{"no_monitor", {}, 600, 400, {1, 0}, {0, 0}, {0, 0}, 200, {}, {}},
        Arrangement{
            "empty_client", {kFullHd}, 0, 0, {1, 0}, {1920, 1080}, {0, 0}, 0, {{0, 0, 0, 0}}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PreviewLayout, ItemFieldsAtTheLimitsOfTheirRangeStayInRange) {
    const std::vector<Rect> monitors{{0, 0, 1, 1}};
    const PreviewLayout layout(monitors, 600, 600);
    const Rect r = layout.ItemRect(INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX);
    EXPECT_EQ(r.left, INT32_MAX);
    EXPECT_EQ(r.top, INT32_MIN);
    EXPECT_EQ(r.right, INT32_MAX);
    EXPECT_EQ(r.bottom, -600);
}

}  // namespace
}  // namespace keyrack
