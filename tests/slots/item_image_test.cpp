// The 3631-byte item image: field offsets, little-endian numbers, text cutting and reading.
#include <gtest/gtest.h>

#include <algorithm>

#include "slots/slot_item.h"

namespace keyrack {
namespace {

// Puts UTF-16LE units at a byte offset of a hand-made image.
void PutUnits(ItemImage& image, std::size_t offset, std::u16string_view units) {
    for (char16_t unit : units) {
        image[offset++] = static_cast<std::uint8_t>(unit & 0xFF);
        image[offset++] = static_cast<std::uint8_t>(unit >> 8);
    }
}

std::size_t NonZeroBytes(const ItemImage& image) {
    return static_cast<std::size_t>(
        std::count_if(image.begin(), image.end(), [](std::uint8_t b) { return b != 0; }));
}

TEST(SlotItemImage, NewItemIsZeroExceptReservedAndIndex) {
    const SlotItem item;
    const ItemImage image = item.ToImage();
    EXPECT_EQ(image.size(), 3631u);
    EXPECT_EQ(image[3613], 0xFF);  // reserved
    EXPECT_EQ(image[3630], 0xFF);  // index -1
    EXPECT_EQ(NonZeroBytes(image), 2u);
    EXPECT_EQ(item.pspId, 0u);
    EXPECT_EQ(item.window, 0u);
    EXPECT_EQ(item.icon.Get(), 0u);
}

TEST(SlotItemImage, EveryFieldSitsAtItsOffset) {
    SlotItem item;
    item.path = u"C:\\A";
    item.fileName = u"A";
    item.parameters = u"-p";
    item.name = u"\uD55C";  // Hangul syllable HAN
    item.pspId = 0x04030201;
    item.maximize = 1;
    item.x = -2;
    item.y = 0x11223344;
    item.width = 1920;
    item.height = 1040;
    item.reserved = 0x5A;
    item.window = 0x0102030405060708ull;
    item.index = 7;

    ItemImage expected{};
    const std::uint8_t path[] = {'C', 0, ':', 0, '\\', 0, 'A', 0, 0, 0};
    std::copy(std::begin(path), std::end(path), expected.begin() + 0);
    expected[520] = 'A';
    expected[1032] = '-';
    expected[1034] = 'p';
    expected[3080] = 0x5C;
    expected[3081] = 0xD5;
    const std::uint8_t tail[] = {
        0x01, 0x02, 0x03, 0x04,                          // 3592 pspId
        0x01,                                            // 3596 maximize
        0xFE, 0xFF, 0xFF, 0xFF,                          // 3597 x = -2
        0x44, 0x33, 0x22, 0x11,                          // 3601 y
        0x80, 0x07, 0x00, 0x00,                          // 3605 width 1920
        0x10, 0x04, 0x00, 0x00,                          // 3609 height 1040
        0x5A,                                            // 3613 reserved
        0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,  // 3614 window
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 3622 icon (none)
        0x07,                                            // 3630 index
    };
    static_assert(sizeof(tail) == 3631 - 3592);
    std::copy(std::begin(tail), std::end(tail), expected.begin() + 3592);

    EXPECT_EQ(item.ToImage(), expected);

    const SlotItem back = SlotItem::FromImage(expected);
    EXPECT_EQ(back.path, item.path);
    EXPECT_EQ(back.fileName, item.fileName);
    EXPECT_EQ(back.parameters, item.parameters);
    EXPECT_EQ(back.name, item.name);
    EXPECT_EQ(back.pspId, item.pspId);
    EXPECT_EQ(back.maximize, item.maximize);
    EXPECT_EQ(back.x, item.x);
    EXPECT_EQ(back.y, item.y);
    EXPECT_EQ(back.width, item.width);
    EXPECT_EQ(back.height, item.height);
    EXPECT_EQ(back.reserved, item.reserved);
    EXPECT_EQ(back.window, item.window);
    EXPECT_EQ(back.index, item.index);
    EXPECT_EQ(back.icon.Get(), 0u);
}

TEST(SlotItemImage, NegativeAndExtremeNumbersRoundTrip) {
    SlotItem item;
    item.x = INT32_MIN;
    item.y = INT32_MAX;
    item.width = -1;
    item.height = 0;
    item.pspId = kNoPspId;
    item.index = -128;
    const SlotItem back = SlotItem::FromImage(item.ToImage());
    EXPECT_EQ(back.x, INT32_MIN);
    EXPECT_EQ(back.y, INT32_MAX);
    EXPECT_EQ(back.width, -1);
    EXPECT_EQ(back.pspId, kNoPspId);
    EXPECT_EQ(back.index, -128);
}

struct TextField {
    const char* label;
    std::u16string SlotItem::*member;
    std::size_t offset;
    std::size_t capacity;
};

const TextField kTextFields[] = {
    {"path", &SlotItem::path, item_offset::kPath, kPathCapacity},
    {"fileName", &SlotItem::fileName, item_offset::kFileName, kFileNameCapacity},
    {"parameters", &SlotItem::parameters, item_offset::kParameters, kParametersCapacity},
    {"name", &SlotItem::name, item_offset::kName, kItemNameCapacity},
};

TEST(SlotItemImage, LongTextsAreCutToCapacityLessOneWithTheirNul) {
    for (const TextField& field : kTextFields) {
        SCOPED_TRACE(field.label);
        SlotItem item;
        item.*field.member = std::u16string(field.capacity + 40, u'x');
        const ItemImage image = item.ToImage();
        for (std::size_t i = 0; i + 1 < field.capacity; ++i) {
            ASSERT_EQ(image[field.offset + 2 * i], 'x') << i;
        }
        const std::size_t nul = field.offset + 2 * (field.capacity - 1);
        EXPECT_EQ(image[nul], 0);
        EXPECT_EQ(image[nul + 1], 0);
        // The next field is untouched: nothing spilled over.
        const SlotItem back = SlotItem::FromImage(image);
        EXPECT_EQ(back.*field.member, std::u16string(field.capacity - 1, u'x'));
        for (const TextField& other : kTextFields) {
            if (other.member != field.member) {
                EXPECT_TRUE((back.*other.member).empty());
            }
        }
    }
}

TEST(SlotItemImage, TextThatJustFitsIsKeptWhole) {
    SlotItem item;
    item.path = std::u16string(kPathCapacity - 1, u'p');
    EXPECT_EQ(SlotItem::FromImage(item.ToImage()).path, item.path);
}

TEST(SlotItemImage, CutNeverSplitsASurrogatePair) {
    for (const TextField& field : kTextFields) {
        SCOPED_TRACE(field.label);
        SlotItem item;
        // capacity - 2 letters, then U+1F600 as a pair: one unit too many, and the cut would
        // fall between the two halves.
        std::u16string text(field.capacity - 2, u'a');
        text += u"\U0001F600";
        item.*field.member = text;
        const ItemImage image = item.ToImage();
        const SlotItem back = SlotItem::FromImage(image);
        EXPECT_EQ(back.*field.member, std::u16string(field.capacity - 2, u'a'));
        const std::size_t last = field.offset + 2 * (field.capacity - 2);
        EXPECT_EQ(image[last], 0);
        EXPECT_EQ(image[last + 1], 0);
    }
}

TEST(SlotItemImage, ReadingStopsAtTheFirstNulOrTheFieldEnd) {
    ItemImage image{};
    // path: "ab", NUL, then leftovers that must be ignored.
    PutUnits(image, item_offset::kPath, u"ab\0zz");
    // fileName: every one of its 256 units set, no NUL within the field.
    PutUnits(image, item_offset::kFileName, std::u16string(kFileNameCapacity, u'f'));
    // parameters start right after and end normally.
    PutUnits(image, item_offset::kParameters, u"-x");
    // name: full field with no NUL, followed directly by the pspId bytes.
    PutUnits(image, item_offset::kName, std::u16string(kItemNameCapacity, u'n'));
    image[item_offset::kPspId] = 0x61;  // would read as 'a' if the text ran past its field

    const SlotItem item = SlotItem::FromImage(image);
    EXPECT_EQ(item.path, u"ab");
    EXPECT_EQ(item.fileName, std::u16string(kFileNameCapacity, u'f'));
    EXPECT_EQ(item.parameters, u"-x");
    EXPECT_EQ(item.name, std::u16string(kItemNameCapacity, u'n'));
    EXPECT_EQ(item.pspId, 0x61u);

    // Written back, the full fields lose their last unit to the terminator.
    const SlotItem again = SlotItem::FromImage(item.ToImage());
    EXPECT_EQ(again.fileName, std::u16string(kFileNameCapacity - 1, u'f'));
    EXPECT_EQ(again.name, std::u16string(kItemNameCapacity - 1, u'n'));
}

}  // namespace
}  // namespace keyrack
