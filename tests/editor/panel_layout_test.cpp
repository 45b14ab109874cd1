// The editor's one layout function: at 96 DPI the worked examples of the design, and at every
// DPI and work area the outcomes that make the editor usable: the window inside the work area,
// every control inside the client area and on its panel, nothing overlapping, sizes scaled.
#include "editor/panel_layout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/dpi_scale.h"
#include "res/resource.h"

namespace keyrack {
namespace {

const ControlPlacement& Find(const EditorLayout& layout, int id) {
    for (const ControlPlacement& c : layout.controls)
        if (c.id == id) return c;
    ADD_FAILURE() << "no control " << id;
    return layout.controls.front();
}

// A control's place relative to its panel's top left corner.
Placement InPanel(const EditorLayout& layout, int id) {
    const ControlPlacement& c = Find(layout, id);
    const Placement& panel = layout.panels[static_cast<std::size_t>(c.panel)];
    return {c.place.x - panel.x, c.place.y - panel.y, c.place.width, c.place.height};
}

bool Inside(const Placement& inner, const Placement& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.Right() <= outer.Right() &&
           inner.Bottom() <= outer.Bottom();
}

bool Overlap(const Placement& a, const Placement& b) {
    return a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() && b.y < a.Bottom();
}

struct Example {
    const char* name;
    int cx, cy;  // the client size that gives the panel of the example
    int id;
    Placement inPanel;
};

void PrintTo(const Example& e, std::ostream* os) { *os << e.name; }

class DesignAt96 : public ::testing::TestWithParam<Example> {};

// The panels of the worked examples: information 500 x 190 (client 631 wide), position
// 700 x 300 (client 831 x 630), program list 81 x 400 (client 485 high).
TEST_P(DesignAt96, PlacesTheControlOnItsPanel) {
    const Example& e = GetParam();
    EXPECT_EQ(InPanel(EditorDialogLayout(e.cx, e.cy, 96), e.id), e.inPanel);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, DesignAt96,
    ::testing::Values(Example{"InfoIcon", 631, 711, IDC_EDITOR_ICON, {58, 45, 64, 64}},
                      Example{"InfoName", 631, 711, IDC_EDITOR_NAME, {180, 35, 310, 25}},
                      Example{
                          "InfoParameters", 631, 711, IDC_EDITOR_PARAMETERS, {180, 155, 310, 25}},
                      Example{"InfoSave", 631, 711, IDC_EDITOR_SAVE, {10, 155, 75, 25}},
                      Example{"InfoRemove", 631, 711, IDC_EDITOR_REMOVE, {95, 155, 75, 25}},
                      Example{"PositionXLabel", 831, 630, IDC_EDITOR_X_LABEL, {10, 15, 25, 25}},
                      Example{"PositionH", 831, 630, IDC_EDITOR_H, {366, 10, 70, 25}},
                      Example{"PositionMaximise", 831, 630, IDC_EDITOR_MAXIMIZE, {446, 10, 70, 25}},
                      Example{"PositionPreview", 831, 630, IDC_EDITOR_PREVIEW, {10, 45, 680, 245}},
                      Example{"ListInsideTheRim", 300, 485, IDC_EDITOR_LIST, {3, 3, 74, 393}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DesignAt96, TheEditorsOwnControlsAndPanelsInItsClientArea) {
    const EditorLayout layout = EditorDialogLayout(984, 711, 96);
    EXPECT_EQ(Find(layout, IDC_EDITOR_SLOT_NAME).place, (Placement{185, 30, 346, 25}));
    EXPECT_EQ(Find(layout, 1).place, (Placement{814, 656, 70, 25}));
    EXPECT_EQ(Find(layout, 2).place, (Placement{894, 656, 70, 25}));
    EXPECT_EQ(layout.panels[0], (Placement{20, 55, 81, 626}));
    EXPECT_EQ(layout.panels[1], (Placement{111, 65, 853, 190}));
    EXPECT_EQ(layout.panels[2], (Placement{111, 265, 853, 381}));
    // 1000 x 750 centred on a 1920 x 1080 screen whose taskbar leaves 1040 rows.
    EXPECT_EQ(EditorWindowPlacement({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96),
              (Placement{460, 165, 1000, 750}));
}

// A monitor at some scale: Windows offers a scale only where the desktop keeps at least
// about 1024 x 720 design pixels, so the editor has room on every one of these.
struct Screen {
    const char* name;
    Rect monitor, workArea;
    int dpi;
};

void PrintTo(const Screen& s, std::ostream* os) { *os << s.name; }

class AtEveryScale : public ::testing::TestWithParam<Screen> {
  protected:
    // The window the editor gets there and the client area inside its frame (a caption and a
    // sizing border, scaled).
    void SetUp() override {
        const Screen& s = GetParam();
        window = EditorWindowPlacement(s.monitor, s.workArea, s.dpi);
        layout = EditorDialogLayout(window.width - ScaleDpi(16, s.dpi),
                                    window.height - ScaleDpi(39, s.dpi), s.dpi);
        client = {0, 0, window.width - ScaleDpi(16, s.dpi), window.height - ScaleDpi(39, s.dpi)};
    }
    Placement window, client;
    EditorLayout layout;
};

TEST_P(AtEveryScale, TheWindowIsTheScaledSizeOrFillsTheWorkAreaAndStaysInside) {
    const Screen& s = GetParam();
    const Placement work{s.workArea.left, s.workArea.top, s.workArea.Width(), s.workArea.Height()};
    EXPECT_TRUE(Inside(window, work));
    EXPECT_TRUE(window.width == ScaleDpi(1000, s.dpi) || window.width == work.width);
    EXPECT_TRUE(window.height == ScaleDpi(750, s.dpi) || window.height == work.height);
    // Centred: on the monitor when it has its full size, on the work area when shrunk.
    const bool full =
        window.width == ScaleDpi(1000, s.dpi) && window.height == ScaleDpi(750, s.dpi);
    const Rect& around = full ? s.monitor : s.workArea;
    EXPECT_LE(std::abs(2 * window.x + window.width - (around.left + around.right)), 2);
    EXPECT_LE(std::abs(2 * window.y + window.height - (around.top + around.bottom)), 2);
}

TEST_P(AtEveryScale, EveryControlIsInsideTheClientAreaWithARealSize) {
    for (const ControlPlacement& c : layout.controls) {
        EXPECT_TRUE(Inside(c.place, client)) << c.id;
        EXPECT_GT(c.place.width, 0) << c.id;
        EXPECT_GT(c.place.height, 0) << c.id;
    }
    for (const Placement& panel : layout.panels) EXPECT_TRUE(Inside(panel, client));
}

TEST_P(AtEveryScale, ControlsStandInsideTheirPanelsRimAndOffTheOtherPanels) {
    const int rim = layout.style.border;
    for (const ControlPlacement& c : layout.controls) {
        for (std::size_t k = 0; k < layout.panels.size(); ++k) {
            const Placement& panel = layout.panels[k];
            if (static_cast<std::size_t>(c.panel) == k) {
                const Placement inner{panel.x + rim, panel.y + rim, panel.width - 2 * rim,
                                      panel.height - 2 * rim};
                EXPECT_TRUE(Inside(c.place, inner)) << c.id << " on panel " << k;
            } else {
                EXPECT_FALSE(Overlap(c.place, panel)) << c.id << " over panel " << k;
            }
        }
    }
    EXPECT_FALSE(Overlap(layout.panels[0], layout.panels[1]));
    EXPECT_FALSE(Overlap(layout.panels[1], layout.panels[2]));
    EXPECT_FALSE(Overlap(layout.panels[0], layout.panels[2]));
}

TEST_P(AtEveryScale, NoTwoControlsOverlap) {
    const auto& controls = layout.controls;
    for (std::size_t a = 0; a < controls.size(); ++a)
        for (std::size_t b = a + 1; b < controls.size(); ++b)
            EXPECT_FALSE(Overlap(controls[a].place, controls[b].place))
                << controls[a].id << " and " << controls[b].id;
}

TEST_P(AtEveryScale, FixedSizedControlsGrowWithTheScale) {
    // Against the same controls at 96 DPI: each size times dpi / 96, within a pixel.
    const int dpi = GetParam().dpi;
    const EditorLayout design = EditorDialogLayout(984, 711, 96);
    for (int id : {IDC_EDITOR_SLOT_NAME, IDC_EDITOR_X, IDC_EDITOR_MAXIMIZE, IDC_EDITOR_ICON,
                   IDC_EDITOR_SAVE, 1, IDC_EDITOR_LIST_LABEL}) {
        const Placement at96 = Find(design, id).place;
        const Placement now = Find(layout, id).place;
        EXPECT_LE(std::abs(now.width * 96 - at96.width * dpi), 96) << id;
        EXPECT_LE(std::abs(now.height * 96 - at96.height * dpi), 96) << id;
    }
    EXPECT_EQ(layout.style.corner, ScaleDpi(kPanelCornerDiameter, dpi));
    EXPECT_EQ(layout.style.border, ScaleDpi(kPanelBorderWidth, dpi));
}

INSTANTIATE_TEST_SUITE_P(
    Screens, AtEveryScale,
    ::testing::Values(
        Screen{"FullHdAt100", {0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96},
        Screen{"FullHdAt125", {0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 120},
        Screen{"FullHdAt150", {0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 144},
        Screen{"LaptopAt125", {0, 0, 1366, 768}, {0, 0, 1366, 728}, 120},
        Screen{"SmallLaptopAt100", {0, 0, 1366, 768}, {0, 0, 1366, 728}, 96},
        Screen{"QhdAt175", {0, 0, 2560, 1440}, {0, 0, 2560, 1392}, 168},
        Screen{"UhdAt200", {0, 0, 3840, 2160}, {0, 0, 3840, 2100}, 192},
        Screen{"UhdAt250", {0, 0, 3840, 2160}, {0, 0, 3840, 2100}, 240},
        Screen{"LeftOfThePrimaryAt150", {-1920, 0, 0, 1080}, {-1920, 0, 0, 1040}, 144},
        Screen{"TaskbarOnTheLeftAt125", {0, 0, 1920, 1080}, {62, 0, 1920, 1080}, 120}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScaleDpi, RoundsLikeMulDivHalvesAwayFromZero) {
    struct Case {
        int value, dpi, expected;
    } cases[] = {{15, 144, 23}, {-15, 144, -23}, {17, 120, 21},    {10, 96, 10}, {1, 144, 2},
                 {3, 120, 4},   {0, 192, 0},     {750, 144, 1125}, {5, 48, 3},   {-5, 48, -3}};
    for (const Case& c : cases)
        EXPECT_EQ(ScaleDpi(c.value, c.dpi), c.expected) << c.value << "@" << c.dpi;
}

}  // namespace
}  // namespace keyrack
