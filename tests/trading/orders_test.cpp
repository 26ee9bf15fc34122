// Sending entry lines as orders, the stop check, cancelling and freeing lines; the order reports.
#include "support/trading_fixture.h"
#include "trading/order_reports.h"

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

TEST_F(Placement, TheLastUserOrderNumberDoesNotCountPastTheLargestNumber) {
    data.account.lastUserOrderId = 2147483647;
    click(newLine(1, "BUY", "MKT", 0), 10); // TRANSMIT
    EXPECT_EQ(data.account.lastUserOrderId, 2147483647);
    EXPECT_EQ(log.lines(), Texts{"F:PlaceOrder Overflow"});
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
    o.instrumentNumber = 1;
    for (auto [userId, status] : {std::pair{55, StatusSubmitted}, {56, StatusFilled}}) {
        o.orderUserId = userId;
        o.orderId = "A" + std::to_string(userId);
        o.status = status;
        data.orderBook.append(o);
    }
    placement.cancelOrderByUserId(55);
    placement.cancelOrderByUserId(999);
    EXPECT_EQ(sentTexts(), (Texts{"@CO=ACC1;55;A55"}));
    EXPECT_EQ(data.orderBook.at(1).status, StatusSubmitted);
    socket.sent.clear();
    newLine(1, "BUY", "LMT", 150);
    newLine(1, "SEL", "LMT", 151); // shown above the BUY line, where the click put it
    const std::vector<int> refs = {lineAt(4), lineAt(5)};
    placement.cancelAllOrders(); // cancels only working orders and only redraws
    EXPECT_EQ(sentTexts(), (Texts{"@CO=ACC1;55;A55"}));
    EXPECT_EQ((std::vector<int>{lineAt(4), lineAt(5)}), refs);
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

// "@OO" body: 21 fields in the server's order.
std::string openOrder(int32_t userId, const std::string& orderId, int instrument, int status,
                      const std::string& side = "BUY", float limit1 = 150) {
    return std::to_string(userId) + ";" + orderId + ";REF;" + side + ";10;LMT;" + strSingleTrimmed(limit1) +
           ";0;" + std::to_string(status) + ";0;10;0;093000;093001;DAY;" + std::to_string(instrument) +
           ";0;0;INFO;0;0";
}

std::string execution(const std::string& execId, const std::string& orderId, int quantity = 10) {
    return "ACC1;" + orderId + ";EREF;1;EUR;" + execId + ";09:31:00;BOT;" + std::to_string(quantity) +
           ";150.5;1505;2.5;0";
}

class Reports : public ::testing::Test, public test::TradingFixture {
  protected:
    Label accountCodeLabel;
    test::FakeSound sound;
    OrderReports reports{data, orderGrid, errors, sound, settings, loop, outgoing, log, accountCodeLabel};
};

TEST_F(Reports, ANegativeUserOrderNumberRaisesTheCounterByItsMagnitude) {
    reports.onOpenOrder(openOrder(-250, "B1", 1, 3));
    EXPECT_EQ(data.account.lastUserOrderId, 250);
    reports.onOpenOrder(openOrder(7, "B2", 1, 3));
    EXPECT_EQ(data.account.lastUserOrderId, 250);
    // The smallest number has no magnitude that fits: logged, the counter stays, the order is kept.
    reports.onOpenOrder(openOrder(-2147483647 - 1, "B3", 1, 3));
    EXPECT_EQ(std::make_tuple(data.account.lastUserOrderId, log.back(), data.orderBook.count()),
              std::make_tuple(250, std::string("F:WS_OO Overflow"), 3));
}

TEST_F(Reports, ReportsForUnknownOrdersOrRowsAreLogged) {
    reports.onOrderStatus("999;x;4");
    EXPECT_EQ(log.lines(), (Texts{"Keine Order für O.Status gef.:999;x;4"}));
    reports.onOpenOrder(openOrder(101, "A1", 1, 5)); // finished orders get no row while hidden
    reports.onOrderStatus("101;x;6");
    EXPECT_EQ(log.back(), "Keine Orderzeile für Order 1 gefunden");
}

TEST_F(Reports, AnExecutionWithAKnownIdReplacesItsRecordWithoutTheSound) {
    int replaced = 0;
    reports.hooks.executionReplaced = [&](int) { ++replaced; };
    reports.onExecution(execution("E1", "A1"));
    reports.onExecution(execution("E1", "A1", 7));
    EXPECT_EQ(data.executionList.count(), 1);
    EXPECT_EQ(data.executionList.at(1).quantity, 7);
    EXPECT_EQ(sound.played.size(), 1u);
    EXPECT_EQ(replaced, 1);
    settings.executionSound = 0;
    reports.onExecution(execution("E2", "A1"));
    EXPECT_EQ(sound.played.size(), 1u);
}

TEST_F(Reports, FullListsReplaceTheTablesWithoutSound) {
    reports.onOpenOrder(openOrder(1, "A1", 1, 4));
    reports.onAllOrders(openOrder(2, "B1", 2, 4) + "\n" + openOrder(3, "B2", 2, 3));
    EXPECT_EQ(data.orderBook.findByOrderId("A1"), 0);
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 1, 0, 3, 3}));
    reports.onAllOrders("");
    EXPECT_EQ(data.orderBook.count(), 0);
    reports.onAllExecutions(execution("E1", "A") + "\n" + execution("E2", "A"));
    reports.onAllExecutions(execution("E9", "A"));
    EXPECT_EQ(data.executionList.count(), 1);
    EXPECT_TRUE(sound.played.empty());
}

