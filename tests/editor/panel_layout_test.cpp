// Panel and editor layouts with the figures of worked examples: every control's place, looked
// up by its id.
#include "editor/panel_layout.h"

#include <gtest/gtest.h>

#include <span>

#include "res/resource.h"

namespace keyrack {
namespace {

struct Expected {
    int id;
    Placement place;
};

void PrintTo(const Expected& e, std::ostream* os) { *os << "control " << e.id; }

Placement Find(std::span<const ControlPlacement> layout, int id) {
    for (const ControlPlacement& c : layout) {
        if (c.id == id) return c.place;
    }
    ADD_FAILURE() << "no control " << id;
    return {};
}

// An information panel of 500 x 190.
class InfoPanel : public ::testing::TestWithParam<Expected> {};
TEST_P(InfoPanel, PlacesControl) {
    EXPECT_EQ(Find(InfoPanelLayout(500, kInfoPanelHeight), GetParam().id), GetParam().place);
}
INSTANTIATE_TEST_SUITE_P(At500x190, InfoPanel,
                         ::testing::Values(Expected{IDC_EDITOR_ICON, {58, 45, 64, 64}},
                                           Expected{IDC_EDITOR_NAME_LABEL, {180, 10, 310, 25}},
                                           Expected{IDC_EDITOR_NAME, {180, 35, 310, 25}},
                                           Expected{IDC_EDITOR_PATH_LABEL, {180, 70, 310, 25}},
                                           Expected{IDC_EDITOR_PATH, {180, 95, 310, 25}},
                                           Expected{IDC_EDITOR_PARAMETERS_LABEL,
                                                    {180, 130, 310, 25}},
                                           Expected{IDC_EDITOR_PARAMETERS, {180, 155, 310, 25}},
                                           Expected{IDC_EDITOR_SAVE, {10, 155, 75, 25}},
                                           Expected{IDC_EDITOR_REMOVE, {95, 155, 75, 25}}));

// A position panel of 700 x 300 with margins of 10.
class PositionPanel : public ::testing::TestWithParam<Expected> {};
TEST_P(PositionPanel, PlacesControl) {
    const auto layout = PositionPanelLayout(700, 300, {10, 10, 10, 10});
    EXPECT_EQ(Find(layout, GetParam().id), GetParam().place);
}
INSTANTIATE_TEST_SUITE_P(At700x300, PositionPanel,
                         ::testing::Values(Expected{IDC_EDITOR_X_LABEL, {10, 15, 25, 25}},
                                           Expected{IDC_EDITOR_X, {39, 10, 70, 25}},
                                           Expected{IDC_EDITOR_Y_LABEL, {119, 15, 25, 25}},
                                           Expected{IDC_EDITOR_Y, {148, 10, 70, 25}},
                                           Expected{IDC_EDITOR_W_LABEL, {228, 15, 25, 25}},
                                           Expected{IDC_EDITOR_W, {257, 10, 70, 25}},
                                           Expected{IDC_EDITOR_H_LABEL, {337, 15, 25, 25}},
                                           Expected{IDC_EDITOR_H, {366, 10, 70, 25}},
                                           Expected{IDC_EDITOR_MAXIMIZE, {446, 10, 70, 25}},
                                           Expected{IDC_EDITOR_PREVIEW, {10, 45, 680, 245}}));

// An editor client area of 984 x 711.
class EditorDialog : public ::testing::TestWithParam<Expected> {};
TEST_P(EditorDialog, PlacesControl) {
    EXPECT_EQ(Find(EditorDialogLayout(984, 711).controls, GetParam().id), GetParam().place);
}
INSTANTIATE_TEST_SUITE_P(At984x711, EditorDialog,
                         ::testing::Values(Expected{IDC_EDITOR_SLOT_NAME_LABEL, {111, 35, 70, 20}},
                                           Expected{IDC_EDITOR_SLOT_NAME, {185, 30, 346, 25}},
                                           Expected{IDC_EDITOR_LIST_LABEL, {20, 35, 80, 20}},
                                           Expected{1 /* IDOK */, {814, 656, 70, 25}},
                                           Expected{2 /* IDCANCEL */, {894, 656, 70, 25}}));

TEST(EditorDialog, PanelsShareTheClientArea) {
    const EditorLayout layout = EditorDialogLayout(984, 711);
    EXPECT_EQ(layout.listPanel, (Placement{20, 55, 81, 626}));
    EXPECT_EQ(layout.infoPanel, (Placement{111, 65, 853, 190}));
    EXPECT_EQ(layout.displayPanel, (Placement{111, 265, 853, 381}));
}

TEST(EditorDialog, WindowIsCentredOnTheScreen) {
    EXPECT_EQ(EditorWindowPlacement(1920, 1080), (Placement{460, 165, 1000, 750}));
    EXPECT_EQ(EditorWindowPlacement(1366, 767), (Placement{183, 8, 1000, 750}));
}

TEST(Container, SingleChildMarginsComeFromTheCorner) {
    EXPECT_EQ(MarginsFromCorner(kPanelCornerDiameter), (Margins{1, 1, 2, 2}));
    EXPECT_EQ(MarginsFromCorner(40), (Margins{5, 5, 6, 6}));
}

TEST(Container, ChildFillsThePanelInsideMarginsAndRim) {
    const Margins corner = MarginsFromCorner(kPanelCornerDiameter);
    EXPECT_EQ(ContainerChildPlacement(81, 400, {0, 0, 81, 400}, corner, kPanelBorderWidth),
              (Placement{3, 3, 74, 393}));
    // Resized to nothing: the child keeps its place.
    EXPECT_EQ(ContainerChildPlacement(0, 400, {0, 0, 0, 400}, corner, kPanelBorderWidth),
              std::nullopt);
    EXPECT_EQ(ContainerChildPlacement(81, -1, {0, 0, 81, 0}, corner, kPanelBorderWidth),
              std::nullopt);
}

}  // namespace
}  // namespace keyrack
