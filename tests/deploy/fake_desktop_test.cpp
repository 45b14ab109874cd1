// The simulated desktop itself: the deployment tests are only as good as its rules.
#include <gtest/gtest.h>

#include <thread>

#include "tests/fakes/fake_desktop.h"

namespace keyrack::testing {
namespace {

ShellLaunch Launching(std::u16string_view file) { return {file, u"", u"", win::kSwShow, 0, {}}; }

TEST(FakeDesktopTest, ProgramOpensItsWindowAfterItsPausesOnTheLaunchingThreadOnly) {
    FakeDesktop desktop;
    FakeProgram program;
    program.pausesBeforeWindow = 3;
    desktop.AddProgram(u"C:\\a.exe", program);
    ASSERT_TRUE(desktop.ShellExecuteDefault(Launching(u"C:\\a.exe")));
    std::thread other([&] {
        for (int k = 0; k < 10; ++k) desktop.Sleep(1);
    });
    other.join();
    EXPECT_TRUE(desktop.WindowsOpenedBy(u"C:\\a.exe").empty()) << "another thread's pauses";
    desktop.Sleep(1);
    desktop.Sleep(200);
    EXPECT_TRUE(desktop.WindowsOpenedBy(u"C:\\a.exe").empty());
    desktop.Sleep(1);
    ASSERT_EQ(desktop.WindowsOpenedBy(u"C:\\a.exe").size(), 1u);
    const WindowHandle window = desktop.WindowsOpenedBy(u"C:\\a.exe")[0];
    EXPECT_EQ(desktop.ZOrder().front(), window);
    std::uint32_t pid = 0;
    EXPECT_NE(desktop.GetWindowThreadProcessId(window, &pid), 0u);
    const ProcessHandle process = desktop.OpenProcess(0x410, false, pid);
    EXPECT_EQ(desktop.GetProcessImagePath(process, 260), u"C:\\a.exe");
    desktop.CloseHandle(process);
    EXPECT_EQ(desktop.VirtualMilliseconds(), 10u + 1u + 200u + 1u);
}

TEST(FakeDesktopTest, LauncherWindowBelongsToAnotherImageAndUnknownFilesFailToLaunch) {
    FakeDesktop desktop;
    FakeProgram launcher;
    launcher.ownerImagePath = u"C:\\real.exe";
    desktop.AddProgram(u"C:\\launch.exe", launcher);
    EXPECT_FALSE(desktop.ShellExecuteDefault(Launching(u"C:\\missing.exe")));
    EXPECT_TRUE(desktop.ShellExecuteDefault(Launching(u"C:\\launch.exe")));
    const WindowHandle window = desktop.WindowsOpenedBy(u"C:\\launch.exe").at(0);
    std::uint32_t pid = 0;
    desktop.GetWindowThreadProcessId(window, &pid);
    const ProcessHandle process = desktop.OpenProcess(0x410, false, pid);
    EXPECT_EQ(desktop.GetProcessImagePath(process, 260), u"C:\\real.exe");
    EXPECT_EQ(desktop.GetProcessImagePath(process, 5), u"C:\\r") << "cut to capacity - 1";
    desktop.CloseHandle(process);
    EXPECT_EQ(desktop.OpenProcessHandles(), 0);
}

TEST(FakeDesktopTest, ShowStatesZOrderAndClosing) {
    FakeDesktop desktop;
    const WindowHandle a = desktop.AddWindow({});
    const WindowHandle b = desktop.AddWindow({});
    EXPECT_EQ(desktop.ZOrder(), (std::vector<WindowHandle>{b, a}));
    desktop.ShowWindow(a, win::kSwShowMinNoActive);
    EXPECT_TRUE(desktop.IsIconic(a));
    EXPECT_EQ(desktop.ZOrder().front(), b) << "minimising does not activate";
    desktop.ShowWindow(a, win::kSwShowNoActivate);
    EXPECT_FALSE(desktop.IsIconic(a));
    EXPECT_EQ(desktop.ZOrder().front(), b);
    desktop.SetWindowPos(a, win::kHwndTop, 0, 0, 0, 0, 0x13);
    EXPECT_EQ(desktop.ZOrder().front(), a);
    EXPECT_EQ(desktop.Window(a).normalRect, (Rect{100, 100, 900, 700})) << "not moved or sized";
    desktop.ShowWindow(b, win::kSwShowMaximized);
    EXPECT_TRUE(desktop.IsZoomed(b));
    EXPECT_EQ(desktop.GetForegroundWindow(), b);
    desktop.ShowWindow(b, win::kSwShowNormal);
    EXPECT_FALSE(desktop.IsZoomed(b));
    EXPECT_TRUE(desktop.MoveWindow(b, 1, 2, 30, 40, false));
    EXPECT_EQ(desktop.CurrentRect(b), (Rect{1, 2, 31, 42}));
    desktop.PostWindowMessage(b, win::kWmClose, 0, 0);
    EXPECT_FALSE(desktop.Exists(b));
    EXPECT_EQ(desktop.GetWindowThreadProcessId(b, nullptr), 0u);
    EXPECT_FALSE(desktop.ShowWindow(b, win::kSwShowNormal));
    EXPECT_EQ(desktop.GetWindowThreadProcessId(0, nullptr), 0u);
}

TEST(FakeDesktopTest, KeysAndRecordedCalls) {
    FakeDesktop desktop;
    desktop.SetKey(win::kVkLControl, true);
    EXPECT_LT(desktop.GetKeyState(win::kVkLControl), 0);
    EXPECT_EQ(desktop.GetKeyState(win::kVkLShift), 0);
    const auto calls = desktop.CallsNamed("GetKeyState");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].args, (std::vector<std::int64_t>{win::kVkLControl}));
    EXPECT_EQ(calls[0].thread, std::this_thread::get_id());
    desktop.SetRecording(false);
    desktop.GetKeyState(win::kVkLShift);
    EXPECT_EQ(desktop.CallsNamed("GetKeyState").size(), 2u);
    EXPECT_EQ(desktop.CountOf("GetKeyState"), 3u);
}

}  // namespace
}  // namespace keyrack::testing
