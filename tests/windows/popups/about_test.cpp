// The About box as a real dialog: template, texts, fonts, link items, and what a click on each
// link opens (the shell launch is recorded instead of performed).
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>
#include <shlwapi.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "framework/dpi.h"
#include "popups/about_texts.h"
#include "popups/app_about_dlg.h"
#include "res/resource.h"
#include "res/shared_resources.h"
#include "ui_pump.h"

namespace keyrack {
namespace {

using testing::ClassName;
using testing::ModuleFolder;
using testing::PumpOnce;
using testing::PumpUntil;
using testing::WindowText;

struct Launch {
    HWND owner;
    std::wstring verb, file;
    bool noParameters, noDirectory;
    int show;
};
std::vector<Launch> g_launches;

HINSTANCE WINAPI RecordLaunch(HWND owner, const wchar_t* verb, const wchar_t* file,
                              const wchar_t* parameters, const wchar_t* directory, int show) {
    g_launches.push_back({owner, verb ? verb : L"", file ? file : L"", parameters == nullptr,
                          directory == nullptr, show});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

class AboutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_launches.clear();
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LINK_CLASS};
        ::InitCommonControlsEx(&controls);
        m_about.m_shellOpen = &RecordLaunch;
        ASSERT_TRUE(m_about.Create(IDD_ABOUTBOX));
        m_about.ShowWindow(SW_SHOW);
    }
    HWND Item(int id) const { return m_about.GetDlgItem(id); }
    // Dialog units of the template to the control's rectangle in the dialog's client area.
    RECT Dlu(int x, int y, int w, int h) const {
        RECT r{x, y, x + w, y + h};
        ::MapDialogRect(m_about.m_hWnd, &r);
        return r;
    }
    RECT ClientRectOf(int id) const {
        RECT r{};
        ::GetWindowRect(Item(id), &r);
        ::MapWindowPoints(nullptr, m_about.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    LRESULT Notify(int id, UINT code, const wchar_t* href) {
        NMLINK link{};
        link.hdr.hwndFrom = Item(id);
        link.hdr.idFrom = static_cast<UINT_PTR>(id);
        link.hdr.code = code;
        if (href != nullptr) wcsncpy(link.item.szUrl, href, L_MAX_URL_LENGTH - 1);
        return ::SendMessageW(m_about.m_hWnd, WM_NOTIFY, static_cast<WPARAM>(id),
                              reinterpret_cast<LPARAM>(&link));
    }
    std::vector<std::wstring> Hrefs(int id) const {
        std::vector<std::wstring> hrefs;
        for (int index = 0; index < 8; ++index) {
            LITEM item{};
            item.mask = LIF_ITEMINDEX | LIF_URL;
            item.iLink = index;
            if (!::SendMessageW(Item(id), LM_GETITEM, 0, reinterpret_cast<LPARAM>(&item))) break;
            hrefs.push_back(item.szUrl);
        }
        return hrefs;
    }

    AppAboutDlg m_about;
};

TEST(CommonControls, TheManifestLoadsVersionSixFromWinSxS) {
    // Wine's comctl32 offers SysLink without the manifest too, and reports version 5.81 either
    // way; what tells is that the manifest's activation context redirects comctl32.dll to the
    // side-by-side copy and that this copy is the one loaded.
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof(data);
    EXPECT_TRUE(::FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                           L"comctl32.dll", &data))
        << "no Common Controls 6 dependency in the executable's manifest";
    HMODULE comctl = ::GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(comctl, path, MAX_PATH);
    std::wstring lower(path);
    for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
    EXPECT_NE(lower.find(L"\\winsxs\\"), std::wstring::npos)
        << "comctl32 path length " << lower.size();
}

TEST(Manifest, AsksForNoElevationAndDeclaresDpiAwareness) {
    HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const char* bytes = static_cast<const char*>(::LockResource(::LoadResource(nullptr, found)));
    const std::string manifest(bytes, ::SizeofResource(nullptr, found));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
    // Per-monitor v2 where the system knows it, per-monitor before that, system-aware before
    // Windows 10 through the old element.
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
}

TEST_F(AboutTest, TemplateStyleCaptionAndSize) {
    HWND hwnd = m_about.m_hWnd;
    EXPECT_EQ(WindowText(hwnd), L"앱 정보");
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_STYLE));
    const DWORD expected =
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS;
    ASSERT_EQ(expected, 0x80C800C8u);
    EXPECT_EQ(style & expected, expected);
    RECT client{};
    ::GetClientRect(hwnd, &client);
    RECT size = Dlu(0, 0, 309, 262);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
}

