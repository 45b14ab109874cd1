// The indicator popup as a real window on Wine's shell desktop: placement beside the taskbar,
// topmost, rounded region, painting, animation, status lines, Esc during a deployment and the
// release message.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "deploy/worker_status_list.h"
#include "framework/dialog_ex.h"
#include "framework/dpi.h"
#include "popups/indicator_dlg.h"
#include "res/resource.h"
#include "res/shared_resources.h"
#include "ui_pump.h"

namespace keyrack {
namespace {

using testing::PumpOnce;
using testing::PumpUntil;
using testing::WindowText;

// Stands in for the main window: records every release message it receives.
class OwnerDlg : public CDialogEx {
  public:
    OwnerDlg() : CDialogEx(IDD_MAIN) {}
    std::vector<WPARAM> m_released;

  protected:
    bool DialogProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (msg == WM_RELEASE_INDICATOR) {
            m_released.push_back(wParam);
            return true;
        }
        return DialogProcDefault(msg, wParam, lParam, result);
    }
};

class IndicatorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_owner = std::make_unique<OwnerDlg>();
        ASSERT_TRUE(m_owner->Create());
        m_taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
        ASSERT_NE(m_taskbar, nullptr) << "the test runs on Wine's shell desktop with a taskbar";
    }
    void TearDown() override {
        m_indicator.reset();
        m_owner.reset();
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }

    IndicatorDlg& Open() {
        m_indicator = std::make_unique<IndicatorDlg>(m_status);
        EXPECT_TRUE(m_indicator->Create(IDD_INDICATOR, m_owner->m_hWnd));
        m_indicator->ShowWindow(SW_SHOW);
        return *m_indicator;
    }
    std::wstring Text(int id) const { return WindowText(m_indicator->GetDlgItem(id)); }
    // The oldest release message the owner has received (handling those still queued).
    bool TakeRelease(WPARAM* wParam) {
        MSG msg;
        while (::PeekMessageW(&msg, m_owner->m_hWnd, WM_RELEASE_INDICATOR, WM_RELEASE_INDICATOR,
                              PM_REMOVE))
            ::DispatchMessageW(&msg);
        if (m_owner->m_released.empty()) return false;
        *wParam = m_owner->m_released.front();
        m_owner->m_released.erase(m_owner->m_released.begin());
        return true;
    }

    WorkerStatusList m_status;
    std::unique_ptr<OwnerDlg> m_owner;
    std::unique_ptr<IndicatorDlg> m_indicator;
    HWND m_taskbar = nullptr;
};

TEST_F(IndicatorTest, SitsAboveTheTaskbarsRightEndTopmostWithOwnerAndTaskbarButtonStyle) {
    IndicatorDlg& indicator = Open();
    HWND hwnd = indicator.m_hWnd;
    RECT taskbar{}, popup{};
    ASSERT_TRUE(::GetWindowRect(m_taskbar, &taskbar));
    ASSERT_TRUE(::GetWindowRect(hwnd, &popup));
    const int w = popup.right - popup.left, h = popup.bottom - popup.top;
    EXPECT_GT(w, 200);
    EXPECT_GT(h, 80);
    const int gap = ScaleDpi(10, WindowDpi(hwnd));
    EXPECT_EQ(popup.left, taskbar.right - w - gap);
    EXPECT_EQ(popup.top, taskbar.top - h - gap);

    const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_APPWINDOW);
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE((style & WS_CAPTION) == WS_CAPTION);
    EXPECT_EQ(::GetWindow(hwnd, GW_OWNER), m_owner->m_hWnd);
    EXPECT_TRUE(::IsWindowVisible(hwnd));
}

TEST_F(IndicatorTest, WindowRegionIsTheRoundedRectangle) {
    IndicatorDlg& indicator = Open();
    HWND hwnd = indicator.m_hWnd;
    RECT popup{};
    ::GetWindowRect(hwnd, &popup);
    const int w = popup.right - popup.left, h = popup.bottom - popup.top;
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(::GetWindowRgn(hwnd, region), COMPLEXREGION);
    // The corners are cut away, the edges' middles are inside.
    EXPECT_FALSE(::PtInRegion(region, 0, 0));
    EXPECT_FALSE(::PtInRegion(region, w - 2, 0));
    EXPECT_FALSE(::PtInRegion(region, 0, h - 2));
    EXPECT_FALSE(::PtInRegion(region, w - 2, h - 2));
    EXPECT_FALSE(::PtInRegion(region, 1, 1));
    EXPECT_TRUE(::PtInRegion(region, w / 2, 0));
    EXPECT_TRUE(::PtInRegion(region, 0, h / 2));
    EXPECT_TRUE(::PtInRegion(region, 10, 10));
    ::DeleteObject(region);
}

