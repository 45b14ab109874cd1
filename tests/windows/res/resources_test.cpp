// The resource script as the executables carry it: the main window's and the indicator's
// templates and the multi-size application icon.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "framework/dialog_ex.h"
#include "res/resource.h"
#include "ui_pump.h"

namespace keyrack {
namespace {

using testing::ClassName;
using testing::WindowText;

// Dialog units of a created dialog to its client pixels, and a control's client rectangle.
RECT Dlu(HWND dialog, int x, int y, int w, int h) {
    RECT r{x, y, x + w, y + h};
    ::MapDialogRect(dialog, &r);
    return r;
}
RECT ChildRect(HWND dialog, int id) {
    RECT r{};
    ::GetWindowRect(::GetDlgItem(dialog, id), &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
bool SameWithin1(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && std::abs(a.right - b.right) <= 1 &&
           std::abs(a.bottom - b.bottom) <= 1;
}

TEST(Templates, MainWindowIsAnEmptyCaptionedPopupWithOkAndCancel) {
    CDialogEx main(IDD_MAIN);
    ASSERT_TRUE(main.Create());
    HWND hwnd = main.m_hWnd;
    EXPECT_EQ(WindowText(hwnd), L"");
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_VISIBLE) << "never shown";
    EXPECT_TRUE(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(WindowText(main.GetDlgItem(IDOK)), L"확인");
    EXPECT_EQ(WindowText(main.GetDlgItem(IDCANCEL)), L"취소");
    RECT client{};
    ::GetClientRect(hwnd, &client);
    RECT size = Dlu(hwnd, 0, 0, 320, 200);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
}

TEST(Templates, IndicatorHasItsThreeStaticsWhereTheyBelong) {
    CDialogEx popup(IDD_INDICATOR);
    ASSERT_TRUE(popup.Create());
    HWND hwnd = popup.m_hWnd;
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_NE(style & WS_CAPTION, static_cast<LONG_PTR>(WS_CAPTION));
    EXPECT_TRUE(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    RECT window{};
    ::GetWindowRect(hwnd, &window);
    RECT size = Dlu(hwnd, 0, 0, 270, 103);
    EXPECT_EQ(window.right - window.left, size.right) << "no frame: the window is its client";
    EXPECT_EQ(window.bottom - window.top, size.bottom);
    struct Expect {
        int id, x, y, w, h;
        DWORD align;
        const wchar_t* text;
    } expected[] = {{IDC_IND_SLOTNAME, 6, 7, 258, 17, SS_CENTER, L""},
                    {IDC_IND_PROGRESS, 15, 28, 240, 26, SS_LEFT, L"Static"},
                    {IDC_IND_LINES, 15, 57, 240, 36, SS_LEFT, L""}};
    for (const Expect& e : expected) {
        HWND control = popup.GetDlgItem(e.id);
        ASSERT_NE(control, nullptr) << e.id;
        EXPECT_EQ(ClassName(control), L"Static") << e.id;
        EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrW(control, GWL_STYLE)) & SS_TYPEMASK,
                  e.align)
            << e.id;
        EXPECT_EQ(WindowText(control), e.text) << e.id;
        EXPECT_TRUE(SameWithin1(ChildRect(hwnd, e.id), Dlu(hwnd, e.x, e.y, e.w, e.h))) << e.id;
    }
}

TEST(Icon, ApplicationIconHasEverySize) {
    HRSRC group = ::FindResourceW(nullptr, MAKEINTRESOURCEW(IDI_APP), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    auto* directory = static_cast<BYTE*>(::LockResource(::LoadResource(nullptr, group)));
    for (int size : {16, 24, 32, 48, 256}) {
        const int id = ::LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
        ASSERT_NE(id, 0) << size;
        HRSRC image = ::FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_ICON);
        ASSERT_NE(image, nullptr) << size;
        HICON icon = ::CreateIconFromResourceEx(
            static_cast<BYTE*>(::LockResource(::LoadResource(nullptr, image))),
            ::SizeofResource(nullptr, image), TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR);
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        BITMAP bitmap{};
        ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        EXPECT_EQ(bitmap.bmHeight, size);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(icon);
    }
}

}  // namespace
}  // namespace keyrack
