// Sending the entry lines as orders, the stop check, cancelling and freeing lines.
#include "support/trading_fixture.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

using Texts = std::vector<std::string>;

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

TEST_F(Placement, TransmitSendsEachTypeAndSideByteForByteAndRemovesTheLine) {
    struct Case {
        const char* side;
        const char* type;
        int32_t quantity;
        float limit1;
        const char* sent;
    };
    const Case cases[] = {
        {"BUY", "MKT", 1, 0, "\x01@PO=ACC1;101;1;BUY ;MKT;1; 0; 0;0;0\x02"},
        {"SEL", "LMT", 25, 150.25f, "\x01@PO=ACC1;102;1;SEL ;LMT;25; 150.25; 0;0;0\x02"},
        {"BUY", "STP", 3, 151, "\x01@PO=ACC1;103;1;BUY ;STP;3; 151; 0;0;0\x02"},
        {"SEL", "MOC", 2, -17, "\x01@PO=ACC1;104;1;SEL ;MOC;2;-17; 0;0;0\x02"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent);
        const int rowsBefore = grid.rows();
        int row = newLine(1, c.side, c.type, c.limit1);
        int line = lineAt(row);
        data.entryLines.at(line).quantity = c.quantity;
        click(row, 10);
        EXPECT_EQ(socket.sent.back(), c.sent);
        EXPECT_EQ(outgoing.lines().back(), std::string("OUT:") + c.sent);
        EXPECT_EQ(data.entryLines.at(line).instrumentNumber, 0);
        EXPECT_EQ(grid.rows(), rowsBefore);
    }
    EXPECT_EQ(socket.sent.size(), 4u);
}

TEST_F(Placement, StopOrdersAreCheckedAgainstTheLastPrice) {
    click(newLine(1, "BUY", "STP", 150), 10); // equal to Last passes
    int below = newLine(1, "BUY", "STP", 149.5f);
    int line = lineAt(below);
    click(below, 10);
    EXPECT_EQ(socket.sent.size(), 1u);
    EXPECT_EQ((Texts{statusLine.text(), messages.back()}),
              Texts(2, "Keine STP-Buy Order mit Limit unter Last-Kurs!"));
    EXPECT_EQ(system.beeps, 1);
    EXPECT_EQ(data.entryLines.at(line).instrumentNumber, 0);
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 1, 0}));

    click(newLine(1, "SEL", "STP", 151), 10);
    EXPECT_EQ(statusLine.text(), "Keine STP-Sell Order mit Limit über Last-Kurs!");

    // The refused numbers were used up: the next order continues after them.
    click(newLine(1, "BUY", "MKT", 0), 10);
    EXPECT_EQ(sentTexts().back().substr(0, 13), "@PO=ACC1;104;");
}

TEST_F(Placement, BracketChildrenAreExemptFromTheStopCheck) {
    int row = newLine(1, "SEL", "STP", 151, BracketStopChild);
    placement.placeOrder(lineAt(row), row, false, "");
    EXPECT_EQ(sentTexts(), (Texts{"@PO=ACC1;101;1;SEL ;STP;1; 151; 0;3;0"}));
    EXPECT_TRUE(messages.empty());
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
    placement.cancelOrderByUserId(55);
    placement.cancelOrderByUserId(999);
    EXPECT_EQ(sentTexts(), (Texts{"@CO=ACC1;55;A7"}));
    EXPECT_EQ(data.orderBook.at(1).status, StatusSubmitted);
    socket.sent.clear();
    placement.cancelAllOrders(); // cancels only working orders
    EXPECT_EQ(sentTexts(), (Texts{"@CO=ACC1;55;A7"}));
}

TEST_F(Placement, ResettingABracketGroupFreesTheMainAndAllItsChildren) {
    int mainRow = newLine(1, "BUY", "LMT", 150, BracketMain);
    int mainLine = lineAt(mainRow);
    int other = lineAt(newLine(1, "SEL", "LMT", 150));
    actions.selectCell(instrumentRow(1), columns.map(0, 9));
    actions.clickSelectedCell(mainRow);
    Order& child = data.entryLines.at(lineAt(actions.lastInsertedRow()));
    child.bracketRole = BracketLimitChild;
    child.parentLine = mainLine;
    placement.freeBracketGroup(lineAt(actions.lastInsertedRow()));
    EXPECT_EQ(data.entryLines.at(mainLine).instrumentNumber, 0);
    EXPECT_EQ(child.instrumentNumber, 0);
    EXPECT_EQ(data.entryLines.at(other).instrumentNumber, 1);
}

} // namespace
} // namespace kavex
