// Clicks and edits in the order grid: deleting entry lines, leaving the in-cell editor,
// price choices, the quantity box, cancel, DEFAULT and separator clicks, and the quick
// order buttons.
#include "support/trading_fixture.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

class GridActionsTest : public ::testing::Test, public test::TradingFixture {
  protected:
    Order working(int instrument, int32_t userId) {
        Order o;
        o.accountCode = "ACC1";
        o.instrumentNumber = static_cast<int16_t>(instrument);
        o.orderUserId = userId;
        o.orderId = "S" + std::to_string(userId);
        o.side = "BUY";
        o.orderType = "LMT";
        o.status = StatusSubmitted;
        return o;
    }
    const Order& lineAt(int row) { return data.entryLines.at(data.gridRows.at(row).ref); }
};

TEST_F(GridActionsTest, EscapeLeavesTheLineAndBadEditsAreReadAsNumbersOrLoggedAndTheOrderStaysWellFormed) {
    click(instrumentRow(1), 9, 0);
    const int row = actions.lastInsertedRow();
    click(row, 8);
    actions.setEditorText("99");
    actions.escapeEditor();
    EXPECT_EQ(lineAt(row).limit2, 0);
    EXPECT_FALSE(actions.editor().visible);
    actions.openEditor(row, columns.map(1, 12), GridActions::Quantity, 0); // a column that takes no edit
    actions.setEditorText("5");
    actions.commitEditor();
    auto edit = [&](int logical, const char* text) {
        click(row, logical);
        actions.setEditorText(text);
        actions.commitEditor();
    };
    edit(6, "zwei"); // no number reads as 0
    EXPECT_EQ(lineAt(row).quantity, 0);
    edit(6, "99999999999"); // too large: logged, the quantity stays
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"Combo1: keine Zuordnung möglich", "F:Combo1_Click Overflow"}));
    EXPECT_EQ(lineAt(row).quantity, 0);
    edit(7, "-3,5");
    click(row, 10);
    EXPECT_EQ(socket.sent.back(), "\x01@PO=ACC1;101;1;BUY ;LMT;0;-3.5; 0;0;0\x02");
}

TEST_F(GridActionsTest, PriceChoicesFollowTheStepOfTheReferencePrice) {
    auto list = GridActions::priceChoices(150);
    ASSERT_EQ(list.size(), 21u);
    EXPECT_EQ((std::vector<std::string>{list.front(), list[9], list[10], list.back()}),
              (std::vector<std::string>{" 149.9", " 149.99", " 150", " 150.1"}));
    // The step grows with the price: the choices just above 1 and 2500.
    EXPECT_EQ(GridActions::priceChoices(1)[11], " 1.0001");
    EXPECT_EQ(GridActions::priceChoices(2500)[11], " 2500.5");
    click(instrumentRow(2), 9, 0);
    click(actions.lastInsertedRow(), 7);
    EXPECT_EQ(actions.editor().selected, 10);
    EXPECT_EQ(actions.editor().items[10], " 2500");
}

TEST_F(GridActionsTest, DeletingAPlainLineRemovesOneRowAndABracketLineRebuilds) {
    click(instrumentRow(1), 9, 0);
    click(instrumentRow(1), 9, 0);
    ASSERT_EQ(kinds(), (std::vector<int>{1, 0, 2, 2, 1, 0}));
    click(4, 11);
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 2, 1, 0}));

    // A child whose main order is already at the server: "@BR?=" first, then a rebuild.
    data.orderBook.append(working(1, 77));
    Order& child = data.entryLines.at(data.gridRows.at(4).ref);
    child.bracketRole = BracketLimitChild;
    child.parentLine = -1;
    click(4, 11);
    EXPECT_EQ(sentTexts(), (std::vector<std::string>{"@BR?=ACC1;77;S77"}));
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 3, 1, 0}));
}

