// The slot editor as a real window under Wine: every control where the one layout function
// puts it for the window's DPI, fonts made for that DPI, the panels painted behind the
// controls, and position edits that refuse what is not a number.
#include "editor/fill_dlg.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <memory>
#include <string>

#include "framework/dpi.h"
#include "platform/null_desktop.h"
#include "res/resource.h"
#include "tests/slots/slot_test_support.h"
#include "tests/windows/popups/ui_pump.h"

namespace keyrack {
namespace {

using testing::PumpOnce;
using testing::PumpUntil;
using testing::WindowText;

Placement PlaceIn(HWND control, HWND parent) {
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

class EditorWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        m_dialog =
            std::make_unique<FillDlg>(m_slot, m_desktop, m_session, [] { return StoreOutcome{}; });
        ASSERT_TRUE(m_dialog->Create(IDD_EDITOR));
        m_dialog->ShowWindow(SW_SHOW);
        ::SetForegroundWindow(m_dialog->m_hWnd);
        for (int i = 0; i < 50; ++i) PumpOnce();
        m_dpi = WindowDpi(m_dialog->m_hWnd);
    }
    void TearDown() override { m_dialog.reset(); }
    HWND Dialog() const { return m_dialog->m_hWnd; }
    HWND Item(int id) const { return m_dialog->GetDlgItem(id); }
    EditorLayout Layout() const {
        RECT client{};
        ::GetClientRect(Dialog(), &client);
        return EditorDialogLayout(client.right, client.bottom, m_dpi);
    }
    void Type(int id, const std::wstring& keys) const {
        for (wchar_t c : keys) ::SendMessageW(Item(id), WM_CHAR, c, 0);
    }
    void Clear(int id) const { ::SetWindowTextW(Item(id), L""); }

    testing::TempFolder m_folder;
    NullDesktop m_desktop;
    Slot m_slot{5, m_folder.Store()};
    EditorSession m_session;
    std::unique_ptr<FillDlg> m_dialog;
    int m_dpi = 96;
};

TEST_F(EditorWindow, OpensOnThePrimaryMonitorAtItsDpisSize) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    const RECT& m = info.rcMonitor;
    const RECT& w = info.rcWork;
    RECT window{};
    ::GetWindowRect(Dialog(), &window);
    EXPECT_EQ((Placement{window.left, window.top, window.right - window.left,
                         window.bottom - window.top}),
              EditorWindowPlacement({m.left, m.top, m.right, m.bottom},
                                    {w.left, w.top, w.right, w.bottom}, m_dpi));
}

TEST_F(EditorWindow, EveryControlIsAChildOfTheEditorWhereTheLayoutSays) {
    const EditorLayout layout = Layout();
    for (const ControlPlacement& c : layout.controls) {
        ASSERT_NE(Item(c.id), nullptr) << c.id;
        EXPECT_EQ(::GetParent(Item(c.id)), Dialog()) << c.id;
        EXPECT_EQ(PlaceIn(Item(c.id), Dialog()), c.place) << c.id;
    }
}

TEST_F(EditorWindow, FontsAreMadeForTheWindowsDpi) {
    struct Expect {
        int id;
        int height;  // at 96 DPI
    } expected[] = {{IDC_EDITOR_SLOT_NAME, 17},
                    {IDC_EDITOR_X, 17},
                    {IDC_EDITOR_PATH, 17},
                    {IDC_EDITOR_MAXIMIZE, 17},
                    {IDC_EDITOR_X_LABEL, 15},
                    {IDC_EDITOR_SAVE, 15},
                    {IDOK, 15},
                    {IDC_EDITOR_LIST_LABEL, 15}};
    HDC dc = ::GetDC(nullptr);
    for (const Expect& e : expected) {
        HFONT font = reinterpret_cast<HFONT>(::SendMessageW(Item(e.id), WM_GETFONT, 0, 0));
        LOGFONTW asked{};
        ASSERT_EQ(::GetObjectW(font, sizeof(asked), &asked), static_cast<int>(sizeof(asked)))
            << e.id;
        EXPECT_STREQ(asked.lfFaceName, L"Pretendard Medium") << e.id;
        EXPECT_EQ(asked.lfHeight, ScaleDpi(e.height, m_dpi)) << e.id;
        HGDIOBJ old = ::SelectObject(dc, font);
        wchar_t face[LF_FACESIZE] = {};
        ::GetTextFaceW(dc, LF_FACESIZE, face);
        ::SelectObject(dc, old);
        EXPECT_EQ(std::wstring(face).rfind(L"Pretendard", 0), 0u) << e.id;
    }
    ::ReleaseDC(nullptr, dc);
}

