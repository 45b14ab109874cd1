// The thin dialog framework against real windows: modal and modeless dialogs from templates,
// the message loop with IsDialogMessage, notification results, subclassed controls and the
// GDI owners.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "framework/dialog_ex.h"
#include "framework/gdi.h"
#include "framework/static_ctrl.h"
#include "framework/ui_thread.h"
#include "framework/win_app.h"
#include "platform/win32/handles.h"
#include "res/resource.h"

namespace keyrack {
namespace {

// A dialog on the main window's template that records what the framework calls.
class ProbeDlg : public CDialogEx {
  public:
    static constexpr UINT kDestroyYourself = WM_APP + 1;
    static constexpr UINT kAnswer = WM_APP + 2;
    LRESULT m_answer = 0;
    ProbeDlg() : CDialogEx(IDD_MAIN) {}
    std::vector<std::string> m_calls;
    HWND m_hwndAtInit = nullptr;
    LRESULT m_notifyResult = 0;
    bool m_endOnInit = false;
    bool* m_postNcDestroyed = nullptr;

  protected:
    BOOL OnInitDialog() override {
        m_calls.push_back("init");
        m_hwndAtInit = m_hWnd;
        if (m_endOnInit) ::PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return TRUE;
    }
    void OnOK() override {
        m_calls.push_back("ok");
        CDialogEx::OnOK();
    }
    void OnCancel() override {
        m_calls.push_back("cancel");
        EndDialog(77);
    }
    BOOL OnCommand(WPARAM wParam, LPARAM) override {
        if (LOWORD(wParam) == 4242) {
            m_calls.push_back("command");
            return TRUE;
        }
        return FALSE;
    }
    BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT* result) override {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code != 123u) return FALSE;
        m_calls.push_back("notify");
        *result = m_notifyResult;
        return TRUE;
    }
    bool DialogProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        switch (msg) {
            case kDestroyYourself:
                ::DestroyWindow(m_hWnd);
                return true;
            case kAnswer:
            case WM_CTLCOLORSTATIC:
                result = m_answer;
                return true;
            default:
                return DialogProcDefault(msg, wParam, lParam, result);
        }
    }
    void PostNcDestroy() override {
        m_calls.push_back(m_hWnd == nullptr ? "gone" : "still");
        if (m_postNcDestroyed != nullptr) *m_postNcDestroyed = true;
    }
};

TEST(DialogEx, ModalRunsInitThenOkEndsWithItsResult) {
    ProbeDlg dialog;
    dialog.m_endOnInit = true;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_calls, (std::vector<std::string>{"init", "ok", "gone"}));
    EXPECT_NE(dialog.m_hwndAtInit, nullptr);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(DialogEx, ModelessKeepsTheObjectInTheWindowAndDispatchesToIt) {
    ProbeDlg dialog;
    ASSERT_TRUE(dialog.Create());
    HWND hwnd = dialog.m_hWnd;
    EXPECT_EQ(dialog.m_hwndAtInit, hwnd);
    EXPECT_EQ(::GetWindowLongPtrW(hwnd, DWLP_USER), reinterpret_cast<LONG_PTR>(&dialog));

    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(4242, 0), 0);
    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    // Modeless: the cancel's EndDialog hides the window and leaves it alive.
    EXPECT_TRUE(::IsWindow(hwnd));
    EXPECT_FALSE(::IsWindowVisible(hwnd));

    NMHDR header{hwnd, 5, 123u};
    dialog.m_notifyResult = 98765;
    EXPECT_EQ(::SendMessageW(hwnd, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)), 98765);
    NMHDR other{hwnd, 5, 124u};
    EXPECT_EQ(::SendMessageW(hwnd, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&other)), 0);

    bool destroyed = false;
    dialog.m_postNcDestroyed = &destroyed;
    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.m_calls,
              (std::vector<std::string>{"init", "command", "cancel", "notify", "gone"}));
}

// Each handled message's result reaches the sender, whichever way Windows expects it.
struct ResultCase {
    const char* name;
    UINT msg;
};

