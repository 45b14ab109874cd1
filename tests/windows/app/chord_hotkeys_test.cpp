// The chords registered with the system under Wine: all twelve for the main window, one that
// another program holds left out (and only that one), and all of them free again when the
// owner goes.
#include "app/chord_hotkeys.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace keyrack {
namespace {

constexpr UINT kChordModifiers = MOD_CONTROL | MOD_SHIFT | MOD_NOREPEAT;

// Whether Ctrl+Shift+F<n> is free now: registers and at once unregisters it.
bool ChordIsFree(int n) {
    if (!RegisterHotKey(nullptr, 0x300 + n, kChordModifiers, VK_F1 + n - 1)) {
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED));
        return false;
    }
    UnregisterHotKey(nullptr, 0x300 + n);
    return true;
}

TEST(ChordHotkeysTest, HeldChordIsLeftOutAndTheOthersAreHeldUntilTheOwnerGoes) {
    HWND window = CreateWindowExW(0, L"STATIC", L"chords", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    // Another program's hold on F7, as a thread hotkey.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, kChordModifiers, VK_F7));
    {
        ChordHotkeys hotkeys;
        hotkeys.Register(window);
        for (int i = 0; i < kSlotCount; ++i) {
            EXPECT_EQ(hotkeys.StatusOf(i),
                      i == 6 ? ChordHotkeys::Status::kTaken : ChordHotkeys::Status::kRegistered)
                << "F" << i + 1;
        }
        EXPECT_EQ(hotkeys.ErrorOf(6), static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED));
        EXPECT_EQ(hotkeys.Taken(), ChordlessSlots().set(6));
        for (const int n : {1, 6, 12}) EXPECT_FALSE(ChordIsFree(n)) << "F" << n << " is ours";
    }
    for (const int n : {1, 6, 12}) EXPECT_TRUE(ChordIsFree(n)) << "F" << n << " given back";
    UnregisterHotKey(nullptr, 1);
    DestroyWindow(window);
}

}  // namespace
}  // namespace keyrack
