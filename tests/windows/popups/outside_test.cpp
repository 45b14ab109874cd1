// The indicator seen from another process, as a user's desktop sees it: a child process shows
// it, this one finds it among the top-level windows of the shared desktop.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ui_pump.h"

namespace keyrack {
namespace {

using testing::WindowText;

struct Found {
    DWORD process;
    HWND window;
};

BOOL CALLBACK FindTopmostDialog(HWND hwnd, LPARAM lParam) {
    auto* found = reinterpret_cast<Found*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == found->process && ::IsWindowVisible(hwnd) &&
        (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) &&
        testing::ClassName(hwnd) == L"#32770") {
        found->window = hwnd;
        return FALSE;
    }
    return TRUE;
}

TEST(IndicatorFromOutside, AnotherProcessSeesItAboveTheTaskbarAnimatingWithItsLines) {
    std::wstring command = L"\"" + testing::ModuleFolder() + L"\\popups_show.exe\" indicator 60000";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &child));
    // Ends the child however the test leaves (a failed ASSERT returns early): it would
    // otherwise keep its popup on the shared desktop for a minute.
    struct ChildEnder {
        PROCESS_INFORMATION& child;
        ~ChildEnder() {
            ::TerminateProcess(child.hProcess, 0);
            ::WaitForSingleObject(child.hProcess, 10000);
            ::CloseHandle(child.hThread);
            ::CloseHandle(child.hProcess);
        }
    } ender{child};
    Found found{child.dwProcessId, nullptr};
    for (int i = 0; i < 20000 && found.window == nullptr; ++i) {
        ::EnumWindows(&FindTopmostDialog, reinterpret_cast<LPARAM>(&found));
        if (found.window == nullptr) ::Sleep(1);
    }
    ASSERT_NE(found.window, nullptr) << "no indicator of the child on this desktop";

    HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    ASSERT_NE(taskbar, nullptr);
    RECT t{}, popup{};
    ::GetWindowRect(taskbar, &t);
    ::GetWindowRect(found.window, &popup);
    EXPECT_EQ(popup.right, t.right - 10);
    EXPECT_EQ(popup.bottom, t.top - 10);
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(::GetWindowRgn(found.window, region), COMPLEXREGION);
    ::DeleteObject(region);

    HWND progress = ::GetDlgItem(found.window, 1020);
    HWND lines = ::GetDlgItem(found.window, 1022);
    // The child sets the name and lines just after showing the popup: wait for them.
    auto eventually = [](HWND control, const std::wstring& text) {
        for (int i = 0; i < 20000; ++i) {
            if (WindowText(control) == text) return true;
            ::Sleep(1);
        }
        return false;
    };
    EXPECT_TRUE(eventually(::GetDlgItem(found.window, 1021), L"F1 작업 공간"));
    bool one = false, two = false, three = false;
    for (int i = 0; i < 20000 && !(one && two && three); ++i) {
        const std::wstring text = WindowText(progress);
        one = one || text == L"여는 중.";
        two = two || text == L"여는 중..";
        three = three || text == L"여는 중...";
        ::Sleep(1);
    }
    EXPECT_TRUE(one && two && three);
    EXPECT_TRUE(
        eventually(lines, L"메모장 창을 옮기는 중 (notepad.exe)\n계산기 실행 중 (calc.exe)\n"));
}

}  // namespace
}  // namespace keyrack