TEST_F(IndicatorTest, ControlsHaveTheSharedFontsRenderedInPretendard) {
    IndicatorDlg& indicator = Open();
    struct Expect {
        int id;
        LONG height;  // at 96 DPI
        const wchar_t* face;
        LONG weightAtLeast;
    } expected[] = {{IDC_IND_SLOTNAME, 20, L"Pretendard Bold", FW_BOLD},
                    {IDC_IND_PROGRESS, 30, L"Pretendard ExtraBold", FW_NORMAL},
                    {IDC_IND_LINES, 15, L"Pretendard Medium", FW_MEDIUM}};
    const int dpi = WindowDpi(indicator.m_hWnd);
    HDC dc = ::GetDC(nullptr);
    for (const Expect& e : expected) {
        HFONT font = reinterpret_cast<HFONT>(indicator.SendDlgItemMessage(e.id, WM_GETFONT));
        LOGFONTW asked{};
        ASSERT_EQ(::GetObjectW(font, sizeof(asked), &asked), static_cast<int>(sizeof(asked)));
        EXPECT_EQ(asked.lfHeight, ScaleDpi(e.height, dpi)) << e.id;
        EXPECT_STREQ(asked.lfFaceName, e.face) << e.id;
        EXPECT_EQ(asked.lfWeight, FW_NORMAL) << e.id;
        // What the font mapper really chose: a Pretendard face from the files beside the exe
        // (the bold file's family is plain "Pretendard"), not a substitute.
        HGDIOBJ old = ::SelectObject(dc, font);
        wchar_t face[LF_FACESIZE] = {};
        ::GetTextFaceW(dc, LF_FACESIZE, face);
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        ::SelectObject(dc, old);
        EXPECT_EQ(std::wstring(face).rfind(L"Pretendard", 0), 0u) << e.id;
        EXPECT_GE(metrics.tmWeight, e.weightAtLeast) << e.id;
        // The cell height asked for, give or take the mapper's rounding.
        EXPECT_LE(std::abs(metrics.tmHeight - asked.lfHeight), 1) << e.id;
    }
    ::ReleaseDC(nullptr, dc);
    // The progress and lines controls are left-aligned, the slot name centred.
    EXPECT_EQ(::GetWindowLongPtrW(indicator.GetDlgItem(IDC_IND_SLOTNAME), GWL_STYLE) & SS_TYPEMASK,
              SS_CENTER);
    EXPECT_EQ(::GetWindowLongPtrW(indicator.GetDlgItem(IDC_IND_PROGRESS), GWL_STYLE) & SS_TYPEMASK,
              SS_LEFT);
}

TEST_F(IndicatorTest, PaintsTheDarkRoundedPanelWithItsBorder) {
    IndicatorDlg& indicator = Open();
    HWND hwnd = indicator.m_hWnd;
    ASSERT_TRUE(PumpUntil([&] { return !::GetUpdateRect(hwnd, nullptr, FALSE); }));
    for (int i = 0; i < 50; ++i) PumpOnce();
    RECT popup{};
    ::GetWindowRect(hwnd, &popup);
    const int h = popup.bottom - popup.top;
    HDC screen = ::GetDC(nullptr);
    // Left margin, clear of the controls: the background; the left edge: the border.
    COLORREF inside = ::GetPixel(screen, popup.left + 4, popup.top + h / 2);
    COLORREF edge = ::GetPixel(screen, popup.left, popup.top + h / 2);
    // Inside a static control's rectangle away from its text: also the background.
    RECT lines{};
    ::GetWindowRect(indicator.GetDlgItem(IDC_IND_LINES), &lines);
    COLORREF control = ::GetPixel(screen, lines.right - 3, lines.bottom - 3);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(inside, RGB(34, 33, 33));
    EXPECT_EQ(edge, RGB(68, 67, 67));
    EXPECT_EQ(control, RGB(34, 33, 33));
}

