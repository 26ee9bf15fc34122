// The trading window's layout in twips as the window is resized, and the colour editor.
#include "support/fakes.h"
#include "trading_window/colour_editor.h"
#include "trading_window/colour_roles.h"
#include "trading_window/form_layout.h"

#include <gtest/gtest.h>

#include <array>

namespace kavex {
namespace {

TEST(FormLayout, PartsFollowTheWindowSize) {
    FormLayout l = FormLayout::designed();
    l.Form_Resize(9000, 6000);
    EXPECT_EQ(l.tabArea, (TwipRect{0, 360, 9000, 5640}));
    EXPECT_EQ(l.ordersFrame, (TwipRect{60, 480, 8880, 5460}));
    // 5460 - 60 (grid top) - 50 - 480 (strip) - 360 (label strip)
    EXPECT_EQ(l.orderGrid, (TwipRect{60, 60, 8760, 4510}));
    EXPECT_EQ(l.orderStrip, (TwipRect{60, 4570, 8760, 480}));
    EXPECT_EQ(l.executionGrid, (TwipRect{60, 60, 8760, 4570})); // the controls below are 420 high
    EXPECT_EQ(l.executionsFrame, l.ordersFrame);
    EXPECT_EQ((std::vector<int>{l.refreshButton.top, l.noteLabel.top, l.orderList.top}),
              (std::vector<int>{4630, 4630, 4630}));
    EXPECT_EQ(l.refreshButton.width, 1500); // widths below the execution grid stay
    EXPECT_EQ(l.statementList, (TwipRect{120, 480, 8820, 5100}));
    // Thirds of a width that does not divide evenly.
    l.Form_Resize(1000, 6000);
    EXPECT_EQ(l.headerLabels[1], (TwipRect{333, 0, 333, 360}));
    EXPECT_EQ(l.headerLabels[2].left, 666);
}

TEST(FormLayout, ANegativeComputedSizeKeepsThePreviousOne) {
    FormLayout l = FormLayout::designed();
    l.Form_Resize(9000, 1500); // the grid just fits: 960 - 60 - 50 - 480 - 360
    ASSERT_EQ(l.orderGrid.height, 10);
    l.Form_Resize(9000, 1400);
    EXPECT_EQ(l.ordersFrame.height, 860);
    EXPECT_EQ(l.orderGrid.height, 10);     // kept
    EXPECT_EQ(l.orderStrip.top, 70);       // still directly under the grid
    EXPECT_EQ(l.executionGrid.height, 70); // 860 - 60 - 50 - 420 - 360 < 0: kept as well

    l.Form_Resize(100, 400);
    EXPECT_EQ(l.ordersFrame.width, 8880); // 100 - 120 < 0: kept
    EXPECT_EQ(l.ordersFrame.height, 860); // 400 - 480 - 60 < 0: kept
    EXPECT_EQ(l.orderGrid.width, 8760);   // from the kept frame width
    EXPECT_EQ(l.tabArea.height, 40);
    EXPECT_EQ(l.statementList.width, 8820);
    EXPECT_EQ(l.statementList.height, 500); // 40 - 480 - 60 < 0: kept from the last size
    EXPECT_EQ(l.headerLabels[1].width, 33);

    l.Form_Resize(9000, 6000); // growing again applies everything
    EXPECT_EQ(l.orderGrid.height, 4510);
    EXPECT_EQ(l.ordersFrame.width, 8880);
}

class ColourEditorTest : public ::testing::Test {
  protected:
    ColourRoles colours;
    test::FakePrompts prompts;
    ColourEditor editor{colours, prompts};
    std::vector<int> shown;
    void SetUp() override {
        editor.InitColors();
        editor.previewChanged = [this](int c) { shown.push_back(c); };
    }
};

TEST_F(ColourEditorTest, ThePaletteRunsFromGreysToPureHues) {
    // clang-format off
    const std::vector<std::array<int, 3>> rows = {
        {0, 0, 0}, {11, 0, 16777215}, {0, 4, 255} /* red */, {2, 4, 65535} /* yellow */,
        {4, 4, 65280} /* green */, {6, 4, 16776960} /* cyan */, {8, 4, 16711680} /* blue */,
        {99, -3, 16777215} /* outside: the nearest cell */};
    // clang-format on
    for (const auto& [column, row, colour] : rows)
        EXPECT_EQ(ColourEditor::paletteColour(column, row), colour) << column << "," << row;
}

TEST_F(ColourEditorTest, TheSelectedRoleTakesPaletteAndDialogColoursAndWithoutOneOnlyTheSwatchChanges) {
    editor.palette_Click(4, 4); // no role yet
    EXPECT_EQ(editor.preview(), 65280);
    EXPECT_EQ(colours[4], ColourRoles{}[4]);

    editor.roleList_Click(3); // "OG:Bestand", place 4
    EXPECT_EQ(editor.preview(), 16711680);
    editor.palette_Click(0, 4);
    EXPECT_EQ(colours[4], 255);
    EXPECT_EQ(colours[3], 65535);
    prompts.colourAnswer = 12345;
    editor.more_Click();
    EXPECT_EQ(colours[4], 12345);
    prompts.colourAnswer = -1; // cancelled
    editor.more_Click();
    EXPECT_EQ(colours[4], 12345);
    EXPECT_EQ(shown, (std::vector<int>{65280, 16711680, 255, 12345}));

    editor.roleList_Click(40); // not a list position: nothing selected
    editor.palette_Click(0, 0);
    EXPECT_EQ(colours[4], 12345);
    EXPECT_EQ(editor.preview(), 0);
}

} // namespace
} // namespace kavex