class DialogResult : public ::testing::TestWithParam<ResultCase> {};

TEST_P(DialogResult, HandlersResultReachesTheSender) {
    ProbeDlg dialog;
    ASSERT_TRUE(dialog.Create());
    for (LRESULT answer : {LRESULT{0x5A5A}, LRESULT{2}, LRESULT{-7}}) {
        dialog.m_answer = answer;
        EXPECT_EQ(::SendMessageW(dialog.m_hWnd, GetParam().msg, 0, 0), answer) << answer;
    }
}

INSTANTIATE_TEST_SUITE_P(Placement, DialogResult,
                         ::testing::Values(ResultCase{"ThroughMsgResult", ProbeDlg::kAnswer},
                                           ResultCase{"ThroughReturnValue", WM_CTLCOLORSTATIC}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DialogEx, PostedTasksRunInOrderOnTheWindowsThread) {
    ProbeDlg dialog;
    ASSERT_TRUE(dialog.Create());
    const DWORD uiThread = ::GetCurrentThreadId();
    std::vector<int> ran;
    std::vector<DWORD> threads;
    std::thread poster([&] {
        for (int n = 0; n < 3; ++n) {
            EXPECT_TRUE(dialog.PostTask([&, n] {
                ran.push_back(n);
                threads.push_back(::GetCurrentThreadId());
            }));
        }
    });
    poster.join();
    EXPECT_TRUE(ran.empty());  // nothing runs until this thread serves its messages
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) AfxPumpMessage(msg);
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(threads, (std::vector<DWORD>(3, uiThread)));

    dialog.DestroyWindow();
    EXPECT_FALSE(dialog.PostTask([] {}));
}

// What the waiting thread serves while it waits: a message sent from another thread always
// (its sender waits for the answer), posted work only when asked to serve every message.
struct WaitCase {
    const char* name;
    Serve serve;
    bool postedRunsDuringWait;
};

class WaitWhileDispatchingTest : public ::testing::TestWithParam<WaitCase> {};

TEST_P(WaitWhileDispatchingTest, ServesTheWaitingThreadsWindowsUntilTheHandleIsSet) {
    ProbeDlg dialog;
    ASSERT_TRUE(dialog.Create());
    const UniqueKernelHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    bool postedRan = false;
    ASSERT_TRUE(dialog.PostTask([&] { postedRan = true; }));
    dialog.m_answer = 31;
    LRESULT sentAnswer = 0;
    std::thread other([&] {
        // Answered only if the waiting thread serves sent messages.
        sentAnswer = ::SendMessageW(dialog.m_hWnd, ProbeDlg::kAnswer, 0, 0);
        ::SetEvent(done.Get());
    });
    EXPECT_TRUE(WaitWhileDispatching(done.Get(), GetParam().serve));
    other.join();
    EXPECT_EQ(sentAnswer, 31);
    EXPECT_EQ(postedRan, GetParam().postedRunsDuringWait);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) AfxPumpMessage(msg);
    EXPECT_TRUE(postedRan);
}