TEST_F(IndicatorTest, ProgressAnimatesThroughThePhasesThenHoldsTheFinalText) {
    Open();
    // From the first animation text on, only the three phases show, each of them in turn, and
    // a phase lasts about 150 ms (ten ticks of the popup's timer).
    std::set<std::wstring> seen;
    std::wstring shown;
    std::vector<std::chrono::steady_clock::time_point> changes;
    ASSERT_TRUE(PumpUntil([&] {
        const std::wstring text = Text(IDC_IND_PROGRESS);
        if (text.rfind(L"여는 중.", 0) != 0) return false;
        seen.insert(text);
        if (text != shown) changes.push_back(std::chrono::steady_clock::now());
        shown = text;
        return changes.size() >= 5;
    }));
    EXPECT_EQ(seen.size(), 3u);
    // The first change is the first text; the whole phases lie between the later ones.
    const auto phase =
        std::chrono::duration_cast<std::chrono::milliseconds>(changes.back() - changes[1]) / 3;
    std::printf("indicator phase: %lld ms\n", static_cast<long long>(phase.count()));
    EXPECT_GE(phase.count(), 110);
    EXPECT_LE(phase.count(), 200);

    m_indicator->ShowOutcome(u"완료");
    ASSERT_TRUE(PumpUntil([&] { return Text(IDC_IND_PROGRESS) == L"완료"; }));
    // Several refresh rounds later it still shows the outcome.
    for (int i = 0; i < 300; ++i) {
        PumpOnce();
        ASSERT_EQ(Text(IDC_IND_PROGRESS), L"완료") << i;
    }
}

TEST_F(IndicatorTest, SlotNameAndStatusLinesInGroupOrder) {
    Open();
    EXPECT_EQ(Text(IDC_IND_SLOTNAME), L"");
    m_indicator->SetSlotName(u"작업 공간");
    EXPECT_EQ(Text(IDC_IND_SLOTNAME), L"작업 공간");

    const std::size_t first = m_status.Append();
    const std::size_t second = m_status.Append();
    ASSERT_TRUE(PumpUntil([&] { return Text(IDC_IND_LINES).empty(); }));
    m_status.Publish(first, u"notepad.exe 실행 중");
    m_status.Publish(second, u"calc.exe 창 찾는 중");
    ASSERT_TRUE(PumpUntil([&] {
        return Text(IDC_IND_LINES) == L"notepad.exe 실행 중\ncalc.exe 창 찾는 중\n";
    })) << Text(IDC_IND_LINES).size();
    m_status.Remove(first);
    ASSERT_TRUE(PumpUntil([&] { return Text(IDC_IND_LINES) == L"calc.exe 창 찾는 중\n"; }));
    m_status.Clear();
    ASSERT_TRUE(PumpUntil([&] { return Text(IDC_IND_LINES).empty(); }));
}

TEST_F(IndicatorTest, EscapeAndEnterDuringADeploymentAreIgnored) {
    IndicatorDlg& indicator = Open();
    HWND hwnd = indicator.m_hWnd;
    // Esc and Enter through the message loop (IsDialogMessage turns them into IDCANCEL and
    // IDOK), and both commands directly, as a close request would.
    ::SetForegroundWindow(hwnd);
    ::SetFocus(hwnd);
    MSG esc{hwnd, WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {}};
    AfxPumpMessage(esc);
    MSG enter{hwnd, WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {}};
    AfxPumpMessage(enter);
    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
    for (int i = 0; i < 50; ++i) PumpOnce();
    WPARAM released = 0;
    EXPECT_FALSE(TakeRelease(&released));
    EXPECT_TRUE(::IsWindowVisible(hwnd));
    // Still animating: the refresh thread goes on.
    std::set<std::wstring> seen;
    EXPECT_TRUE(PumpUntil([&] {
        seen.insert(Text(IDC_IND_PROGRESS));
        return seen.size() >= 2;
    }));
}

