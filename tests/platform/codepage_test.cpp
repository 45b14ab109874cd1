#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace keyrack {
namespace {

TEST(CodePage, KoreanTextBecomesCp949Bytes) {
    // 슬롯 in CP949: BD BD B7 D4.
    EXPECT_EQ(ToCodePage(u"슬롯", kCodePageKorean), "\xBD\xBD\xB7\xD4");
    EXPECT_EQ(ToCodePage(u"F1 ok", kCodePageKorean), "F1 ok");
    EXPECT_EQ(FromCodePage("\xBD\xBD\xB7\xD4", kCodePageKorean), u"슬롯");
    EXPECT_EQ(ToCodePage(u"", kCodePageKorean), "");
}

TEST(CodePage, Utf8RoundTrip) {
    EXPECT_EQ(ToCodePage(u"메니저", kCodePageUtf8), "메니저");
    EXPECT_EQ(FromCodePage("메니저", kCodePageUtf8), u"메니저");
}

}  // namespace
}  // namespace keyrack
