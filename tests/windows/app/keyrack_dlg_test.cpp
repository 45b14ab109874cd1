// The real main window under Wine: it never shows, keeps its tray icon (also after the taskbar
// comes back), deletes exactly the indicator that asks for it, and ends cleanly.
#include "app/keyrack_dlg.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <atomic>
#include <thread>

#include "app/deployment_thread.h"
#include "deploy/deploy_limits.h"
#include "framework/win_app.h"
#include "popups/indicator_dlg.h"
#include "res/resource.h"
#include "tests/windows/app/tray_probe.h"

namespace keyrack {
namespace {

using testing::HasTrayIcon;

void PumpFor(int rounds) {
    for (int i = 0; i < rounds; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            AfxPumpMessage(msg);
        }
        Sleep(1);
    }
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dlg = std::make_unique<CKeyrackDlg>();
        ASSERT_TRUE(m_dlg->Create(IDD_MAIN, nullptr));
        m_app.m_pMainWnd = m_dlg.get();
        m_main = m_dlg->GetSafeHwnd();
    }
    void TearDown() override {
        if (m_dlg && m_dlg->GetSafeHwnd()) m_dlg->Shutdown();
        m_dlg.reset();
        m_app.m_pMainWnd = nullptr;
    }

    CWinApp m_app;
    std::unique_ptr<CKeyrackDlg> m_dlg;
    HWND m_main = nullptr;
};

TEST_F(MainWindowTest, StaysHidden) {
    EXPECT_FALSE(IsWindowVisible(m_main));
    ShowWindow(m_main, SW_SHOW);
    SetWindowPos(m_main, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    EXPECT_FALSE(IsWindowVisible(m_main));
}

TEST_F(MainWindowTest, TrayIconReturnsWhenTheTaskbarIsCreatedAgain) {
    ASSERT_TRUE(HasTrayIcon(m_main));
    // A restarted Explorer knows none of the old icons, then announces its taskbar.
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = m_main;
    data.uID = kTrayIconId;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
    ASSERT_FALSE(HasTrayIcon(m_main));
    SendMessageW(m_main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(HasTrayIcon(m_main));
    // Announced again while the icon is there: it stays, and still goes at the end.
    SendMessageW(m_main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(HasTrayIcon(m_main));
    SendMessageW(m_main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(HasTrayIcon(m_main));
}

TEST_F(MainWindowTest, ReleaseDeletesTheIndicatorThatAskedAndNoOther) {
    // The first indicator comes the polling thread's way: SendMessage from another thread,
    // answered while this thread handles messages.
    DeploymentIndicator* first = nullptr;
    std::atomic<bool> asked{false};
    std::thread polling([&] {
        first = m_dlg->CreateIndicator();
        asked = true;
    });
    for (int i = 0; i < 5000 && !asked; ++i) PumpFor(1);
    polling.join();
    ASSERT_NE(first, nullptr);
    auto* older = static_cast<IndicatorDlg*>(first);
    const HWND olderWindow = older->GetSafeHwnd();
    ASSERT_TRUE(IsWindowVisible(olderWindow));

    // A newer one before the older one's release has been handled.
    const LRESULT created = SendMessageW(m_main, WM_CREATE_INDICATOR, 0, 0);
    ASSERT_NE(created, 0);
    auto* newer = reinterpret_cast<IndicatorDlg*>(created);
    ASSERT_NE(newer, older);
    const HWND newerWindow = newer->GetSafeHwnd();
    ASSERT_TRUE(IsWindow(newerWindow));

    // A release that names no indicator of ours deletes nothing.
    PostMessageW(m_main, WM_RELEASE_INDICATOR, 0, 0);
    PumpFor(20);
    EXPECT_TRUE(IsWindow(olderWindow));
    EXPECT_TRUE(IsWindow(newerWindow));

    PostMessageW(m_main, WM_RELEASE_INDICATOR, reinterpret_cast<WPARAM>(older), 0);
    PumpFor(20);
    EXPECT_FALSE(IsWindow(olderWindow));
    EXPECT_TRUE(IsWindow(newerWindow));

    PostMessageW(m_main, WM_RELEASE_INDICATOR, reinterpret_cast<WPARAM>(newer), 0);
    PumpFor(20);
    EXPECT_FALSE(IsWindow(newerWindow));
}

TEST_F(MainWindowTest, CloseEndsTheProgramAndRemovesTheIcon) {
    ASSERT_TRUE(HasTrayIcon(m_main));
    SendMessageW(m_main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(m_main));
    EXPECT_FALSE(HasTrayIcon(m_main));
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    // Once the window is going, no indicator is made for a late chord.
    EXPECT_EQ(m_dlg->CreateIndicator(), nullptr);
}

TEST_F(MainWindowTest, EscapeEndsTheProgramToo) {
    SendMessageW(m_main, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    EXPECT_FALSE(IsWindow(m_main));
    EXPECT_FALSE(HasTrayIcon(m_main));
}

// A deployment thread held by a call that never returns (a launch waiting for a consent
// nobody gives): the exit's bounded wait leaves it behind in time, while the window's messages
// are still served.
TEST(DeploymentThreadTest, AThreadHeldByACallThatNeverReturnsIsLeftBehindInTime) {
    const HANDLE released = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        DeploymentThread thread;
        thread.Start([&](const StopRequest&, ChordMailbox&) {
            ::WaitForSingleObject(released, 30000);  // deaf to the stop, as a blocked call is
        });
        thread.RequestStop();
        const DWORD start = ::GetTickCount();
        EXPECT_FALSE(thread.Join(kExitWaitMs));
        const DWORD took = ::GetTickCount() - start;
        EXPECT_GE(took, kExitWaitMs - 16);
        EXPECT_LT(took, kExitWaitMs + 250);
        ::SetEvent(released);  // the test's own process goes on: the thread may end now
    }
    ::CloseHandle(released);
}

}  // namespace
}  // namespace keyrack
