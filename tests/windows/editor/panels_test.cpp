// The editor's panels as real windows: each takes over its controls from a dialog made from
// the editor's template and places them when resized; positions are read back from the
// windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "editor/container.h"
#include "editor/display_container.h"
#include "editor/info_container.h"
#include "platform/null_desktop.h"
#include "res/resource.h"
#include "tests/slots/slot_test_support.h"
#include "tests/windows/popups/ui_pump.h"

namespace keyrack {
namespace {

// The editor's template without the editor: counts the commands that reach it.
class HostDialog : public CDialogEx {
  public:
    HostDialog() : CDialogEx(IDD_EDITOR) {}
    int removeClicks = 0;

  protected:
    BOOL OnCommand(WPARAM wParam, LPARAM) override {
        if (LOWORD(wParam) == IDC_EDITOR_REMOVE && HIWORD(wParam) == BN_CLICKED) ++removeClicks;
        return TRUE;
    }
};

enum class Panel { kList, kInfo, kPosition };

struct PlaceCase {
    const char* name;
    Panel panel;
    int width, height;
    int id;
    Placement expected;  // in the panel's client area
};

void PrintTo(const PlaceCase& c, std::ostream* out) { *out << c.name; }

class PanelsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        ASSERT_TRUE(m_host.Create(IDD_EDITOR));
        m_host.ShowWindow(SW_SHOW);
        m_list = std::make_unique<Container>(m_host.m_hWnd, RECT{10, 10, 100, 100});
        m_list->SetChild(m_host.GetDlgItem(IDC_EDITOR_LIST));
        m_info = std::make_unique<InfoContainer>(m_host.m_hWnd);
        m_position = std::make_unique<DisplayContainer>(m_host.m_hWnd, m_slot);
    }
    void TearDown() override {
        m_position.reset();
        m_info.reset();
        m_list.reset();
        m_host.DestroyWindow();
    }
    Container& PanelOf(Panel panel) {
        switch (panel) {
            case Panel::kList:
                return *m_list;
            case Panel::kInfo:
                return *m_info;
            default:
                return *m_position;
        }
    }
    static Placement PlaceIn(HWND control, HWND panel) {
        RECT r{};
        ::GetWindowRect(control, &r);
        ::MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&r), 2);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }

    testing::TempFolder m_folder;
    NullDesktop m_desktop;
    Slot m_slot{0, m_folder.Store(), m_desktop};
    HostDialog m_host;
    std::unique_ptr<Container> m_list;
    std::unique_ptr<InfoContainer> m_info;
    std::unique_ptr<DisplayContainer> m_position;
};

class PanelPlacementTest : public PanelsTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(PanelPlacementTest, ControlIsTakenOverAndPlaced) {
    const PlaceCase& c = GetParam();
    Container& panel = PanelOf(c.panel);
    ::MoveWindow(panel.m_hWnd, 0, 0, c.width, c.height, TRUE);
    HWND control = panel.GetDlgItem(c.id);
    ASSERT_NE(control, nullptr) << "not a child of its panel";
    EXPECT_EQ(::GetParent(control), panel.m_hWnd);
    EXPECT_EQ(PlaceIn(control, panel.m_hWnd), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PanelPlacementTest,
    ::testing::Values(
        PlaceCase{"ListFillsItsPanelInsideTheRim",
                  Panel::kList,
                  81,
                  400,
                  IDC_EDITOR_LIST,
                  {3, 3, 74, 393}},
        PlaceCase{"IconOverTheButtons", Panel::kInfo, 500, 190, IDC_EDITOR_ICON, {58, 45, 64, 64}},
        PlaceCase{"NameLabel", Panel::kInfo, 500, 190, IDC_EDITOR_NAME_LABEL, {180, 10, 310, 25}},
        PlaceCase{"PathEdit", Panel::kInfo, 500, 190, IDC_EDITOR_PATH, {180, 95, 310, 25}},
        PlaceCase{
            "ParametersEdit", Panel::kInfo, 500, 190, IDC_EDITOR_PARAMETERS, {180, 155, 310, 25}},
        PlaceCase{"SaveButton", Panel::kInfo, 500, 190, IDC_EDITOR_SAVE, {10, 155, 75, 25}},
        PlaceCase{"RemoveButton", Panel::kInfo, 500, 190, IDC_EDITOR_REMOVE, {95, 155, 75, 25}},
        PlaceCase{"XLabel", Panel::kPosition, 700, 300, IDC_EDITOR_X_LABEL, {10, 15, 25, 25}},
        PlaceCase{"HEdit", Panel::kPosition, 700, 300, IDC_EDITOR_H, {366, 10, 70, 25}},
        PlaceCase{
            "MaximiseBox", Panel::kPosition, 700, 300, IDC_EDITOR_MAXIMIZE, {446, 10, 70, 25}},
        PlaceCase{"PreviewFillsTheRest",
                  Panel::kPosition,
                  700,
                  300,
                  IDC_EDITOR_PREVIEW,
                  {10, 45, 680, 245}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PanelsTest, ARoundedRegionAndAZeroWidthKeepsTheLastPlace) {
    ::MoveWindow(m_list->m_hWnd, 0, 0, 81, 400, TRUE);
    HWND list = m_list->GetDlgItem(IDC_EDITOR_LIST);
    const Placement before = PlaceIn(list, m_list->m_hWnd);
    {
        CRgn region;
        region.Attach(::CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(::GetWindowRgn(m_list->m_hWnd, region), ERROR);
        EXPECT_FALSE(::PtInRegion(region, 0, 0)) << "the corner is cut off";
        EXPECT_TRUE(::PtInRegion(region, 0, 200)) << "the side is not";
        EXPECT_TRUE(::PtInRegion(region, 40, 0));
    }
    ::MoveWindow(m_list->m_hWnd, 0, 0, 0, 400, TRUE);
    EXPECT_EQ(PlaceIn(list, m_list->m_hWnd), before);
}

TEST_F(PanelsTest, RemoveButtonReachesTheEditorOnce) {
    ::MoveWindow(m_info->m_hWnd, 0, 0, 500, 190, TRUE);
    ::SendMessageW(m_info->GetDlgItem(IDC_EDITOR_REMOVE), BM_CLICK, 0, 0);
    testing::PumpUntil([] { return false; }, 20);
    EXPECT_EQ(m_host.removeClicks, 1);
}

}  // namespace
}  // namespace keyrack