TEST_F(Reports, RejectionsAreShownWithTheTimeAndChangeNoOrder) {
    loop.setDateTime({2026, 12, 7, 10, 11, 12, 0});
    reports.onOpenOrder(openOrder(101, "A1", 1, 3));
    reports.onCancelRejected("A1 not cancellable");
    EXPECT_EQ(statusLine.text(), "10:11:12 Cancel Rejected A1 not cancellable");
    EXPECT_EQ(outgoing.back(), ">> Cancel RejectedA1 not cancellable");
    reports.onOrderRejected("bad");
    EXPECT_EQ(messages.back(), "10:11:12 Order Rejected bad");
    EXPECT_EQ(data.orderBook.at(1).status, StatusPreSubm);
}

TEST_F(Reports, NewFilledAndCancelledOrdersAreNotedUnderMeldungenWithoutABox) {
    loop.setDateTime({2026, 12, 7, 10, 11, 12, 0});
    reports.onOpenOrder(openOrder(101, "A1", 1, 3));
    reports.onOpenOrder(openOrder(102, "A2", 2, 3, "SEL"));
    for (const char* status : {"101;A1;4;093500;0;10;0;;1;0", "101;A1;6;093501;10;0;150.5;;1;0",
                               "101;A1;6;093501;10;0;150.5;;1;0", "102;A2;5;093502;0;10;0;;0;0"})
        reports.onOrderStatus(status);
    EXPECT_EQ(messages.lines(), (Texts{"10:11:12 Order 101 platziert: SAP BUY 10 LMT 150",
                                       "10:11:12 Order 102 platziert: BMW SELL 10 LMT 150",
                                       "10:11:12 Order 101 ausgeführt: SAP BUY 10 LMT 150 zu 150.5",
                                       "10:11:12 Order 102 gestrichen: BMW SELL 10 LMT 150"}));
    EXPECT_FALSE(messageWindow.visible.checked());
}

// One bad field is logged and the rest of the record is still stored.
TEST_F(Reports, OneBadFieldLosesOnlyThatField) {
    reports.hooks.bridgeConnected = [] { return true; };
    std::vector<std::string> forwarded;
    reports.hooks.forwardToBridge = [&](const std::string& t) { forwarded.push_back(t); };
    std::string badFlag = openOrder(120, "A1", 1, 3);
    badFlag.replace(badFlag.rfind(";0;0"), 4, ";300;0");
    reports.onOpenOrder(badFlag);
    ASSERT_EQ(data.orderBook.count(), 1);
    EXPECT_EQ(data.orderBook.at(1).orderUserId, 120);
    EXPECT_EQ(data.orderBook.at(1).activeFlag, 0);
    EXPECT_EQ(data.account.lastUserOrderId, 120);
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 3, 1, 0}));
    EXPECT_EQ(forwarded, Texts{"\x01@OI;120;A1\x02"});

    reports.onOrderStatus("120;A1;99999;093500;4;6;150.5;INFO2;1;151");
    const Order& o = data.orderBook.at(1);
    EXPECT_EQ(std::make_tuple(o.status, o.statusTime.str(), o.filled, o.remaining, o.activeFlag, o.limit1),
              std::make_tuple(int16_t(3), std::string("093500"), 4, 6, uint8_t(1), 151.0f));

    reports.onExecution("ACC1;A1;EREF;1;EUR;E1;09:31:00;BOT;1e20;150.5;1505;2.5;0");
    ASSERT_EQ(data.executionList.count(), 1);
    EXPECT_EQ(data.executionList.at(1).price, 150.5f);
    EXPECT_EQ(sound.played.size(), 1u);

    reports.onAllOrders(openOrder(5, "B1", 2, 3) + "\n" + badFlag);
    ASSERT_EQ(data.orderBook.count(), 2);
    EXPECT_EQ(data.orderBook.at(2).orderId.str().substr(0, 2), "A1");
    reports.onAllExecutions("ACC1;A1;EREF;99999;EUR;E2;09:31:00;BOT;3;150.5;1505;2.5;0");
    EXPECT_EQ(data.executionList.at(1).executionId.str().substr(0, 2), "E2");
    EXPECT_EQ(log.lines(), (Texts{"F:WS_OO Overflow", "F:WS_OS Overflow", "F:WS_EX Overflow",
                                  "F:WS_SAO Overflow", "F:WS_SAE Overflow"}));
}

TEST_F(Reports, UserDataSetsTheAccountCodeAndGarbageNeverCrashes) {
    reports.onUserInfo("XY12\nrest");
    EXPECT_EQ(data.account.accountCode.str(), "XY12  ");
    EXPECT_EQ(accountCodeLabel.text(), "UID:XY12");
    reports.onOpenOrder("");
    reports.onOpenOrder("1;A;R;BUY;1e20");
    reports.onOrderStatus(";;;;;;;;999");
    reports.onExecution(";;;;;;;;;");
    // The empty open order became a record with number 0 and blank keys, the one with a
    // bad quantity a second record; the status report found the first, failed on the
    // flag of 999 and found no grid row for it.
    EXPECT_EQ(log.lines(),
              (Texts{"F:WS_OO Overflow", "F:WS_OS Overflow", "Keine Orderzeile für Order 1 gefunden"}));
    EXPECT_EQ(data.orderBook.count(), 2);
}

} // namespace
} // namespace kavex
