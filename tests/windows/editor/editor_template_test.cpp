// The slot editor's dialog template as Windows builds it: the dialog is created from
// template 134 and every control is read back from its real window.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <set>
#include <string>

#include "framework/dialog_ex.h"
#include "res/resource.h"

namespace keyrack {
namespace {

std::wstring TextOf(HWND hwnd) {
    wchar_t buffer[256] = {};
    ::GetWindowTextW(hwnd, buffer, 256);
    return buffer;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t buffer[256] = {};
    ::GetClassNameW(hwnd, buffer, 256);
    return buffer;
}

// The dialog manager turns a control's WS_BORDER into WS_EX_CLIENTEDGE: either is a border.
DWORD StyleOf(HWND hwnd) {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_STYLE));
    const bool edge = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE;
    return edge ? style | WS_BORDER : style;
}

class EditorTemplate : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        s_dialog = std::make_unique<CDialogEx>(IDD_EDITOR);
        ASSERT_TRUE(s_dialog->Create());
    }
    static void TearDownTestSuite() { s_dialog.reset(); }
    static HWND Dialog() { return s_dialog->m_hWnd; }

    static std::unique_ptr<CDialogEx> s_dialog;
};
std::unique_ptr<CDialogEx> EditorTemplate::s_dialog;

TEST_F(EditorTemplate, IsAResizableCaptionedPopupWithATaskbarButton) {
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_EQ(TextOf(Dialog()), L"슬롯 채우기");
    constexpr DWORD kFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    EXPECT_EQ(StyleOf(Dialog()) & kFrame, kFrame) << std::hex << StyleOf(Dialog());
    EXPECT_TRUE(::GetWindowLongPtrW(Dialog(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(LOWORD(::SendMessageW(Dialog(), DM_GETDEFID, 0, 0)), IDOK);
}

struct Control {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD mask;   // the style bits looked at
    DWORD style;  // their values
};

void PrintTo(const Control& c, std::ostream* os) { *os << "control " << c.id; }

constexpr DWORD kEditBits = ES_CENTER | ES_RIGHT | ES_READONLY | ES_NUMBER;
constexpr DWORD kStaticBits = SS_TYPEMASK | SS_CENTERIMAGE | WS_BORDER;

// clang-format off
const Control kControls[] = {
    {IDOK, L"Button", L"확인", BS_TYPEMASK, BS_DEFPUSHBUTTON},
    {IDCANCEL, L"Button", L"취소", BS_TYPEMASK, BS_PUSHBUTTON},
    {IDC_EDITOR_LIST, L"SysListView32", L"", LVS_TYPEMASK | LVS_SINGLESEL,
     LVS_ICON | LVS_SINGLESEL},
    {IDC_EDITOR_LIST_LABEL, L"Static", L"프로그램 리스트", kStaticBits, SS_LEFT},
    {IDC_EDITOR_SLOT_NAME_LABEL, L"Static", L"슬롯 이름 :", kStaticBits, SS_RIGHT},
    {IDC_EDITOR_SLOT_NAME, L"Edit", L"", kEditBits, ES_CENTER},
    {IDC_EDITOR_NAME_LABEL, L"Static", L"이름 :", kStaticBits, SS_LEFT},
    {IDC_EDITOR_NAME, L"Edit", L"", kEditBits, ES_READONLY},
    {IDC_EDITOR_PATH_LABEL, L"Static", L"경로 :", kStaticBits, SS_LEFT},
    {IDC_EDITOR_PATH, L"Edit", L"", kEditBits, 0},
    {IDC_EDITOR_PARAMETERS_LABEL, L"Static", L"파라미터 :", kStaticBits, SS_LEFT},
    {IDC_EDITOR_PARAMETERS, L"Edit", L"", kEditBits, 0},
    {IDC_EDITOR_ICON, L"Static", L"", kStaticBits, SS_ICON | SS_CENTERIMAGE | WS_BORDER},
    {IDC_EDITOR_SAVE, L"Button", L"저장", BS_TYPEMASK, BS_PUSHBUTTON},
    {IDC_EDITOR_REMOVE, L"Button", L"제거", BS_TYPEMASK, BS_PUSHBUTTON},
    {IDC_EDITOR_X, L"Edit", L"", kEditBits, 0},
    {IDC_EDITOR_Y, L"Edit", L"", kEditBits, 0},
    {IDC_EDITOR_W, L"Edit", L"", kEditBits, ES_NUMBER},
    {IDC_EDITOR_H, L"Edit", L"", kEditBits, ES_NUMBER},
    {IDC_EDITOR_X_LABEL, L"Static", L"X :", kStaticBits, SS_RIGHT},
    {IDC_EDITOR_Y_LABEL, L"Static", L"Y :", kStaticBits, SS_RIGHT},
    {IDC_EDITOR_W_LABEL, L"Static", L"W :", kStaticBits, SS_RIGHT},
    {IDC_EDITOR_H_LABEL, L"Static", L"H :", kStaticBits, SS_RIGHT},
    {IDC_EDITOR_MAXIMIZE, L"Button", L"최대화", BS_TYPEMASK, BS_AUTOCHECKBOX},
    {IDC_EDITOR_PREVIEW, L"Static", L"", kStaticBits, SS_BLACKFRAME},
};
// clang-format on

TEST_F(EditorTemplate, HoldsExactlyTheControlsOfTheTable) {
    std::multiset<int> ids;
    for (HWND child = ::GetWindow(Dialog(), GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        ids.insert(::GetDlgCtrlID(child));
    }
    std::multiset<int> expected;
    for (const Control& c : kControls) expected.insert(c.id);
    EXPECT_EQ(ids, expected);
}

class EditorControl : public EditorTemplate, public ::testing::WithParamInterface<Control> {};

TEST_P(EditorControl, HasItsKindTextAndStyle) {
    const Control& c = GetParam();
    HWND control = ::GetDlgItem(Dialog(), c.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ClassOf(control), c.className);
    EXPECT_EQ(TextOf(control), c.text);
    EXPECT_EQ(StyleOf(control) & c.mask, c.style) << std::hex << StyleOf(control);
    EXPECT_TRUE(StyleOf(control) & WS_VISIBLE);
}

INSTANTIATE_TEST_SUITE_P(Template134, EditorControl, ::testing::ValuesIn(kControls),
                         [](const auto& info) { return std::to_string(info.param.id); });

}  // namespace
}  // namespace keyrack
