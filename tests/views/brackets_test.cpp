// The grid's right-click menu: bracket orders, closing and reversing holdings; the close-all button.
#include "support/scripted_dialogs.h"
#include "support/trading_fixture.h"
#include "views/bracket_preset_dialog.h"
#include "views/brackets.h"
#include "views/closing.h"
#include "views/grid_context_menu.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace kavex {
namespace {

using Texts = std::vector<std::string>;

const std::string kOrderQuestion =
    "Order wirklich ausführen ?\nDiese Sicherheitsabfrage kann unter 'Sonstiges' deaktiviert werden!";
const std::string kCloseAllQuestion = "Wirklich alle Positionen glattstellen ?\nDiese Sicherheitsabfrage "
                                      "kann unter 'Sonstiges' deaktiviert werden!";

class BracketsTest : public ::testing::Test, public test::TradingFixture {
  protected:
    BracketsTest() {
        actions.contextActions = [this](int row, int col) { contextMenu.openContextMenu(row, col); };
    }
    // Right-clicks a row and chooses the menu entry with this caption; false when the
    // menu did not open or has no such entry.
    bool chooseFromMenu(int row, const std::string& caption) {
        actions.mouseDown(row, 1, true);
        if (!contextMenu.menu().isOpen()) return false;
        int index = contextMenu.menu().indexOf(caption);
        if (index < 0) {
            contextMenu.menu().dismiss();
            return false;
        }
        contextMenu.menu().choose(index);
        return true;
    }
    void setPreset(int instrument, float mode, float profit, float stop) {
        BracketPreset& p = brackets.presetFor(instrument);
        p.presetMode = mode;
        p.profitValue = profit;
        p.stopValue = stop;
    }
    void setHolding(int instrument, int32_t holding) {
        Position p;
        p.instrumentNumber = static_cast<int16_t>(instrument);
        p.holding = holding;
        setPositionOf(data.positionIndex, instrument, data.positionList.add(p));
    }
    // A BUY 1 LMT order in SAP held by the server, appended to the OrderBook.
    void serverOrder(int32_t userId, int16_t status = StatusSubmitted, int16_t role = BracketPlain) {
        Order o;
        o.accountCode = "ACC1";
        o.instrumentNumber = 1;
        o.side = "BUY";
        o.orderType = "LMT";
        o.quantity = 1;
        o.orderUserId = userId;
        o.orderId = std::to_string(userId);
        o.status = status;
        o.bracketRole = role;
        data.orderBook.append(o);
    }
    const Order& lineAt(int row) const { return data.entryLines.at(data.gridRows.at(row).ref); }
    // What a bracket sets on a line: role, side, type, limit, quantity, parent line.
    using LineFields = std::tuple<int16_t, std::string, std::string, float, int32_t, int32_t>;
    LineFields fieldsAt(int row) const {
        const Order& o = lineAt(row);
        return {o.bracketRole, o.side.str(), o.orderType.str(), o.limit1, o.quantity, o.parentLine};
    }

    // A new entry line on instrument `instrument` (Ask: BUY, Bid: SEL) for `quantity`.
    int entryLine(int instrument, bool buy, int32_t quantity) {
        click(instrumentRow(instrument), buy ? 9 : 8, 0);
        int row = actions.lastInsertedRow();
        data.entryLines.at(data.gridRows.at(row).ref).quantity = quantity;
        return row;
    }

