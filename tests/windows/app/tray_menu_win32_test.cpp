// The tray menus made from the model: item texts, ids, check marks, greyed entries and the
// twelve submenus, read back through the menu API.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <random>
#include <string>

#include "app/tray_menu_win32.h"
#include "platform/text.h"
#include "slots/slot_manager.h"
#include "tests/fakes/open_windows_desktop.h"

namespace keyrack {
namespace {

std::wstring TextOf(HMENU menu, UINT position) {
    wchar_t buffer[256] = {};
    GetMenuStringW(menu, position, buffer, 256, MF_BYPOSITION);
    return buffer;
}

UINT StateOf(HMENU menu, UINT position) { return GetMenuState(menu, position, MF_BYPOSITION); }

TEST(TrayMenuWin32Test, MenusFollowTheModel) {
    TrayMenuModel model;
    for (int i = 0; i < kSlotCount; ++i) {
        model.slots[static_cast<std::size_t>(i)].label =
            u"[F" + Utf8ToUtf16(std::to_string(i + 1)) + u"] 빈슬롯";
        model.slots[static_cast<std::size_t>(i)].entries = {
            {false, u"채우기", 200u + static_cast<unsigned>(i), false, false}};
    }
    model.slots[1] = {u"[F2] 작업",
                      true,
                      {{false, u"메모장", 0, true, false},
                       {false, u"닫힘", 0, false, false},
                       {true, u"", 0, false, false},
                       {false, u"닫기", 401, false, false},
                       {false, u"속성", 201, false, false}}};
    model.slots[2] = {u"[F3] 쉼",
                      false,
                      {{false, u"x", 0, false, true},
                       {true, u"", 0, false, false},
                       {false, u"닫기", 402, false, true},
                       {false, u"속성", 202, false, false}}};
    model.tail = {{true, u"", 0, false, false},
                  {false, u"정보", 101, false, false},
                  {false, u"종료", 100, false, false}};

    UniqueMenu popup = MakeTrayMenu(model);
    ASSERT_TRUE(popup);
    HMENU main = popup.Get();
    ASSERT_EQ(GetMenuItemCount(main), 15);
    for (UINT i = 0; i < 12; ++i) EXPECT_NE(GetSubMenu(main, static_cast<int>(i)), nullptr) << i;
    EXPECT_EQ(TextOf(main, 1), L"[F2] 작업");
    EXPECT_TRUE(StateOf(main, 1) & MF_CHECKED);
    EXPECT_FALSE(StateOf(main, 2) & MF_CHECKED);
    EXPECT_EQ(TextOf(main, 11), L"[F12] 빈슬롯");
    EXPECT_TRUE(StateOf(main, 12) & MF_SEPARATOR);
    EXPECT_EQ(TextOf(main, 13), L"정보");
    EXPECT_EQ(GetMenuItemID(main, 13), 101u);
    EXPECT_EQ(TextOf(main, 14), L"종료");
    EXPECT_EQ(GetMenuItemID(main, 14), 100u);

    HMENU deployed = GetSubMenu(main, 1);
    ASSERT_EQ(GetMenuItemCount(deployed), 5);
    EXPECT_EQ(TextOf(deployed, 0), L"메모장");
    EXPECT_TRUE(StateOf(deployed, 0) & MF_CHECKED);
    EXPECT_FALSE(StateOf(deployed, 1) & (MF_CHECKED | MF_GRAYED));
    EXPECT_TRUE(StateOf(deployed, 2) & MF_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(deployed, 3), 401u);
    EXPECT_FALSE(StateOf(deployed, 3) & MF_GRAYED);
    EXPECT_EQ(GetMenuItemID(deployed, 4), 201u);
    EXPECT_EQ(TextOf(deployed, 4), L"속성");

    HMENU idle = GetSubMenu(main, 2);
    EXPECT_TRUE(StateOf(idle, 0) & MF_GRAYED);
    EXPECT_TRUE(StateOf(idle, 2) & MF_GRAYED);
    EXPECT_EQ(GetMenuItemID(idle, 2), 402u);

    HMENU empty = GetSubMenu(main, 7);
    ASSERT_EQ(GetMenuItemCount(empty), 1);
    EXPECT_EQ(TextOf(empty, 0), L"채우기");
    EXPECT_EQ(GetMenuItemID(empty, 0), 207u);

    // One DestroyMenu frees the submenus with the main popup.
    popup.Reset();
    EXPECT_FALSE(IsMenu(deployed));
    EXPECT_FALSE(IsMenu(main));
}

TEST(TrayMenuWin32Test, BuildReadsTheSlotStore) {
    std::random_device random;
    const auto root =
        std::filesystem::temp_directory_path() / ("keyrack-traywin-" + std::to_string(random()));
    std::filesystem::create_directories(root / "data");
    testing::OpenWindowsDesktop desktop;
    const StorePaths paths{root / "data"};
    {
        Slot slot(4, paths);
        slot.name = u"데모";
        auto item = std::make_unique<SlotItem>();
        item->name = u"제목 없음 - 메모장";
        slot.items.push_back(std::move(item));
        ASSERT_EQ(slot.Save(), SaveResult::kSaved);
    }
    SlotManager manager(paths, desktop);
    manager.SetWindowList(4, {{0x1234, 0, 0}});
    TrayMenu menu;
    // F5's chord is held by another program.
    menu.Build(manager, ChordlessSlots().set(4));
    ASSERT_NE(menu.Popup(), nullptr);
    EXPECT_EQ(TextOf(menu.Popup(), 4), L"[F5] 데모 (단축키 사용 중)");
    EXPECT_TRUE(StateOf(menu.Popup(), 4) & MF_CHECKED);
    EXPECT_EQ(TextOf(menu.Popup(), 5), L"[F6] 빈슬롯");
    HMENU slot = GetSubMenu(menu.Popup(), 4);
    EXPECT_EQ(TextOf(slot, 0), L"제목 없음 - 메모장");
    EXPECT_TRUE(StateOf(slot, 0) & MF_CHECKED);
    menu.Destroy();
    EXPECT_EQ(menu.Popup(), nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

}  // namespace
}  // namespace keyrack