TEST_F(AboutTest, ControlsTextsAndPositions) {
    struct Expect {
        int id;
        const wchar_t* className;
        int x, y, w, h;
    } expected[] = {{IDCANCEL, L"Button", 252, 241, 50, 14},
                    {IDC_ABOUT_APP_GROUP, L"Button", 7, 7, 295, 54},
                    {IDC_STATIC, L"Static", 20, 19, 159, 37},
                    {IDC_ABOUT_CONTACT_GROUP, L"Button", 7, 62, 295, 40},
                    {IDC_ABOUT_CONTACT_LINK, L"SysLink", 19, 74, 133, 20},
                    {IDC_ABOUT_LICENSE_GROUP, L"Button", 7, 104, 295, 131}};
    for (const Expect& e : expected) {
        ASSERT_NE(Item(e.id), nullptr) << e.id;
        EXPECT_EQ(ClassName(Item(e.id)), e.className) << e.id;
        // The dialog manager rounds the size on its own, so the far edges may differ by one.
        RECT want = Dlu(e.x, e.y, e.w, e.h), got = ClientRectOf(e.id);
        EXPECT_TRUE(want.left == got.left && want.top == got.top &&
                    std::abs(want.right - got.right) <= 1 &&
                    std::abs(want.bottom - got.bottom) <= 1)
            << e.id << ": " << got.left << "," << got.top << " " << got.right << "," << got.bottom
            << " want " << want.left << "," << want.top << " " << want.right << "," << want.bottom;
    }
    EXPECT_EQ(WindowText(Item(IDCANCEL)), L"닫기");
    EXPECT_EQ(WindowText(Item(IDC_ABOUT_APP_GROUP)), L"앱 정보");
    EXPECT_EQ(WindowText(Item(IDC_ABOUT_CONTACT_GROUP)), L"연락처");
    EXPECT_EQ(WindowText(Item(IDC_ABOUT_LICENSE_GROUP)), L"라이선스");
    EXPECT_TRUE(::GetWindowLongPtrW(Item(IDCANCEL), GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(::GetWindowLongPtrW(Item(IDC_ABOUT_CONTACT_LINK), GWL_STYLE) & WS_TABSTOP);

    const std::wstring info = WindowText(Item(IDC_STATIC));
    EXPECT_EQ(info, about::kInfo);
    EXPECT_EQ(info.find(L"프로그램 이름: Keyrack\n"), 0u);
    EXPECT_NE(info.find(L"\n버전: v1.1.0\n"), std::wstring::npos);
    EXPECT_NE(info.find(L"\n개발자: "), std::wstring::npos);
    EXPECT_NE(info.find(L"\n제작 년도: 2025"), std::wstring::npos);

    // The licence group's notice and links sit inside it.
    RECT group = ClientRectOf(IDC_ABOUT_LICENSE_GROUP);
    for (int id : {IDC_ABOUT_NOTICE, IDC_ABOUT_LICENSE_LINK}) {
        RECT r = ClientRectOf(id), both{};
        ::IntersectRect(&both, &r, &group);
        EXPECT_TRUE(::EqualRect(&both, &r)) << id;
    }
    EXPECT_EQ(WindowText(Item(IDC_ABOUT_NOTICE)), about::kNotice);
    EXPECT_EQ(ClassName(Item(IDC_ABOUT_LICENSE_LINK)), L"SysLink");
}

TEST_F(AboutTest, LinkItemsCarryTheirHrefs) {
    EXPECT_EQ(Hrefs(IDC_ABOUT_CONTACT_LINK), (std::vector<std::wstring>{L"mail", L"site"}));
    EXPECT_EQ(Hrefs(IDC_ABOUT_LICENSE_LINK),
              (std::vector<std::wstring>{L"LICENSE", L"pretendard"}));
}

TEST_F(AboutTest, SharedFontOnTextsGroupsAndLinksNotOnTheButton) {
    const HFONT shared =
        reinterpret_cast<HFONT>(::SendMessageW(Item(IDC_ABOUT_NOTICE), WM_GETFONT, 0, 0));
    LOGFONTW font{};
    ASSERT_EQ(::GetObjectW(shared, sizeof(font), &font), static_cast<int>(sizeof(font)));
    EXPECT_STREQ(font.lfFaceName, L"Pretendard Medium");
    EXPECT_EQ(font.lfHeight, ScaleDpi(15, WindowDpi(m_about.m_hWnd)));
    for (int id : {IDC_STATIC, IDC_ABOUT_NOTICE, IDC_ABOUT_CONTACT_GROUP, IDC_ABOUT_APP_GROUP,
                   IDC_ABOUT_LICENSE_GROUP, IDC_ABOUT_CONTACT_LINK, IDC_ABOUT_LICENSE_LINK}) {
        EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(Item(id), WM_GETFONT, 0, 0)), shared)
            << id;
    }
    EXPECT_NE(reinterpret_cast<HFONT>(::SendMessageW(Item(IDCANCEL), WM_GETFONT, 0, 0)), shared);
}