TEST_F(GridActionsTest, CancelDefaultAndSeparatorClicks) {
    data.orderBook.append(working(1, 5));
    rebuild();
    click(4, 11);
    EXPECT_EQ(sentTexts(), (std::vector<std::string>{"@CO=ACC1;5;S5"}));
    EXPECT_EQ(grid.cell(4, 11).background, columns.colour(1, 11));
    for (int16_t pending : {StatusPendSubm, StatusPendCancel}) { // shown inactive, nothing goes out
        data.orderBook.update(1, [&](Order& o) { o.status = pending; });
        orderGrid.redrawAll();
        EXPECT_EQ(grid.cell(4, 11).background, grid_colour::kInactiveAction);
        click(4, 11);
    }
    EXPECT_EQ(sentTexts().size(), 1u);

    // The title rows and the colour column are fixed: their texts are no commands.
    const int titleColour = grid.cell(0, columns.map(0, 13)).background;
    for (auto [row, col] :
         {std::pair{0, columns.map(0, 13)}, std::pair{1, columns.map(1, 11)}, std::pair{4, 0}})
        actions.mouseDown(row, col, false);
    EXPECT_EQ(std::make_tuple(data.defaultInstrument, grid.cell(0, columns.map(0, 13)).background, log.size(),
                              sentTexts().size()),
              std::make_tuple(0, titleColour, std::size_t{0}, std::size_t{1}));

    click(instrumentRow(2), 13, 0);
    EXPECT_EQ(data.defaultInstrument, 2);
    click(instrumentRow(1), 13, 0);
    EXPECT_EQ(grid.cell(instrumentRow(2), 13).background, columns.colour(0, 13)); // old mark redrawn

    std::string caption;
    actions.moreButtonCaptionChanged = [&](const std::string& c) { caption = c; };
    Order done = working(1, 6);
    done.status = StatusCancelled;
    done.orderType = "OVN";
    data.orderBook.append(done);
    click(3, 5); // separator row: finished orders are shown too
    EXPECT_EQ(caption, "Weniger");
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 4, 3, 1, 0}));
    EXPECT_EQ(grid.text(4, 12) + grid.text(4, 13), "Cancelledovernight");
}

TEST_F(GridActionsTest, TheQuantityBoxIsCorrectedAtOnceAndQuickOrderButtonsTradeTheDefaultInstrument) {
    actions.setDefaultQuantityText("0");
    EXPECT_EQ(actions.defaultQuantityBox().text(), " 1");
    actions.setDefaultQuantityText("7,9");
    EXPECT_EQ(actions.defaultQuantityBox().text(), " 7");
    actions.setDefaultQuantityText("1");
    actions.quickOrder(0);
    EXPECT_EQ(prompts.asked,
              (std::vector<std::string>{"Bitte zuerst ein Wertpapier als DEFAULT kennzeichnen !"}));
    click(instrumentRow(1), 13, 0);
    prompts.yesNoAnswers = {false}; // nothing sent
    actions.quickOrder(0);
    actions.quickOrder(0);
    settings.confirmation = 0;
    actions.quickOrder(1);
    EXPECT_EQ(sentTexts(), (std::vector<std::string>{"@PO=ACC1;101;1;BUY ;MKT;1; 150.5; 0;0;0",
                                                     "@PO=ACC1;102;1;SEL ;MKT;1; 149.5; 0;0;0"}));
    EXPECT_EQ(prompts.asked.size(), 3u);
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 1, 0}));
}

TEST_F(GridActionsTest, AQuickOrderTradesTheDefaultInstrumentEvenWhenRowsMoveWhileItsBoxIsOpen) {
    click(instrumentRow(2), 13, 0); // BMW is the default instrument
    // While the box is open, a new line above BMW moves its row down.
    prompts.whileAsking = [this] { click(instrumentRow(1), 9, 0); };
    actions.quickOrder(0);
    EXPECT_EQ(sentTexts(), (std::vector<std::string>{"@PO=ACC1;101;2;BUY ;MKT;1; 0; 0;0;0"}));
    // An instrument list without BMW arrives meanwhile: nothing is sent, the log says why.
    prompts.whileAsking = [this] {
        data.instruments.reset(1);
        rebuild();
    };
    actions.quickOrder(0);
    EXPECT_EQ(sentTexts().size(), 1u);
    EXPECT_EQ(log.back(), "Order nicht ausgeführt: Wertpapier 2 nicht mehr im Grid");
}

} // namespace
} // namespace kavex
