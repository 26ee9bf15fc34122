#include "support/trading_fixture.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

class Placement : public ::testing::Test, public test::TradingFixture {
  protected:
    // A new entry line below the instrument's separator, as a click on Ask/Bid makes it.
    int newLine(int instrument, const char* side, const char* type, float limit1, int16_t role = 0) {
        click(instrumentRow(instrument), std::string(side) == "BUY" ? 9 : 8, 0);
        int row = actions.lastInsertedRow();
        Order& line = data.entryLines.at(data.gridRows.at(row).ref);
        line.orderType = type;
        line.limit1 = limit1;
        line.bracketRole = role;
        return row;
    }
    int lineAt(int row) const { return data.gridRows.at(row).ref; }
};

TEST_F(Placement, TransmitSendsThePlaceOrderMessageByteForByteAndRemovesTheLine) {
    int row = newLine(1, "SEL", "LMT", 0);
    int line = lineAt(row);
    int rowsBefore = grid.rows();
    click(row, 10);
    ASSERT_EQ(socket.sent.size(), 1u);
    EXPECT_EQ(socket.sent[0], "\x01@PO=ACC1;101;1;SEL ;LMT;1; 0; 0;0;0\x02");
    EXPECT_EQ(outgoing.lines(),
              (std::vector<std::string>{"OUT:\x01@PO=ACC1;101;1;SEL ;LMT;1; 0; 0;0;0\x02"}));
    EXPECT_EQ(data.account.lastUserOrderId, 101);
    EXPECT_EQ(data.entryLines.at(line).status, StatusPendSubm);
    EXPECT_EQ(data.entryLines.at(line).instrumentNumber, 0);
    EXPECT_EQ(grid.rows(), rowsBefore - 1);
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 1, 0}));
    EXPECT_TRUE(bridgeLog.empty());
}

TEST_F(Placement, StopOrdersAreCheckedAgainstTheLastPrice) {
    int equal = newLine(1, "BUY", "STP", 150);
    click(equal, 10); // equal to Last passes
    EXPECT_EQ(socket.sent.size(), 1u);

    int below = newLine(1, "BUY", "STP", 149.5f);
    int line = lineAt(below);
    click(below, 10);
    EXPECT_EQ(socket.sent.size(), 1u);
    EXPECT_EQ(statusLine.text(), "Keine STP-Buy Order mit Limit unter Last-Kurs!");
    EXPECT_EQ(messages.back(), "Keine STP-Buy Order mit Limit unter Last-Kurs!");
    EXPECT_TRUE(messageWindow.visible.checked());
    EXPECT_EQ(system.beeps, 1);
    EXPECT_EQ(data.entryLines.at(line).status, StatusCancelled);
    EXPECT_EQ(data.entryLines.at(line).instrumentNumber, 0);
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 1, 0}));

    int sell = newLine(1, "SEL", "STP", 151);
    click(sell, 10);
    EXPECT_EQ(statusLine.text(), "Keine STP-Sell Order mit Limit über Last-Kurs!");

    // The refused numbers were used up: the next order continues after them.
    int next = newLine(1, "BUY", "MKT", 0);
    click(next, 10);
    EXPECT_EQ(sentTexts().back().substr(0, 13), "@PO=ACC1;104;");
}

TEST_F(Placement, BracketChildrenAreExemptFromTheStopCheck) {
    int row = newLine(1, "SEL", "STP", 151, BracketStopChild);
    placement.PlaceOrder(lineAt(row), row, false, "");
    EXPECT_EQ(sentTexts(), (std::vector<std::string>{"@PO=ACC1;101;1;SEL ;STP;1; 151; 0;3;0"}));
    EXPECT_TRUE(messages.empty());
}

TEST_F(Placement, ExternalOrdersAreSentNegativeAndReported) {
    std::vector<std::pair<std::string, int32_t>> bridge, fileDrop;
    placement.bridgeNewOrderId = [&](const std::string& ref, int32_t id) { bridge.emplace_back(ref, id); };
    placement.fileDropNewOrderId = [&](const std::string& ref, int32_t id) {
        fileDrop.emplace_back(ref, id);
    };
    data.account.lastUserOrderId = 16;
    int row = newLine(1, "BUY", "LMT", 99);
    placement.PlaceOrder(lineAt(row), row, true, "X1");
    EXPECT_EQ(sentTexts(), (std::vector<std::string>{"@PO=ACC1;-17;1;BUY ;LMT;1; 99; 0;0;0"}));
    EXPECT_EQ(bridgeLog.lines(), (std::vector<std::string>{"\x01@PO=ACC1;-17;1;BUY ;LMT;1; 99; 0;0;0\x02"}));
    EXPECT_EQ(bridge, (std::vector<std::pair<std::string, int32_t>>{{"X1", -17}}));
    EXPECT_EQ(fileDrop, bridge);
}

