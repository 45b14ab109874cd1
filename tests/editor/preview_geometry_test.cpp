// The preview's arithmetic on monitor arrangements, with the figures worked out by hand, and
// its item table, which follows the items' current fields.
#include "editor/preview_geometry.h"

#include <gtest/gtest.h>

#include <vector>

#include "editor/preview_model.h"

namespace keyrack {
namespace {

struct Arrangement {
    const char* name;
    std::vector<Rect> monitors;
    int clientWidth, clientHeight;
    PixelSize extent;
    PixelSize scaled;
    int top;
    std::vector<Rect> monitorPixels;
    Rect item;  // the window (100, 50) 800 x 600 in preview pixels
};

const Rect kFullHd{0, 0, 1920, 1080};

class PreviewArrangement : public ::testing::TestWithParam<Arrangement> {};

TEST_P(PreviewArrangement, FitsAndScalesMonitorsAndItems) {
    const Arrangement& a = GetParam();
    const PreviewLayout layout(a.monitors, a.clientWidth, a.clientHeight);
    EXPECT_EQ(layout.Extent().Width(), a.extent.width);
    EXPECT_EQ(layout.Extent().Height(), a.extent.height);
    EXPECT_EQ(layout.Scaled(), a.scaled);
    EXPECT_EQ(layout.Top(), a.top);
    EXPECT_EQ(layout.MonitorPixels(), a.monitorPixels);
    EXPECT_EQ(layout.ItemRect(100, 50, 800, 600), a.item);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Layouts, PreviewArrangement, ::testing::Values(
    //          name, monitors, client, extent, scaled, top, monitor pixels, item
    Arrangement{"one_monitor", {kFullHd}, 600, 400, {1920, 1080}, {600, 337}, 32,
                {{0, 0, 600, 337}}, {31, 15, 281, 202}},
    // Limited by the height: the layout stands at the left, background to its right.
    Arrangement{"wide_client", {kFullHd}, 1000, 200, {1920, 1080}, {355, 200}, 0,
                {{0, 0, 355, 200}}, {18, 9, 166, 120}},
    Arrangement{"side_by_side", {kFullHd, {1920, 0, 3840, 1080}}, 600, 400, {3840, 1080},
                {600, 168}, 116, {{0, 0, 300, 168}, {300, 0, 600, 168}}, {15, 7, 140, 101}},
    Arrangement{"left_of_primary", {kFullHd, {-1920, 0, 0, 1080}}, 600, 400, {3840, 1080},
                {600, 168}, 116, {{300, 0, 600, 168}, {0, 0, 300, 168}}, {315, 7, 440, 101}},
    // Stacked monitors keep their arrangement: one above the other, not side by side.
    Arrangement{"stacked", {kFullHd, {0, 1080, 1920, 2160}}, 600, 400, {1920, 2160},
                {355, 400}, 0, {{0, 0, 355, 200}, {0, 200, 355, 400}}, {18, 9, 166, 120}},
    // A smaller monitor raised by 300 pixels on the right of the primary.
    Arrangement{"different_tops", {kFullHd, {1920, -300, 3200, 724}}, 640, 400, {3200, 1380},
                {640, 276}, 62, {{0, 60, 384, 276}, {384, 0, 640, 204}}, {20, 70, 180, 190}},
    // No monitor or no client area: nothing to draw and nothing divided by zero.
    Arrangement{"no_monitor", {}, 600, 400, {0, 0}, {0, 0}, 200, {}, {}},
    Arrangement{"empty_client", {kFullHd}, 0, 0, {1920, 1080}, {0, 0}, 0, {{0, 0, 0, 0}}, {}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(PreviewLayout, ItemFieldsAtTheLimitsOfTheirRangeStayInRange) {
    const std::vector<Rect> monitors{{0, 0, 1, 1}};
    const PreviewLayout layout(monitors, 600, 600);
    const Rect r = layout.ItemRect(INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX);
    EXPECT_EQ(r.left, INT32_MAX);
    EXPECT_EQ(r.top, INT32_MIN);
    EXPECT_EQ(r.right, INT32_MAX);
    EXPECT_EQ(r.bottom, -600);
}

TEST(PreviewModel, EntriesFollowTheItemsFieldsAndTheSelectionItsItem) {
    std::vector<std::unique_ptr<SlotItem>> items;
    for (int x : {100, 0}) {
        items.push_back(std::make_unique<SlotItem>());
        *items.back() = {.x = x, .y = 50, .width = 800, .height = 600};
    }
    PreviewModel model;
    const std::vector<Rect> monitors{{0, 0, 1920, 1080}};
    model.InitLayout(monitors, 600, 400, items);
    items[0]->x = 1100;
    model.SetItemRect(*items[0]);
    ASSERT_EQ(model.Entries().size(), 2u) << "replaced in place";
    EXPECT_EQ(model.Entries()[0].rect, (Rect{343, 15, 593, 202}));

    items[1]->width = 960;  // saved since, not set again: a resize picks it up
    model.Resize(1000, 200);
    EXPECT_EQ(model.RectOf(*items[1]), (Rect{0, 9, 177, 120}));

    model.Select(items[1].get());
    model.RemoveItem(*items[0]);
    EXPECT_EQ(model.Selected(), items[1].get());
    model.RemoveItem(*items[1]);
    EXPECT_EQ(model.Selected(), nullptr);
    EXPECT_TRUE(model.Entries().empty());
}

}  // namespace
}  // namespace keyrack