LONG FontHeightOf(HWND control) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    return ::GetObjectW(handle, sizeof(font), &font) == static_cast<int>(sizeof(font))
               ? font.lfHeight
               : 0;
}

TEST_F(EditorWindow, ADpiChangeLaysEverythingOutWithFontsForTheNewDpi) {
    // What a move to a monitor of another scale sends; Wine itself never does.
    const HFONT templateFont =
        reinterpret_cast<HFONT>(::SendMessageW(Item(IDC_EDITOR_LIST), WM_GETFONT, 0, 0));
    const LONG listHeight = FontHeightOf(Item(IDC_EDITOR_LIST));
    ASSERT_NE(listHeight, 0);
    for (int dpi : {144, 120, m_dpi}) {
        RECT window{};
        ::GetWindowRect(Dialog(), &window);
        RECT suggested{window.left, window.top, window.left + ScaleDpi(1000, dpi),
                       window.top + ScaleDpi(750, dpi)};
        ::SendMessageW(Dialog(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&suggested));
        m_dpi = dpi;
        const EditorLayout layout = Layout();
        for (const ControlPlacement& c : layout.controls)
            EXPECT_EQ(PlaceIn(Item(c.id), Dialog()), c.place) << dpi << " " << c.id;
        EXPECT_EQ(FontHeightOf(Item(IDC_EDITOR_X)), ScaleDpi(17, dpi)) << dpi;
        EXPECT_EQ(FontHeightOf(Item(IDC_EDITOR_SAVE)), ScaleDpi(15, dpi)) << dpi;
        // The list keeps the template's face and points, made for the new DPI.
        EXPECT_EQ(FontHeightOf(Item(IDC_EDITOR_LIST)), ::MulDiv(listHeight, dpi, 96)) << dpi;
    }
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(Item(IDC_EDITOR_LIST), WM_GETFONT, 0, 0)),
              templateFont);
}

TEST_F(EditorWindow, PanelsArePaintedBehindTheControls) {
    ASSERT_TRUE(PumpUntil([&] { return !::GetUpdateRect(Dialog(), nullptr, FALSE); }));
    for (int i = 0; i < 50; ++i) PumpOnce();
    const EditorLayout layout = Layout();
    POINT origin{0, 0};
    ::ClientToScreen(Dialog(), &origin);
    HDC screen = ::GetDC(nullptr);
    auto at = [&](int x, int y) { return ::GetPixel(screen, origin.x + x, origin.y + y); };
    for (const Placement& panel : {layout.panels[1], layout.panels[2]}) {
        const int middle = panel.y + panel.height / 2;
        EXPECT_EQ(at(panel.x, middle), kPanelColoursLight.border) << panel.x << "," << panel.y;
        EXPECT_EQ(at(panel.x + layout.style.border + 1, middle), kPanelColoursLight.background);
        EXPECT_NE(at(panel.x, panel.y), kPanelColoursLight.border) << "the corner is rounded";
    }
    // A label on a panel stands on the panel's colour, the dialog's own label on the dialog's.
    const Placement xLabel = PlaceIn(Item(IDC_EDITOR_X_LABEL), Dialog());
    EXPECT_EQ(at(xLabel.x + 1, xLabel.y + 1), kPanelColoursLight.background);
    ::ReleaseDC(nullptr, screen);
}

TEST(EditorList, EntriesOfALoadedSlotStandOneBelowTheOther) {
    testing::TempFolder folder;
    NullDesktop desktop;
    {
        Slot written(2, folder.Store());
        for (const char16_t* name : {u"a.exe", u"b.exe", u"c.exe"}) {
            auto item = std::make_unique<SlotItem>();
            item->fileName = name;
            written.items.push_back(std::move(item));
        }
        ASSERT_EQ(written.Save(), SaveResult::kSaved);
    }
    Slot slot(2, folder.Store());
    EditorSession session;
    FillDlg dialog(slot, desktop, session, [] { return StoreOutcome{}; });
    ASSERT_TRUE(dialog.Create(IDD_EDITOR));
    dialog.ShowWindow(SW_SHOW);
    for (int i = 0; i < 50; ++i) PumpOnce();
    HWND list = dialog.GetDlgItem(IDC_EDITOR_LIST);
    ASSERT_EQ(ListView_GetItemCount(list), 3);
    RECT previous{};
    for (int k = 0; k < 3; ++k) {
        RECT entry{};
        // The icon with its label.
        ASSERT_TRUE(ListView_GetItemRect(list, k, &entry, LVIR_SELECTBOUNDS));
        if (k > 0) {
            EXPECT_GE(entry.top, previous.bottom) << "entry " << k << " overlaps";
        }
        previous = entry;
    }
}