TEST_F(Placement, ABracketMainGoesFirstThenItsChildrenBottomRowFirst) {
    int mainRow = newLine(1, "BUY", "LMT", 150, BracketMain);
    int mainLine = lineAt(mainRow);
    // Children are inserted after the main line, each above the previous one.
    actions.selectCell(instrumentRow(1), columns.map(0, 9));
    actions.OGAktion(mainRow);
    int childA = actions.lastInsertedRow();
    Order& a = data.entryLines.at(lineAt(childA));
    a.bracketRole = BracketLimitChild;
    a.parentLine = mainLine;
    a.orderType = "LMT";
    actions.selectCell(instrumentRow(1), columns.map(0, 9));
    actions.OGAktion(mainRow);
    int childB = actions.lastInsertedRow();
    Order& b = data.entryLines.at(lineAt(childB));
    b.bracketRole = BracketStopChild;
    b.parentLine = mainLine;
    b.orderType = "STP";
    b.limit1 = 140;
    ASSERT_EQ(kinds(), (std::vector<int>{1, 0, 2, 2, 2, 1, 0}));
    int bottomLine = lineAt(6);

    click(childB, 10); // TRANSMIT on a child sends the whole group
    auto sent = sentTexts();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], "@PO=ACC1;101;1;BUY ;LMT;1; 150; 0;1;0");
    // Children carry the main order's user order number, the lower row goes first.
    EXPECT_EQ(sent[1].substr(0, 14), "@PO=ACC1;102;1");
    EXPECT_TRUE(sent[1].ends_with(";2;101")) << sent[1];
    EXPECT_EQ(data.entryLines.at(bottomLine).orderUserId, 102);
    EXPECT_TRUE(sent[2].ends_with(";3;101")) << sent[2];
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 1, 0}));
    EXPECT_EQ(grid.rows(), data.gridRows.rowCount() + 1);
}

TEST_F(Placement, CancelSendsTheOrdersKeysAndChangesNothing) {
    Order o;
    o.accountCode = "ACC1";
    o.orderUserId = 55;
    o.orderId = "A7";
    o.instrumentNumber = 1;
    o.status = StatusSubmitted;
    data.orderBook.append(o);
    Order filled = o;
    filled.orderUserId = 56;
    filled.status = StatusFilled;
    data.orderBook.append(filled);
    placement.CancelorderUser(55);
    placement.CancelorderUser(999);
    EXPECT_EQ(sentTexts(), (std::vector<std::string>{"@CO=ACC1;55;A7"}));
    EXPECT_EQ(data.orderBook.at(1).status, StatusSubmitted);
    socket.sent.clear();
    placement.Command1_Click(); // cancels only working orders
    EXPECT_EQ(sentTexts(), (std::vector<std::string>{"@CO=ACC1;55;A7"}));
}

TEST_F(Placement, ResettingABracketGroupFreesTheMainAndAllItsChildren) {
    int mainRow = newLine(1, "BUY", "LMT", 150, BracketMain);
    int mainLine = lineAt(mainRow);
    int other = lineAt(newLine(1, "SEL", "LMT", 150));
    actions.selectCell(instrumentRow(1), columns.map(0, 9));
    actions.OGAktion(mainRow);
    Order& child = data.entryLines.at(lineAt(actions.lastInsertedRow()));
    child.bracketRole = BracketLimitChild;
    child.parentLine = mainLine;
    placement.ResetAlleLeerOrders(lineAt(actions.lastInsertedRow()));
    EXPECT_EQ(data.entryLines.at(mainLine).instrumentNumber, 0);
    EXPECT_EQ(child.instrumentNumber, 0);
    EXPECT_EQ(data.entryLines.at(other).instrumentNumber, 1);
}

} // namespace
} // namespace kavex