INSTANTIATE_TEST_SUITE_P(Serving, WaitWhileDispatchingTest,
                         ::testing::Values(WaitCase{"SentOnly", Serve::kSentMessages, false},
                                           WaitCase{"Everything", Serve::kAllMessages, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WaitWhileDispatching, PostsAQuitItMetAgainAndFailsOnANullHandle) {
    const UniqueKernelHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ::PostQuitMessage(5);
    std::thread setter([&] {
        ::Sleep(50);
        ::SetEvent(done.Get());
    });
    EXPECT_TRUE(WaitWhileDispatching(done.Get()));
    setter.join();
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_FALSE(WaitWhileDispatching(nullptr));
}

TEST(DialogEx, OneWindowPerObject) {
    ProbeDlg dialog;
    ASSERT_TRUE(dialog.Create());
    HWND first = dialog.m_hWnd;
    EXPECT_FALSE(dialog.Create());
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.m_hWnd, first);
}

TEST(DialogEx, DestructorDestroysAModelessWindow) {
    HWND hwnd = nullptr;
    {
        ProbeDlg dialog;
        ASSERT_TRUE(dialog.Create());
        hwnd = dialog.m_hWnd;
        ASSERT_TRUE(::IsWindow(hwnd));
    }
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(DialogEx, WithoutParentTheApplicationsMainWindowOwnsIt) {
    CWinApp app;
    ProbeDlg main;
    ASSERT_TRUE(main.Create());
    app.m_pMainWnd = &main;
    ProbeDlg child;
    ASSERT_TRUE(child.Create());
    EXPECT_EQ(::GetWindow(child.m_hWnd, GW_OWNER), main.m_hWnd);
    app.m_pMainWnd = nullptr;
}

class LoopApp : public CWinApp {
  public:
    int m_exits = 0;
    int ExitInstance() override {
        ++m_exits;
        return 5;
    }
};

TEST(WinApp, LoopGivesKeysToModelessDialogsAndEndsWithTheMainWindow) {
    LoopApp app;
    ProbeDlg main;
    ASSERT_TRUE(main.Create());
    main.ShowWindow(SW_SHOW);
    app.m_pMainWnd = &main;
    // Esc on a control of the modeless dialog: only IsDialogMessage turns it into IDCANCEL.
    ::PostMessageW(main.GetDlgItem(IDOK), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    ::PostMessageW(main.m_hWnd, WM_COMMAND, MAKEWPARAM(4242, 0), 0);
    // Then the main window destroys itself, which ends the loop.
    ::PostMessageW(main.m_hWnd, ProbeDlg::kDestroyYourself, 0, 0);
    EXPECT_EQ(app.Run(), 5);
    EXPECT_EQ(app.m_exits, 1);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(main.m_calls, (std::vector<std::string>{"init", "cancel", "command", "gone"}));
}

TEST(WinApp, FailedStartSkipsTheLoop) {
    struct Failing : LoopApp {
        BOOL InitInstance() override { return FALSE; }
    } app;
    EXPECT_EQ(AfxWinMain(app), 5);
    EXPECT_EQ(app.m_exits, 1);
}

class CountingStatic : public CStatic {
  public:
    int m_setTexts = 0;

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_SETTEXT) ++m_setTexts;
        return Default(msg, wParam, lParam);
    }
};

TEST(Static, TakesOverAControlAndLetsGoWhenItIsDestroyed) {
    ProbeDlg dialog;
    ASSERT_TRUE(dialog.Create());
    CountingStatic control;
    ASSERT_TRUE(control.SubclassDlgItem(IDOK, dialog.m_hWnd));
    EXPECT_EQ(control.m_hWnd, dialog.GetDlgItem(IDOK));
    EXPECT_FALSE(control.SubclassDlgItem(IDCANCEL, dialog.m_hWnd)) << "one control at a time";
    control.SetWindowText(L"바꿈");
    ::SetDlgItemTextW(dialog.m_hWnd, IDOK, L"다시");
    EXPECT_EQ(control.m_setTexts, 2);
    wchar_t text[32] = {};
    ::GetDlgItemTextW(dialog.m_hWnd, IDOK, text, 32);
    EXPECT_STREQ(text, L"다시") << "the control's own procedure still runs";
    dialog.DestroyWindow();
    EXPECT_EQ(control.m_hWnd, nullptr);
}

TEST(Static, UnsubclassGivesTheControlBack) {
    ProbeDlg dialog;
    ASSERT_TRUE(dialog.Create());
    CountingStatic control;
    ASSERT_TRUE(control.SubclassDlgItem(IDCANCEL, dialog.m_hWnd));
    EXPECT_EQ(control.UnsubclassWindow(), dialog.GetDlgItem(IDCANCEL));
    ::SetDlgItemTextW(dialog.m_hWnd, IDCANCEL, L"x");
    EXPECT_EQ(control.m_setTexts, 0);
}

TEST(Gdi, OwnersDeleteTheirObjectsAndMovesHandThemOver) {
    HPEN handle = nullptr;
    {
        CPen pen(PS_SOLID, 1, RGB(1, 2, 3));
        handle = pen;
        ASSERT_EQ(::GetObjectType(handle), static_cast<DWORD>(OBJ_PEN));
        CPen moved(std::move(pen));
        EXPECT_TRUE(pen.IsNull());
        EXPECT_EQ(moved.Get(), handle);
        CPen assigned;
        assigned = std::move(moved);
        EXPECT_EQ(assigned.Get(), handle);
        EXPECT_EQ(::GetObjectType(handle), static_cast<DWORD>(OBJ_PEN));
    }
    EXPECT_EQ(::GetObjectType(handle), 0u);

    CRgn region = CRgn::RoundRect(0, 0, 40, 30, 20, 20);
    HRGN raw = region.Detach();
    EXPECT_TRUE(region.IsNull());
    EXPECT_EQ(::GetObjectType(raw), static_cast<DWORD>(OBJ_REGION));
    ::DeleteObject(raw);
}

struct AttachCase {
    const char* name;
    bool sameHandle;  // Attach is given the handle the owner already holds
    bool firstSurvives;
};

class GdiAttach : public ::testing::TestWithParam<AttachCase> {};

TEST_P(GdiAttach, DeletesTheOldObjectOnlyWhenGivenAnother) {
    HBRUSH first = ::CreateSolidBrush(RGB(1, 1, 1));
    HBRUSH second = ::CreateSolidBrush(RGB(2, 2, 2));
    {
        CBrush brush;
        brush.Attach(first);
        brush.Attach(GetParam().sameHandle ? first : second);
        EXPECT_EQ(::GetObjectType(first) != 0, GetParam().firstSurvives);
        EXPECT_EQ(brush.Get(), GetParam().sameHandle ? first : second);
    }
    EXPECT_EQ(::GetObjectType(first), 0u);
    if (GetParam().sameHandle) {
        EXPECT_EQ(::GetObjectType(second), static_cast<DWORD>(OBJ_BRUSH));
        ::DeleteObject(second);
    } else {
        EXPECT_EQ(::GetObjectType(second), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Owners, GdiAttach,
                         ::testing::Values(AttachCase{"ItsOwnHandle", true, true},
                                           AttachCase{"AnotherHandle", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Gdi, SelectObjectRestoresThePreviousObject) {
    CClientDC screen(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HGDIOBJ before = ::GetCurrentObject(dc, OBJ_BRUSH);
    {
        CBrush brush(RGB(10, 20, 30));
        CSelectObject select(dc, brush);
        EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), brush.Get());
    }
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), before);
    ::DeleteDC(dc);
}

TEST(Gdi, MemoryDcDrawsOffScreenAndCopiesToItsTarget) {
    CClientDC screen(nullptr);
    HDC target = ::CreateCompatibleDC(screen);
    CBitmap bitmap(screen, 50, 50);
    CSelectObject selectTarget(target, bitmap);
    {
        CBrush white(RGB(255, 255, 255));
        RECT all{0, 0, 50, 50};
        ::FillRect(target, &all, white);
    }
    {
        RECT area{10, 10, 30, 30};
        CMemoryDC memory(target, area);
        CBrush red(RGB(200, 0, 0));
        ::FillRect(memory, &area, red);
        // Nothing reaches the target before the memory DC ends.
        EXPECT_EQ(::GetPixel(target, 15, 15), RGB(255, 255, 255));
    }
    EXPECT_EQ(::GetPixel(target, 15, 15), RGB(200, 0, 0));
    EXPECT_EQ(::GetPixel(target, 29, 29), RGB(200, 0, 0));
    EXPECT_EQ(::GetPixel(target, 30, 30), RGB(255, 255, 255));
    EXPECT_EQ(::GetPixel(target, 5, 5), RGB(255, 255, 255));
    {
        RECT area{0, 0, 50, 50};
        CMemoryDC discarded(target, area);
        discarded.Discard();
    }
    EXPECT_EQ(::GetPixel(target, 15, 15), RGB(200, 0, 0));
    ::DeleteDC(target);
}

}  // namespace
}  // namespace keyrack
