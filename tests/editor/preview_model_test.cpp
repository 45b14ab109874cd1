// The preview's item table: entries follow their items' current fields and the selection.
#include "editor/preview_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace keyrack {
namespace {

std::unique_ptr<SlotItem> Item(int x, int y, int width, int height) {
    auto item = std::make_unique<SlotItem>();
    item->x = x;
    item->y = y;
    item->width = width;
    item->height = height;
    return item;
}

class PreviewModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_items.push_back(Item(100, 50, 800, 600));
        m_items.push_back(Item(0, 0, 1920, 1080));
        const std::vector<Rect> monitors{{0, 0, 1920, 1080}};
        m_model.InitLayout(monitors, 600, 400, m_items);
    }
    std::vector<std::unique_ptr<SlotItem>> m_items;
    PreviewModel m_model;
};

TEST_F(PreviewModelTest, InitLayoutAddsEverySlotItemInOrder) {
    ASSERT_EQ(m_model.Entries().size(), 2u);
    EXPECT_EQ(m_model.Entries()[0].item, m_items[0].get());
    EXPECT_EQ(m_model.Entries()[0].rect, (Rect{31, 15, 281, 202}));
    EXPECT_EQ(m_model.Entries()[1].rect, (Rect{0, 0, 600, 337}));
}

TEST_F(PreviewModelTest, SetItemRectReplacesTheEntryInPlace) {
    m_items[0]->x = 1100;
    m_model.SetItemRect(*m_items[0]);
    ASSERT_EQ(m_model.Entries().size(), 2u);
    EXPECT_EQ(m_model.Entries()[0].rect, (Rect{343, 15, 593, 202}));
}

TEST_F(PreviewModelTest, ResizeReadsTheItemsCurrentFields) {
    m_items[1]->width = 960;  // changed by a save, not yet set again
    m_model.Resize(1000, 200);
    EXPECT_EQ(m_model.RectOf(*m_items[0]), (Rect{18, 9, 166, 120}));
    EXPECT_EQ(m_model.RectOf(*m_items[1]), (Rect{0, 0, 177, 200}));
}

TEST_F(PreviewModelTest, RemovingTheSelectedItemClearsTheSelection) {
    SlotItem unsaved;
    m_model.RemoveItem(unsaved);  // no entry: nothing changes
    EXPECT_EQ(m_model.Entries().size(), 2u);

    m_model.Select(m_items[1].get());
    m_model.RemoveItem(*m_items[0]);
    EXPECT_EQ(m_model.Selected(), m_items[1].get()) << "another item stays selected";
    m_model.RemoveItem(*m_items[1]);
    EXPECT_EQ(m_model.Selected(), nullptr);
    EXPECT_TRUE(m_model.Entries().empty());
}

}  // namespace
}  // namespace keyrack
