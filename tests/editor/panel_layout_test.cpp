// Panel and editor layouts with the figures of worked examples, each control looked up by id.
#include "editor/panel_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"

namespace keyrack {
namespace {

struct Expected {
    std::string panel;
    int id;
    Placement place;
};

void PrintTo(const Expected& e, std::ostream* os) { *os << e.panel << " " << e.id; }

// Information panel 500 x 190, position panel 700 x 300, editor client area 984 x 711.
std::vector<ControlPlacement> LayoutOf(const std::string& panel) {
    if (panel == "info") {
        const auto l = InfoPanelLayout(500, kInfoPanelHeight);
        return {l.begin(), l.end()};
    }
    if (panel == "position") {
        const auto l = PositionPanelLayout(700, 300, {10, 10, 10, 10});
        return {l.begin(), l.end()};
    }
    const auto l = EditorDialogLayout(984, 711).controls;
    return {l.begin(), l.end()};
}

class Layout : public ::testing::TestWithParam<Expected> {};

TEST_P(Layout, PlacesControl) {
    int found = 0;
    for (const ControlPlacement& c : LayoutOf(GetParam().panel)) {
        if (c.id != GetParam().id) continue;
        ++found;
        EXPECT_EQ(c.place, GetParam().place);
    }
    EXPECT_EQ(found, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Layout,
    ::testing::Values(Expected{"info", IDC_EDITOR_ICON, {58, 45, 64, 64}},
                      Expected{"info", IDC_EDITOR_NAME, {180, 35, 310, 25}},
                      Expected{"info", IDC_EDITOR_PARAMETERS, {180, 155, 310, 25}},
                      Expected{"info", IDC_EDITOR_SAVE, {10, 155, 75, 25}},
                      Expected{"info", IDC_EDITOR_REMOVE, {95, 155, 75, 25}},
                      Expected{"position", IDC_EDITOR_X_LABEL, {10, 15, 25, 25}},
                      Expected{"position", IDC_EDITOR_H, {366, 10, 70, 25}},
                      Expected{"position", IDC_EDITOR_MAXIMIZE, {446, 10, 70, 25}},
                      Expected{"position", IDC_EDITOR_PREVIEW, {10, 45, 680, 245}},
                      Expected{"editor", IDC_EDITOR_SLOT_NAME, {185, 30, 346, 25}},
                      Expected{"editor", 1 /* IDOK */, {814, 656, 70, 25}},
                      Expected{"editor", 2 /* IDCANCEL */, {894, 656, 70, 25}}));

TEST(EditorLayout, PanelsAndWindow) {
    const EditorLayout layout = EditorDialogLayout(984, 711);
    EXPECT_EQ(layout.listPanel, (Placement{20, 55, 81, 626}));
    EXPECT_EQ(layout.infoPanel, (Placement{111, 65, 853, 190}));
    EXPECT_EQ(layout.displayPanel, (Placement{111, 265, 853, 381}));
    EXPECT_EQ(EditorWindowPlacement(1366, 767), (Placement{183, 8, 1000, 750}));
}

TEST(Container, SingleChildFillsThePanelInsideCornerMarginsAndRim) {
    const Margins corner = MarginsFromCorner(kPanelCornerDiameter);
    EXPECT_EQ(corner, (Margins{1, 1, 2, 2}));
    EXPECT_EQ(MarginsFromCorner(40), (Margins{5, 5, 6, 6}));
    EXPECT_EQ(ContainerChildPlacement(81, 400, {0, 0, 81, 400}, corner, kPanelBorderWidth),
              (Placement{3, 3, 74, 393}));
    // Resized to no width: the child keeps its place.
    EXPECT_EQ(ContainerChildPlacement(0, 400, {0, 0, 0, 400}, corner, kPanelBorderWidth),
              std::nullopt);
}

}  // namespace
}  // namespace keyrack