TEST_F(IndicatorTest, FinishFromTheDeploymentThreadStopsHidesAndPostsItsOwnIdentity) {
    IndicatorDlg& indicator = Open();
    HWND hwnd = indicator.m_hWnd;
    indicator.ShowOutcome(u"로드 실패");
    ASSERT_TRUE(PumpUntil([&] { return Text(IDC_IND_PROGRESS) == L"로드 실패"; }));

    std::atomic<bool> finished{false};
    std::thread deployment([&] {
        indicator.Finish();
        finished = true;
    });
    // The deployment's thread waits for the refresh thread, whose window calls this thread serves.
    EXPECT_TRUE(PumpUntil([&] { return finished.load(); }));
    deployment.join();
    EXPECT_FALSE(::IsWindowVisible(hwnd));
    EXPECT_TRUE(::IsWindow(hwnd)) << "the owner deletes it, not the popup itself";
    WPARAM released = 0;
    ASSERT_TRUE(TakeRelease(&released));
    EXPECT_EQ(released, reinterpret_cast<WPARAM>(&indicator));
    // Esc or a second Finish after the close change nothing and ask for no second release.
    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    indicator.Finish();
    EXPECT_FALSE(TakeRelease(&released));
}

TEST_F(IndicatorTest, TwoIndicatorsEachReleaseThemselves) {
    auto older = std::make_unique<IndicatorDlg>(m_status);
    ASSERT_TRUE(older->Create(IDD_INDICATOR, m_owner->m_hWnd));
    IndicatorDlg& newer = Open();
    older->Finish();
    WPARAM released = 0;
    ASSERT_TRUE(TakeRelease(&released));
    EXPECT_EQ(released, reinterpret_cast<WPARAM>(older.get()));
    EXPECT_NE(released, reinterpret_cast<WPARAM>(&newer));
    EXPECT_TRUE(::IsWindowVisible(newer.m_hWnd));
    newer.Finish();
    ASSERT_TRUE(TakeRelease(&released));
    EXPECT_EQ(released, reinterpret_cast<WPARAM>(&newer));
}

TEST_F(IndicatorTest, FinishOrDeletionOnTheWindowsOwnThreadDoesNotDeadlock) {
    // The refresh thread is busy with window calls on this thread: both paths must keep
    // serving them while they wait for it.
    for (int round = 0; round < 5; ++round) {
        IndicatorDlg& indicator = Open();
        m_status.Append();
        m_status.Publish(0, u"x" + std::u16string(static_cast<std::size_t>(round), u'y'));
        for (int i = 0; i < 5; ++i) PumpOnce();
        if (round % 2 == 0) {
            indicator.Finish();
            WPARAM released = 0;
            EXPECT_TRUE(TakeRelease(&released));
            EXPECT_EQ(released, reinterpret_cast<WPARAM>(&indicator));
        }
        m_indicator.reset();  // the destructor stops a refresh thread that still runs
        m_status.Clear();
    }
}

TEST_F(IndicatorTest, FollowsTheTaskbarWhenItMoves) {
    IndicatorDlg& indicator = Open();
    RECT original{};
    ASSERT_TRUE(::GetWindowRect(m_taskbar, &original));
    RECT start{};
    ASSERT_TRUE(::GetWindowRect(indicator.m_hWnd, &start));
    const int w = start.right - start.left;
    const int h = start.bottom - start.top;
    const int gap = ScaleDpi(10, WindowDpi(indicator.m_hWnd));
    ::SetWindowPos(m_taskbar, nullptr, 0, 900, 1600, 40, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT moved{};
    ::GetWindowRect(m_taskbar, &moved);
    const bool taskbarMoved = moved.top != original.top || moved.right != original.right;
    RECT popup{};
    if (taskbarMoved) {
        EXPECT_TRUE(PumpUntil([&] {
            ::GetWindowRect(indicator.m_hWnd, &popup);
            return popup.left == moved.right - w - gap && popup.top == moved.top - h - gap;
        })) << popup.left
            << "," << popup.top;
    }
    ::SetWindowPos(m_taskbar, nullptr, original.left, original.top, original.right - original.left,
                   original.bottom - original.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(taskbarMoved) << "the shell's taskbar could not be moved";
    EXPECT_TRUE(PumpUntil([&] {
        ::GetWindowRect(indicator.m_hWnd, &popup);
        return popup.top == original.top - h - gap;
    }));
}

}  // namespace
}  // namespace keyrack
