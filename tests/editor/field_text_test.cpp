// What the position edits accept while the user types or pastes: the text after the change
// must be a number field's text.
#include "editor/field_text.h"

#include <gtest/gtest.h>

#include <string>

namespace keyrack {
namespace {

struct Typing {
    const char* name;
    std::u16string before;
    std::size_t start, end;  // the selection replaced
    std::u16string inserted;
    bool allowMinus;
    bool accepted;
};

void PrintTo(const Typing& t, std::ostream* os) { *os << t.name; }

class NumberField : public ::testing::TestWithParam<Typing> {};

TEST_P(NumberField, AcceptsOnlyANumberAfterTheChange) {
    const Typing& t = GetParam();
    EXPECT_EQ(
        IsNumberFieldText(ReplaceSelection(t.before, t.start, t.end, t.inserted), t.allowMinus),
        t.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, NumberField,
    ::testing::Values(Typing{"MinusFirstInX", u"", 0, 0, u"-", true, true},
                      Typing{"DigitsAfterTheMinus", u"-", 1, 1, u"300", true, true},
                      Typing{"MinusReplacingTheWholeText", u"1200", 0, 4, u"-", true, true},
                      Typing{"MinusInFrontOfDigits", u"300", 0, 0, u"-", true, true},
                      Typing{"MinusInW", u"", 0, 0, u"-", false, false},
                      Typing{"SecondMinus", u"-3", 0, 0, u"-", true, false},
                      Typing{"MinusAfterADigit", u"3", 1, 1, u"-", true, false},
                      Typing{"Letter", u"12", 2, 2, u"a", true, false},
                      Typing{"Space", u"12", 1, 1, u" ", false, false},
                      Typing{"FullWidthDigit", u"1", 1, 1, u"\uFF12", false, false},
                      Typing{"PastedNegativeNumber", u"", 0, 0, u"-1920", true, true},
                      Typing{"PastedNumberWithText", u"", 0, 0, u"12px", false, false},
                      Typing{"PastedIntoTheMiddle", u"19", 1, 1, u"20", false, true},
                      Typing{"PasteReplacingTheMinusLeavesDigits", u"-5", 0, 1, u"4", true, true},
                      Typing{"DeletingEverything", u"-5", 0, 2, u"", true, true},
                      Typing{"SelectionPastTheEnd", u"5", 0, 9, u"7", false, true},
                      Typing{"BeyondTheHighest", u"3276", 4, 4, u"8", false, false},
                      Typing{"BelowTheLowest", u"-3276", 5, 5, u"9", true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReplaceSelection, PutsTheInsertedTextInPlaceOfTheSelection) {
    EXPECT_EQ(ReplaceSelection(u"1234", 1, 3, u"-"), u"1-4");
    EXPECT_EQ(ReplaceSelection(u"1234", 3, 1, u"x"), u"123x4");  // an end before the start
    EXPECT_EQ(ReplaceSelection(u"12", 5, 6, u"3"), u"123");
}

}  // namespace
}  // namespace keyrack
