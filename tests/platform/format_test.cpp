#include "platform/format.h"

#include <gtest/gtest.h>

namespace keyrack {
namespace {

TEST(Format, FillsPlaceholdersInOrder) {
    EXPECT_EQ(Format("F{}슬롯 전개", 3), "F3슬롯 전개");
    EXPECT_EQ(Format("{} and {}", "a", 12), "a and 12");
    EXPECT_EQ(Format("{} {}", 1), "1 {}");
    EXPECT_EQ(Format(u"프로세스 실행: {}", std::u16string(u"메모장")), u"프로세스 실행: 메모장");
    EXPECT_EQ(Format(u"{}", -7), u"-7");
}

TEST(Format, PointersPrintAsLowercaseHex) {
    const void* p = reinterpret_cast<const void*>(std::uintptr_t{0xABCDEF12});
    EXPECT_EQ(Format("{} 스레드 생성", p), "0xabcdef12 스레드 생성");
    EXPECT_EQ(Format("{}", static_cast<const void*>(nullptr)), "0x0");
}

TEST(Printf, FormatsFileNamesAndLabels) {
    EXPECT_EQ(Printf("%s\\%d.slot", "data\\", 12), "data\\\\12.slot");
    EXPECT_EQ(Printf(u"[F%d] %s", 3, std::u16string(u"작업")), u"[F3] 작업");
    EXPECT_EQ(Printf(u"[F%d] 빈슬롯", 10), u"[F10] 빈슬롯");
    EXPECT_EQ(Printf("100%% %d", 5), "100% 5");
    EXPECT_EQ(Printf("%d %d", 1), "1 %d");
}

}  // namespace
}  // namespace keyrack