TEST_F(AboutTest, ClickNotificationsOpenTheirTargets) {
    Notify(IDC_ABOUT_CONTACT_LINK, NM_CLICK, L"mail");
    Notify(IDC_ABOUT_CONTACT_LINK, NM_CLICK, L"site");
    Notify(IDC_ABOUT_LICENSE_LINK, NM_CLICK, L"LICENSE");
    Notify(IDC_ABOUT_LICENSE_LINK, NM_CLICK, L"pretendard");
    ASSERT_EQ(g_launches.size(), 4u);
    const std::wstring licence = ModuleFolder() + L"\\LICENSE.txt";
    const std::wstring files[] = {about::kMailTarget, about::kSiteTarget, licence,
                                  about::kPretendardTarget};
    for (std::size_t i = 0; i < 4; ++i) {
        const Launch& l = g_launches[i];
        EXPECT_EQ(l.owner, nullptr);
        EXPECT_EQ(l.verb, L"open");
        EXPECT_EQ(l.file, files[i]);
        EXPECT_TRUE(l.noParameters);
        EXPECT_TRUE(l.noDirectory);
        EXPECT_EQ(l.show, SW_SHOWNORMAL);
    }
    EXPECT_EQ(std::wstring(about::kMailTarget).rfind(L"mailto:", 0), 0u);
    // The licence file the build puts beside the executable is the one opened.
    EXPECT_NE(::GetFileAttributesW(licence.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(AboutTest, OtherNotificationsAndUnknownHrefsOpenNothing) {
    Notify(IDC_ABOUT_CONTACT_LINK, NM_RETURN, L"mail");
    Notify(IDC_ABOUT_LICENSE_LINK, NM_SETFOCUS, L"LICENSE");
    Notify(IDC_ABOUT_CONTACT_LINK, NM_CLICK, L"Mail");     // hrefs compare case-sensitively
    Notify(IDC_ABOUT_CONTACT_LINK, NM_CLICK, L"LICENSE");  // not a link of this control
    Notify(IDC_ABOUT_LICENSE_LINK, NM_CLICK, L"site");
    Notify(IDC_ABOUT_LICENSE_LINK, NM_CLICK, L"");
    Notify(IDC_ABOUT_NOTICE, NM_CLICK, L"mail");  // not a link control
    EXPECT_TRUE(g_launches.empty()) << g_launches.size();
}

TEST_F(AboutTest, AMouseClickOnTheLicenceLinkOpensTheLicenceFile) {
    // The first item of the licence links is "LICENSE 파일", at the control's top-left corner.
    HWND link = Item(IDC_ABOUT_LICENSE_LINK);
    const LPARAM at = MAKELPARAM(4, 4);
    ::SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(link, WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(PumpUntil([] { return !g_launches.empty(); }, 2000));
    EXPECT_EQ(g_launches[0].file, ModuleFolder() + L"\\LICENSE.txt");
}

TEST(AboutModal, EachBoxHasALiveFontOfItsOwnUntilItCloses) {
    // Wine's link control deletes the font it was given when it is destroyed; the box takes its
    // font back first, so every box, the next one included, shows a live Pretendard font.
    for (int round = 0; round < 2; ++round) {
        AppAboutDlg about;
        ASSERT_TRUE(about.Create(IDD_ABOUTBOX));
        const HFONT font =
            reinterpret_cast<HFONT>(about.SendDlgItemMessage(IDC_ABOUT_LICENSE_LINK, WM_GETFONT));
        ASSERT_EQ(::GetObjectType(font), static_cast<DWORD>(OBJ_FONT)) << round;
        LOGFONTW logFont{};
        ASSERT_EQ(::GetObjectW(font, sizeof(logFont), &logFont), static_cast<int>(sizeof(logFont)));
        EXPECT_STREQ(logFont.lfFaceName, L"Pretendard Medium");
        EXPECT_EQ(logFont.lfHeight, ScaleDpi(15, WindowDpi(about.m_hWnd)));
        about.DestroyWindow();
    }
}

TEST(AboutModal, OpensCentredOnTheWorkArea) {
    AppAboutDlg about;
    ASSERT_TRUE(about.Create(IDD_ABOUTBOX));
    RECT box{}, work{};
    ::GetWindowRect(about.m_hWnd, &box);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((box.left + box.right) / 2 - (work.left + work.right) / 2), 1);
    EXPECT_LE(std::abs((box.top + box.bottom) / 2 - (work.top + work.bottom) / 2), 1);
}

TEST(AboutModal, RunsModallyAndCloseEndsIt) {
    AppAboutDlg about;
    // The box of this thread, not one of another program on the shared desktop; and when it
    // never shows, the modal loop is ended with WM_QUIT so that the test fails instead of
    // waiting for ever.
    const DWORD uiThread = ::GetCurrentThreadId();
    std::thread closer([uiThread] {
        HWND box = nullptr;
        for (int i = 0; i < 20000 && box == nullptr; ++i) {
            ::EnumThreadWindows(
                uiThread,
                [](HWND window, LPARAM found) {
                    if (!::IsWindowVisible(window) || WindowText(window) != L"앱 정보" ||
                        ClassName(window) != L"#32770")
                        return TRUE;
                    *reinterpret_cast<HWND*>(found) = window;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&box));
            if (box == nullptr) ::Sleep(1);
        }
        if (box != nullptr)
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        else
            ::PostThreadMessageW(uiThread, WM_QUIT, 0, 0);
    });
    const INT_PTR result = about.DoModal();
    closer.join();
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(about.m_hWnd, nullptr);
}

}  // namespace
}  // namespace keyrack
