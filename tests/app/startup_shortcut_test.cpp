// The rules of the start-with-Windows entry: which shortcuts are this keyrack.exe's, what a new
// one is called, and where the entry goes in the tray menu.
#include "app/startup_shortcut.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace keyrack {
namespace {

constexpr char16_t kProgram[] = u"C:\\Apps\\Keyrack\\keyrack.exe";

class SamePathTest
    : public ::testing::TestWithParam<std::tuple<std::u16string, std::u16string, bool>> {};

TEST_P(SamePathTest, ComparesAsWindowsDoes) {
    const auto& [a, b, same] = GetParam();
    EXPECT_EQ(SameWindowsPath(a, b), same);
    EXPECT_EQ(SameWindowsPath(b, a), same);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SamePathTest,
    ::testing::Values(
        std::make_tuple(kProgram, kProgram, true),
        std::make_tuple(kProgram, u"c:\\apps\\KEYRACK\\Keyrack.EXE", true),
        std::make_tuple(kProgram, u"C:/Apps/Keyrack/keyrack.exe", true),
        std::make_tuple(kProgram, u"C:\\Apps\\\\Keyrack\\keyrack.exe", true),
        std::make_tuple(kProgram, u"C:\\Apps\\Keyrack2\\keyrack.exe", false),
        std::make_tuple(kProgram, u"C:\\Apps\\Keyrack\\keyrack.exe.bak", false),
        std::make_tuple(kProgram, u"D:\\Apps\\Keyrack\\keyrack.exe", false),
        // Only ASCII letters fold, as in the file system's own comparison of this program.
        std::make_tuple(u"C:\\Ä\\k.exe", u"C:\\ä\\k.exe", false),
        std::make_tuple(u"C:\\한글 폴더\\keyrack.exe", u"c:\\한글 폴더\\KEYRACK.exe", true),
        std::make_tuple(u"\\\\server\\share\\k.exe", u"\\server\\share\\k.exe", false),
        // An unreadable shortcut has no target; it never counts as one of ours.
        std::make_tuple(u"", u"", false)));

TEST(StartupShortcutTest, OnlyShortcutsToThisProgramAreOurs) {
    const std::vector<StartupShortcut> folder = {
        {u"Keyrack.lnk", u"C:\\Old\\keyrack.exe"},
        {u"keyrack.exe - 바로 가기.lnk", u"c:\\apps\\keyrack\\KEYRACK.EXE"},
        {u"broken.lnk", u""},
        {u"Keyrack (2).lnk", kProgram},
    };
    EXPECT_EQ(ShortcutsTo(folder, kProgram),
              (std::vector<std::u16string>{u"keyrack.exe - 바로 가기.lnk", u"Keyrack (2).lnk"}));
    EXPECT_TRUE(ShortcutsTo(folder, u"C:\\Other\\keyrack.exe").empty());
}

class NewNameTest
    : public ::testing::TestWithParam<std::tuple<std::vector<std::u16string>, std::u16string>> {};

TEST_P(NewNameTest, TakesTheFirstFreeName) {
    const auto& [taken, expected] = GetParam();
    EXPECT_EQ(NewShortcutName(taken), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NewNameTest,
    ::testing::Values(
        std::make_tuple(std::vector<std::u16string>{}, u"Keyrack.lnk"),
        std::make_tuple(std::vector<std::u16string>{u"desktop.ini", u"Other.lnk"}, u"Keyrack.lnk"),
        std::make_tuple(std::vector<std::u16string>{u"KEYRACK.LNK"}, u"Keyrack (2).lnk"),
        std::make_tuple(std::vector<std::u16string>{u"Keyrack.lnk", u"keyrack (2).lnk",
                                                    u"Keyrack (4).lnk"},
                        u"Keyrack (3).lnk"),
        // A folder of that name is taken as well.
        std::make_tuple(std::vector<std::u16string>{u".", u"..", u"Keyrack.lnk"},
                        u"Keyrack (2).lnk")));

TEST(StartupShortcutTest, OnlyTheKnownDisabledLayoutDisables) {
    using Bytes = std::vector<unsigned char>;
    const Bytes disabled = {3, 0, 0, 0, 9, 8, 7, 6, 5, 4, 3, 2},
                enabled = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::pair<std::optional<StartupApprovedValue>, bool> cases[] = {
        {std::nullopt, false},          {{{true, enabled}}, false}, {{{true, disabled}}, true},
        {{{false, disabled}}, false},   {{{true, {}}}, false},      {{{true, {3}}}, false},
        {{{true, Bytes(16, 3)}}, false}};
    for (const auto& [value, expected] : cases) EXPECT_EQ(MarkedDisabled(value), expected);
}

TEST(StartupShortcutTest, EntryGoesJustAboveAbout) {
    TrayMenuModel model;
    model.tail = {{true, u"", 0, false, false},
                  {false, u"정보", kIdTrayAbout, false, false},
                  {false, u"종료", kIdTrayExit, false, false}};
    AddStartupEntry(model, true);
    ASSERT_EQ(model.tail.size(), 4u);
    EXPECT_TRUE(model.tail[0].separator);
    EXPECT_EQ(model.tail[1],
              (TrayMenuEntry{false, u"Windows 시작 시 실행", kIdTrayStartup, true, false}));
    EXPECT_EQ(model.tail[2].id, kIdTrayAbout);
    EXPECT_EQ(model.tail[3].id, kIdTrayExit);

    TrayMenuModel noAbout;
    AddStartupEntry(noAbout, false);
    ASSERT_EQ(noAbout.tail.size(), 1u);
    EXPECT_FALSE(noAbout.tail[0].checked);
}

}  // namespace
}  // namespace keyrack
