// The monitor layout preview painting into a real window: pixels read back from the window
// after a paint show the monitors, the items, the selection and the panel's background where
// the layout says they are.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "editor/display_wnd.h"
#include "platform/null_desktop.h"
#include "tests/slots/slot_test_support.h"
#include "tests/windows/popups/ui_pump.h"

namespace keyrack {
namespace {

constexpr COLORREF kBackground = RGB(240, 240, 240);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGreen = RGB(100, 255, 100);
constexpr COLORREF kRed = RGB(255, 100, 100);

class MonitorDesktop : public NullDesktop {
  public:
    std::vector<MonitorInfo> EnumDisplayMonitors() override { return monitors; }
    std::vector<MonitorInfo> monitors;
};

struct ItemPlace {
    int x, y, width, height;
};
struct Probe {
    int x, y;
    COLORREF colour;
};
struct PaintCase {
    const char* name;
    std::vector<Rect> monitors;
    int clientWidth, clientHeight;
    std::vector<ItemPlace> items;
    int selected;  // index into items, -1: none
    std::vector<Probe> probes;
};

void PrintTo(const PaintCase& c, std::ostream* out) { *out << c.name; }

class PreviewPaintTest : public ::testing::TestWithParam<PaintCase> {
  protected:
    void TearDown() override {
        if (m_window != nullptr) ::DestroyWindow(m_window);
    }
    // A top-level static window of the given client size, taken over by the preview.
    HWND MakeWindow(int clientWidth, int clientHeight) {
        RECT frame{0, 0, clientWidth, clientHeight};
        ::AdjustWindowRectEx(&frame, WS_POPUP, FALSE, WS_EX_TOPMOST);
        m_window = ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 50, 50,
                                     frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                     nullptr, ::GetModuleHandleW(nullptr), nullptr);
        return m_window;
    }

    testing::TempFolder m_folder;
    MonitorDesktop m_desktop;
    HWND m_window = nullptr;
};

TEST_P(PreviewPaintTest, PixelsShowMonitorsItemsSelectionAndBackground) {
    const PaintCase& c = GetParam();
    for (const Rect& monitor : c.monitors) m_desktop.monitors.push_back({monitor, monitor, false});
    Slot slot(0, m_folder.Store());
    for (const ItemPlace& place : c.items) {
        auto item = std::make_unique<SlotItem>();
        item->x = place.x;
        item->y = place.y;
        item->width = place.width;
        item->height = place.height;
        slot.items.push_back(std::move(item));
    }

    DisplayWnd preview(slot, m_desktop);
    preview.m_background = kBackground;
    ASSERT_TRUE(preview.SubclassWindow(MakeWindow(c.clientWidth, c.clientHeight)));
    preview.InitLayout();
    if (c.selected >= 0) preview.Model().Select(slot.items[static_cast<std::size_t>(c.selected)]);
    ::InvalidateRect(m_window, nullptr, FALSE);
    ::UpdateWindow(m_window);
    testing::PumpUntil([] { return false; }, 20);

    HDC dc = ::GetDC(m_window);
    for (const Probe& probe : c.probes) {
        EXPECT_EQ(::GetPixel(dc, probe.x, probe.y), probe.colour)
            << "at (" << probe.x << ", " << probe.y << ")";
    }
    ::ReleaseDC(m_window, dc);
}

// One 1920 x 1080 monitor in 600 x 400: the layout is 600 x 337 from y = 32; the item
// (100, 50, 800 x 600) is drawn at (31, 15)-(281, 202) of the layout, y + 32 in the window.
const Rect kFullHd{0, 0, 1920, 1080};

INSTANTIATE_TEST_SUITE_P(
    Layouts, PreviewPaintTest,
    ::testing::Values(
        PaintCase{"OneMonitorWithAnItem",
                  {kFullHd},
                  600,
                  400,
                  {{100, 50, 800, 600}},
                  -1,
                  {{5, 10, kBackground},     // above the layout
                   {300, 390, kBackground},  // below it
                   {0, 150, kBlack},         // the monitor's left outline
                   {300, 32, kBlack},        // its top outline
                   {450, 300, kWhite},       // inside the monitor, beside the item
                   {150, 140, kGreen},       // inside the item
                   {31, 140, kBlack}}},      // the item's outline
        PaintCase{"SelectedItemIsRedOverTheOtherItems",
                  {kFullHd},
                  600,
                  400,
                  {{100, 50, 800, 600}, {200, 100, 200, 200}},
                  1,
                  {{150, 140, kGreen}, {90, 70, kRed}}},
        // 1000 x 200: the layout is 355 x 200 at the left; an item reaching past the monitor's
        // right edge is cut there.
        PaintCase{"ItemPartOutsideEveryMonitorIsHidden",
                  {kFullHd},
                  1000,
                  200,
                  {{1800, 100, 400, 300}},
                  -1,
                  {{340, 50, kGreen}, {380, 50, kBackground}, {700, 100, kBackground}}},
        PaintCase{"NoMonitorShowsOnlyTheBackground",
                  {},
                  600,
                  400,
                  {{100, 50, 800, 600}},
                  0,
                  {{0, 0, kBackground}, {150, 140, kBackground}, {599, 399, kBackground}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace keyrack
