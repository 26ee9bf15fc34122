// Bracket orders made from the grid's right-click menu and sent with their main order.
#include "bracket_fixture.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

using Texts = std::vector<std::string>;

class BracketsTest : public ::testing::Test, public test::BracketFixture {
  protected:
    // A new entry line on instrument `instrument` (Ask: BUY, Bid: SEL) for `quantity`.
    int entryLine(int instrument, bool buy, int32_t quantity) {
        click(instrumentRow(instrument), buy ? 9 : 8, 0);
        int row = actions.lastInsertedRow();
        data.entryLines.at(data.gridRows.at(row).ref).quantity = quantity;
        return row;
    }
};

TEST_F(BracketsTest, SellLinesGetBuyChildrenAndTheMocChildTakesTheStopLimit) {
    setPreset(1, 1, 3, 2); // Last 150
    ASSERT_TRUE(chooseFromMenu(entryLine(1, false, 4), "Erzeuge Bracket Orders MOC"));
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 2, 2, 2, 2, 1, 0}));
    EXPECT_EQ(lineAt(5).limit1, 147.0f);
    EXPECT_EQ(fieldsAt(7), LineFields(BracketCloseChild, "BUY ", "MOC", 152, 4, data.gridRows.at(4).ref));
    EXPECT_EQ(grid.text(7, 9), "BR:MOC");

    // Offsets to the fill price are sent as negative limits and shown as offsets.
    setPreset(2, 2, 2, 1);
    int row = entryLine(2, false, 1);
    ASSERT_TRUE(chooseFromMenu(row, "Erzeuge Bracket Orders MOC"));
    row = instrumentRow(2) + 2;
    EXPECT_EQ(lineAt(row + 1).limit1, -2.0f);
    EXPECT_EQ(lineAt(row + 2).limit1, -1.0f);
    EXPECT_EQ(grid.text(row + 1, 7), "Offset: 2");
}

TEST_F(BracketsTest, WithoutPresetsTheChildLimitsAreZeroAndAnUnknownModeKeepsTheQuotedPrice) {
    ASSERT_TRUE(chooseFromMenu(entryLine(1, true, 1), "Erzeuge Bracket Orders"));
    EXPECT_EQ(std::make_pair(lineAt(5).limit1, lineAt(6).limit1), std::make_pair(0.0f, 0.0f)); // not the bid
    EXPECT_EQ(data.presets.at(1).presetName, "SAP"); // keyed for saving

    setPreset(1, 7, 2, 1);
    ASSERT_TRUE(chooseFromMenu(entryLine(1, true, 1), "Erzeuge Bracket Orders"));
    ASSERT_EQ(kinds(), (std::vector<int>{1, 0, 2, 2, 2, 2, 2, 2, 1, 0}));
    EXPECT_EQ(lineAt(8).limit1, 149.5f);
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(BracketsTest, RefusalsChangeNothing) {
    data.instruments.at(1).Last = 0;
    setPreset(1, 1, 2, 1);
    int row = entryLine(1, true, 1);
    ASSERT_TRUE(chooseFromMenu(row, "Erzeuge Bracket Orders"));
    ASSERT_TRUE(chooseFromMenu(row, "Erzeuge Bracket Orders Edit")); // the dialog first, then the check
    EXPECT_EQ(dialogs.presetShows, 1);
    const std::string noPrice =
        "Es gibt momentan noch keinen Kurs. Bitte anderes Limit als 'Offset zum momentanen Kurs' eingeben";
    EXPECT_EQ(prompts.asked, (Texts{noPrice, noPrice}));
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 2, 1, 0}));
    EXPECT_EQ(lineAt(row).bracketRole, BracketPlain);

    prompts.asked.clear();
    data.instruments.at(1).Last = 150;
    ASSERT_TRUE(chooseFromMenu(row, "Erzeuge Bracket Orders"));
    ASSERT_TRUE(chooseFromMenu(row, "Erzeuge Bracket Orders MOC"));
    ASSERT_TRUE(chooseFromMenu(row + 1, "Erzeuge Bracket Orders"));
    EXPECT_EQ(prompts.asked, (Texts{"Dieser Order sind bereits Bracketorders zugeordnet !",
                                    "Keine Bracketorders für Bracketorders !"}));
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 2, 2, 2, 1, 0}));
}

TEST_F(BracketsTest, AServerOrderWithoutPricesIsStillBracketedWithAWarning) {
    data.instruments.at(1).Last = 0;
    setPreset(1, 0, 5, 0);
    serverOrder(1, "SEL", 2, 56);
    rebuild();
    ASSERT_TRUE(chooseFromMenu(4, "Erzeuge Bracket Orders MOC"));
    EXPECT_EQ(prompts.asked, (Texts{"Achtung - noch keine Kurse. Bitte Limits korrigieren!!"}));
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 2, 2, 2, 3, 1, 0}));
}

TEST_F(BracketsTest, TheRightClickMenuFollowsTheKindOfRowAndTheOrdersState) {
    settings.ShowFinishedOrders = 1;
    serverOrder(1, "BUY", 1, 60, StatusCancelled);
    serverOrder(1, "BUY", 1, 61, StatusFilled);
    serverOrder(1, "BUY", 1, 62, StatusFilled, BracketLimitChild);
    serverOrder(1, "BUY", 1, 63, StatusSubmitted, BracketMain);
    serverOrder(1, "BUY", 1, 64, StatusSubmitted, BracketStopChild);
    rebuild();
    // Newest first: 64, 63, 62, 61, 60 on rows 4 to 8.
    ASSERT_EQ(kinds(), (std::vector<int>{1, 0, 3, 3, 4, 4, 4, 1, 0}));

    actions.mouseDown(2, 1, true);
    EXPECT_EQ(contextMenu.menu().captions(), (Texts{"SAP", "Position Drehen", "Position Glattstellen"}));
    contextMenu.menu().dismiss();
    actions.mouseDown(7, 3, true);
    EXPECT_EQ(contextMenu.menu().captions(),
              (Texts{"SAP BUY 1 LMT", "Erzeuge Bracket Orders", "Erzeuge Bracket Orders MOC",
                     "Erzeuge Bracket Orders Edit", "Erzeuge Bracket Orders MOC Edit"}));
    contextMenu.menu().dismiss();
    for (int row : {3, 4, 5, 6, 8})
        actions.mouseDown(row, 1, true);
    EXPECT_FALSE(contextMenu.menu().isOpen());
    EXPECT_EQ(prompts.asked, (Texts{"Bitte eine nicht abgeschlossene Order anklicken!",
                                    "Diese Order ist bereits eine Bracketorder!",
                                    "Diese Order ist bereits eine Bracket-Hauptorder!",
                                    "Diese Order ist bereits eine Bracketorder!",
                                    "Bitte eine nicht abgeschlossene Order anklicken!"}));
}

} // namespace
} // namespace kavex
