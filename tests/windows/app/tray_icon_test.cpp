// The tray icon on its own, on Wine's shell desktop: what each step leaves the shell holding.
#include "app/tray_icon.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>

#include "tests/windows/app/tray_probe.h"

namespace keyrack {
namespace {

using testing::HasTrayIcon;

// A plain window for the icon to belong to.
HWND MakeOwner() {
    return CreateWindowExW(0, L"STATIC", L"tray owner", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

struct TrayStep {
    const char* name;
    std::function<void(TrayIcon&, HWND)> step;
    bool shown;
};

class TrayIconSteps : public ::testing::TestWithParam<TrayStep> {};

TEST_P(TrayIconSteps, LeavesTheShellHoldingTheIconOrNot) {
    const HWND owner = MakeOwner();
    ASSERT_NE(owner, nullptr);
    {
        TrayIcon icon;
        icon.Add(owner, WM_APP + 7, LoadIconW(nullptr, IDI_APPLICATION), L"Keyrack");
        ASSERT_TRUE(HasTrayIcon(owner));
        GetParam().step(icon, owner);
        EXPECT_EQ(HasTrayIcon(owner), GetParam().shown);
    }
    EXPECT_FALSE(HasTrayIcon(owner));  // the owner of the icon removes it as it goes
    DestroyWindow(owner);
}

void DeleteBehindItsBack(HWND owner) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = kTrayIconId;
    Shell_NotifyIconW(NIM_DELETE, &data);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, TrayIconSteps,
    ::testing::Values(
        TrayStep{"Added", [](TrayIcon&, HWND) {}, true},
        TrayStep{"Removed", [](TrayIcon& icon, HWND) { icon.Remove(); }, false},
        TrayStep{"RemovedTwice",
                 [](TrayIcon& icon, HWND) {
                     icon.Remove();
                     icon.Remove();
                 },
                 false},
        // Explorer restarted: the shell lost the icon, and it comes back.
        TrayStep{"AddedAgainAfterTheShellLostIt",
                 [](TrayIcon& icon, HWND owner) {
                     DeleteBehindItsBack(owner);
                     icon.AddAgain();
                 },
                 true},
        // "TaskbarCreated" while the shell still holds the icon: it stays, and stays ours.
        TrayStep{"AddedAgainWhileStillHeld", [](TrayIcon& icon, HWND) { icon.AddAgain(); }, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TrayIcon, KnowsTheTaskbarCreatedMessage) {
    TrayIcon icon;
    EXPECT_TRUE(icon.IsTaskbarCreated(RegisterWindowMessageW(L"TaskbarCreated")));
    EXPECT_FALSE(icon.IsTaskbarCreated(WM_APP + 7));
    EXPECT_FALSE(icon.IsTaskbarCreated(0));
}

}  // namespace
}  // namespace keyrack
