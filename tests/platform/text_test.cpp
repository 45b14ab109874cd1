#include "platform/text.h"

#include <gtest/gtest.h>

namespace keyrack {
namespace {

TEST(CompareNoCase, FoldsAsciiLettersOnly) {
    EXPECT_TRUE(EqualsNoCase(u"C:\\Windows\\NOTEPAD.EXE", u"c:\\windows\\notepad.exe"));
    EXPECT_FALSE(EqualsNoCase(u"notepad.exe", u"notepad.ex"));
    // Non-ASCII letters keep their case in the C locale.
    EXPECT_FALSE(EqualsNoCase(u"\u00C4", u"\u00E4"));
    EXPECT_FALSE(EqualsNoCase(u"\u0414", u"\u0434"));
    EXPECT_LT(CompareNoCase(u"a", u"B"), 0);
    EXPECT_GT(CompareNoCase(u"ab", u"A"), 0);
    EXPECT_EQ(CompareNoCase(u"", u""), 0);
    // '[' (0x5B) sorts after 'Z' but before 'a'; folding makes 'Z' compare as 'z'.
    EXPECT_GT(CompareNoCase(u"Z", u"["), 0);
}

TEST(FixedFields, TextStopsAtFirstNulOrFieldEnd) {
    const char16_t field[4] = {u'a', u'b', u'\0', u'c'};
    EXPECT_EQ(TextUpToNul(field, 4), u"ab");
    const char16_t full[3] = {u'x', u'y', u'z'};
    EXPECT_EQ(TextUpToNul(full, 3), u"xyz");
}

TEST(FixedFields, FittedLengthKeepsRoomForNulAndSurrogatePairs) {
    EXPECT_EQ(FittedLength(u"abc", 4), 3u);
    EXPECT_EQ(FittedLength(u"abcd", 4), 3u);
    EXPECT_EQ(FittedLength(u"abc", 1), 0u);
    EXPECT_EQ(FittedLength(u"abc", 0), 0u);
    // "ab" + U+1F600 (a surrogate pair): a 4-unit field holds "ab" and the NUL, not half a pair.
    const std::u16string emoji = u"ab\U0001F600";
    EXPECT_EQ(FittedLength(emoji, 4), 2u);
    EXPECT_EQ(FittedLength(emoji, 5), 4u);
}

TEST(Utf, RoundTripsKoreanAndAstralText) {
    const std::string utf8 = "슬롯 \xF0\x9F\x98\x80 F1";
    const std::u16string utf16 = Utf8ToUtf16(utf8);
    EXPECT_EQ(utf16, u"슬롯 \U0001F600 F1");
    EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
}

TEST(Utf, IllFormedInputBecomesReplacementCharacter) {
    EXPECT_EQ(Utf8ToUtf16("a\xFF"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("a\xE2\x82"), u"a\uFFFD");      // truncated sequence
    EXPECT_EQ(Utf8ToUtf16("\xE2\x41"), u"\uFFFDA");       // what follows a cut one stays
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong form
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace keyrack
