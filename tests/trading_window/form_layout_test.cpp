// The trading window's layout when a resize would give a part a negative size, and the
// colour editor.
#include "support/fakes.h"
#include "trading_window/colour_editor.h"
#include "trading_window/colour_roles.h"
#include "trading_window/form_layout.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

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