    test::ScriptedDialogs dialogs{loop};
    BracketPresetDialog presetDialog{prompts};
    Brackets brackets{data, actions, orderGrid, columns, sender, prompts, dialogs, presetDialog, log};
    Closing closing{data, actions, placement, orderGrid, settings, prompts, log};
    GridContextMenu contextMenu{data, brackets, closing, prompts, log};
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

TEST_F(BracketsTest, ARefusedMainTakesItsChildrenAlongAndTransAlleSendsEachMainFirst) {
    setPreset(1, 1, 3, 2); // Last 150
    const std::vector<int> before = kinds();
    int row = entryLine(1, true, 1);
    ASSERT_TRUE(chooseFromMenu(row, "Erzeuge Bracket Orders"));
    Order& main = data.entryLines.at(data.gridRows.at(row).ref);
    main.orderType = "STP";
    main.limit1 = 149;  // a BUY stop below Last: refused
    click(row + 2, 10); // TRANSMIT on a child sends the group
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_EQ(kinds(), before);
    EXPECT_EQ(statusLine.text(), "Keine STP-Buy Order mit Limit unter Last-Kurs!");

    // Bottom row first, but every group goes main first with its number in the children.
    data.account.lastUserOrderId = 100;
    row = entryLine(1, true, 2);
    ASSERT_TRUE(chooseFromMenu(row, "Erzeuge Bracket Orders"));
    entryLine(2, false, 1);
    placement.transmitAll();
    const Texts sent = sentTexts();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_TRUE(sent[0].starts_with("@PO=ACC1;101;2;SEL ;")) << sent[0];
    EXPECT_TRUE(sent[1].starts_with("@PO=ACC1;102;1;BUY ;")) << sent[1];
    EXPECT_TRUE(sent[2].ends_with(";102") && sent[3].ends_with(";102")) << sent[2] << sent[3];
    EXPECT_EQ(kinds(), before);
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

    dialogs.cancelPreset = true; // "Abbrechen": no children, the preset as it was
    const int other = entryLine(2, true, 1);
    setPreset(2, 1, 2, 1);
    ASSERT_TRUE(chooseFromMenu(other, "Erzeuge Bracket Orders Edit"));
    EXPECT_EQ(lineAt(other).bracketRole, BracketPlain);
    EXPECT_EQ(brackets.presetFor(2).profitValue, 2);
}

TEST_F(BracketsTest, AServerOrderWithoutPricesIsStillBracketedWithAWarning) {
    data.instruments.at(1).Last = 0;
    setPreset(1, 0, 5, 0);
    serverOrder(56);
    rebuild();
    ASSERT_TRUE(chooseFromMenu(4, "Erzeuge Bracket Orders MOC"));
    EXPECT_EQ(prompts.asked, (Texts{"Achtung - noch keine Kurse. Bitte Limits korrigieren!!"}));
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 2, 2, 2, 3, 1, 0}));
}

TEST_F(BracketsTest, TheRightClickMenuFollowsTheKindOfRowAndTheOrdersState) {
    settings.ShowFinishedOrders = 1;
    serverOrder(60, StatusCancelled);
    serverOrder(61, StatusFilled);
    serverOrder(62, StatusFilled, BracketLimitChild);
    serverOrder(63, StatusSubmitted, BracketMain);
    serverOrder(64, StatusSubmitted, BracketStopChild);
    rebuild();
    // Newest first: 64, 63, 62, 61, 60 on rows 4 to 8; the other rows' menus are used above.
    ASSERT_EQ(kinds(), (std::vector<int>{1, 0, 3, 3, 4, 4, 4, 1, 0}));
    for (int row : {3, 4, 5, 6, 8})
        actions.mouseDown(row, 1, true);
    EXPECT_FALSE(contextMenu.menu().isOpen());
    EXPECT_EQ(prompts.asked, (Texts{"Bitte eine nicht abgeschlossene Order anklicken!",
                                    "Diese Order ist bereits eine Bracketorder!",
                                    "Diese Order ist bereits eine Bracket-Hauptorder!",
                                    "Diese Order ist bereits eine Bracketorder!",
                                    "Bitte eine nicht abgeschlossene Order anklicken!"}));
}

// Closing and reversing a holding that the server books are run in the end-to-end brackets tests.
TEST_F(BracketsTest, AFlatInstrumentIsRefusedAndTheUsersNoToTheConfirmationSendsNothing) {
    ASSERT_TRUE(chooseFromMenu(instrumentRow(1), "Position Glattstellen"));
    setHolding(2, 0); // a holding record that has gone flat
    actions.setDefaultQuantityText("5");
    ASSERT_TRUE(chooseFromMenu(instrumentRow(2), "Position Drehen"));
    EXPECT_EQ(actions.defaultQuantity(), 5);
    EXPECT_EQ(data.defaultInstrument, 2);
    setHolding(1, 4);
    prompts.yesNoAnswers = {false};
    ASSERT_TRUE(chooseFromMenu(instrumentRow(1), "Position Glattstellen"));
    EXPECT_EQ(prompts.asked,
              (Texts{"Kein Bestand - kein Glattstellen möglich!", "Kein Bestand - kein Drehen möglich!",
                     kOrderQuestion + "\n[SAP  SELL  4 Stück  MKT  ohne Limit]"}));
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 1, 0}));
}

