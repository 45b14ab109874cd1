// The preview's item table follows its items' current fields and forgets a removed selection.
#include "editor/preview_model.h"

#include <gtest/gtest.h>

namespace keyrack {
namespace {

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