struct Keys {
    const char* name;
    int id;
    std::wstring typed;
    std::wstring shown;
};

void PrintTo(const Keys& k, std::ostream* os) { *os << k.name; }

class PositionEdit : public EditorWindow, public ::testing::WithParamInterface<Keys> {};

TEST_P(PositionEdit, KeepsOnlyWhatMakesANumber) {
    Clear(GetParam().id);
    Type(GetParam().id, GetParam().typed);
    EXPECT_EQ(WindowText(Item(GetParam().id)), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Typing, PositionEdit,
                         ::testing::Values(Keys{"NegativeX", IDC_EDITOR_X, L"-300", L"-300"},
                                           Keys{"NegativeY", IDC_EDITOR_Y, L"-1080", L"-1080"},
                                           Keys{"NoMinusInW", IDC_EDITOR_W, L"-800", L"800"},
                                           Keys{"NoMinusInH", IDC_EDITOR_H, L"6-00", L"600"},
                                           Keys{"NoSecondMinus", IDC_EDITOR_X, L"--5", L"-5"},
                                           Keys{"NoLetters", IDC_EDITOR_Y, L"1a2b", L"12"},
                                           Keys{"WToItsMost", IDC_EDITOR_W, L"99999", L"9999"},
                                           Keys{"BackspaceStillEdits", IDC_EDITOR_X, L"-12\b",
                                                L"-1"}),
                         [](const auto& info) { return std::string(info.param.name); });

class Paste : public EditorWindow {
  protected:
    static void SetClipboard(const std::wstring& text) {
        ASSERT_TRUE(::OpenClipboard(nullptr));
        ::EmptyClipboard();
        const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(::GlobalLock(memory), text.c_str(), bytes);
        ::GlobalUnlock(memory);
        ::SetClipboardData(CF_UNICODETEXT, memory);  // the clipboard owns it now
        ::CloseClipboard();
    }
};

TEST_F(Paste, TakesANumberAndRefusesText) {
    SetClipboard(L"-1920");
    Clear(IDC_EDITOR_X);
    ::SendMessageW(Item(IDC_EDITOR_X), WM_PASTE, 0, 0);
    EXPECT_EQ(WindowText(Item(IDC_EDITOR_X)), L"-1920");
    // The same into W, by Ctrl+V: refused, W keeps its text.
    ::SetWindowTextW(Item(IDC_EDITOR_W), L"640");
    ::SendMessageW(Item(IDC_EDITOR_W), EM_SETSEL, 0, -1);
    ::SendMessageW(Item(IDC_EDITOR_W), WM_CHAR, 0x16, 0);
    EXPECT_EQ(WindowText(Item(IDC_EDITOR_W)), L"640");
    SetClipboard(L"12px");
    ::SendMessageW(Item(IDC_EDITOR_Y), WM_PASTE, 0, 0);
    EXPECT_EQ(WindowText(Item(IDC_EDITOR_Y)), L"");
    SetClipboard(L"480");
    ::SendMessageW(Item(IDC_EDITOR_W), EM_SETSEL, 0, -1);
    ::SendMessageW(Item(IDC_EDITOR_W), WM_PASTE, 0, 0);
    EXPECT_EQ(WindowText(Item(IDC_EDITOR_W)), L"480");
}

TEST(ScaleDpiOnWindows, IsMulDivByNinetySix) {
    for (int dpi = 72; dpi <= 480; dpi += 12)
        for (int value = -400; value <= 400; ++value)
            ASSERT_EQ(ScaleDpi(value, dpi), ::MulDiv(value, dpi, 96)) << value << "@" << dpi;
}

}  // namespace
}  // namespace keyrack