TEST_F(BracketsTest, GlattAsksOnceClosesEveryHoldingThenCancelsWorkingOrders) {
    setHolding(2, -2);
    setHolding(1, 5);
    for (int16_t status : {StatusPendSubm, StatusPreSubm, StatusSubmitted, StatusCancelled, StatusFilled})
        serverOrder(70 + status, status);
    data.defaultInstrument = 2;
    actions.setDefaultQuantityText("9");
    rebuild();

    closing.closeAllPositions();
    EXPECT_EQ(prompts.asked, (Texts{kCloseAllQuestion + "\n[BMW  BUY  2 Stück  MKT  ohne Limit\n"
                                                        "SAP  SELL  5 Stück  MKT  ohne Limit]"}));
    EXPECT_EQ(sentTexts(),
              (Texts{"@PO=ACC1;101;2;BUY ;MKT;2; 0; 0;0;0", "@PO=ACC1;102;1;SEL ;MKT;5; 149.5; 0;0;0",
                     "@CO=ACC1;73;73", "@CO=ACC1;74;74"}));
    EXPECT_EQ(log.lines(),
              (Texts{"Glatt: WPBMWGegenorder  2Kontrakte", "Glatt: WPSAPGegenorder -5Kontrakte"}));
    EXPECT_EQ(data.defaultInstrument, 2);
    EXPECT_EQ(actions.defaultQuantityBox().text(), " 1");
}

TEST_F(BracketsTest, GlattWithoutConfirmationOrHoldingsStillCancelsAndANoStopsEverything) {
    serverOrder(80);
    prompts.yesNoAnswers = {false};
    closing.closeAllPositions();
    EXPECT_EQ(prompts.asked, (Texts{kCloseAllQuestion + "\n[]"}));
    EXPECT_TRUE(socket.sent.empty());

    settings.confirmation = 0;
    actions.setDefaultQuantityText("4");
    closing.closeAllPositions();
    EXPECT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(sentTexts(), (Texts{"@CO=ACC1;80;80"}));
    EXPECT_EQ(actions.defaultQuantity(), 1);
}

TEST_F(BracketsTest, AMenuCommandActsOnTheRowItWasOpenedOnEvenWhenRowsMovedWhileItWasOpen) {
    setHolding(2, 3);
    actions.mouseDown(instrumentRow(2), 1, true); // BMW's menu
    entryLine(1, true, 1);                        // meanwhile a new line above BMW moves its row
    contextMenu.menu().choose(contextMenu.menu().indexOf("Position Glattstellen"));
    EXPECT_EQ(sentTexts(), (Texts{"@PO=ACC1;101;2;SEL ;MKT;3; 0; 0;0;0"}));
    // A line deleted while its bracket menu was open: nothing happens, the log says why.
    const int row = entryLine(1, false, 1);
    actions.mouseDown(row, 1, true);
    click(row, 11); // "DELETE"
    contextMenu.menu().choose(contextMenu.menu().indexOf(Brackets::kMenuCaptions[0]));
    EXPECT_EQ(log.back(), "Befehl nicht ausgeführt: Zeile nicht mehr im Grid");
    EXPECT_EQ(sentTexts().size(), 1u);
}

TEST_F(BracketsTest, BracketEditPutsTheChildrenUnderItsLineEvenWhenRowsMovedWhileThePresetDialogWasOpen) {
    setPreset(2, 0, 2600, 2400);
    const int bmw = entryLine(2, true, 1);
    const int32_t line = data.gridRows.at(bmw).ref;
    dialogs.whilePresetOpen = [this] { entryLine(1, true, 1); }; // a new line above BMW's
    ASSERT_TRUE(chooseFromMenu(bmw, Brackets::kMenuCaptions[2]));
    const int row = data.gridRows.findRow(line, RowEntryLine);
    EXPECT_EQ(std::make_tuple(lineAt(row + 1).instrumentNumber, lineAt(row + 1).parentLine,
                              lineAt(row + 2).parentLine),
              std::make_tuple(int16_t{2}, line, line));
}

} // namespace
} // namespace kavex
