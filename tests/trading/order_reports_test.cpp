// The order reports: open orders, status reports, executions, full lists and rejections.
#include "trading/order_reports.h"
#include "support/trading_fixture.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

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
    OrderReports reports{data, orderGrid, errors,   sound,           settings,
                         loop, outgoing,  log, accountCodeLabel};
};

TEST_F(Reports, ANegativeUserOrderNumberRaisesTheCounterByItsMagnitude) {
    reports.WS_OO(openOrder(-250, "B1", 1, 3));
    EXPECT_EQ(data.account.lastUserOrderId, 250);
    reports.WS_OO(openOrder(7, "B2", 1, 3));
    EXPECT_EQ(data.account.lastUserOrderId, 250);
}

TEST_F(Reports, ReportsForUnknownOrdersOrRowsAreLogged) {
    reports.WS_OS("999;x;4");
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"Keine Order für O.Status gef.:999;x;4"}));
    reports.WS_OO(openOrder(101, "A1", 1, 5)); // finished orders get no row while hidden
    reports.WS_OS("101;x;6");
    EXPECT_EQ(log.back(), "Keine Orderzeile für Order 1 gefunden");
}

TEST_F(Reports, AnExecutionWithAKnownIdReplacesItsRecordWithoutTheSound) {
    int replaced = 0;
    reports.hooks.executionReplaced = [&](int) { ++replaced; };
    reports.WS_EX(execution("E1", "A1"));
    reports.WS_EX(execution("E1", "A1", 7));
    EXPECT_EQ(data.executionList.count(), 1);
    EXPECT_EQ(data.executionList.at(1).quantity, 7);
    EXPECT_EQ(sound.played.size(), 1u);
    EXPECT_EQ(replaced, 1);
    settings.executionSound = 0;
    reports.WS_EX(execution("E2", "A1"));
    EXPECT_EQ(sound.played.size(), 1u);
}

TEST_F(Reports, FullListsReplaceTheTablesWithoutSound) {
    reports.WS_OO(openOrder(1, "A1", 1, 4));
    reports.WS_SAO(openOrder(2, "B1", 2, 4) + "\n" + openOrder(3, "B2", 2, 3));
    EXPECT_EQ(data.orderBook.findByOrderId("A1"), 0);
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 1, 0, 3, 3}));
    reports.WS_SAO("");
    EXPECT_EQ(data.orderBook.count(), 0);
    reports.WS_SAE(execution("E1", "A") + "\n" + execution("E2", "A"));
    reports.WS_SAE(execution("E9", "A"));
    EXPECT_EQ(data.executionList.count(), 1);
    EXPECT_TRUE(sound.played.empty());
}

TEST_F(Reports, RejectionsAreShownWithTheTimeAndChangeNoOrder) {
    loop.setDateTime({2026, 12, 7, 10, 11, 12, 0});
    reports.WS_OO(openOrder(101, "A1", 1, 3));
    reports.WS_CR("A1 not cancellable");
    EXPECT_EQ(statusLine.text(), "10:11:12 Cancel Rejected A1 not cancellable");
    EXPECT_EQ(outgoing.back(), ">> Cancel RejectedA1 not cancellable");
    reports.WS_OR("bad");
    EXPECT_EQ(messages.back(), "10:11:12 Order Rejected bad");
    EXPECT_EQ(data.orderBook.at(1).status, StatusPreSubm);
}

TEST_F(Reports, UserDataSetsTheAccountCodeAndGarbageNeverCrashes) {
    reports.ws_ud("XY12\nrest");
    EXPECT_EQ(data.account.accountCode.str(), "XY12  ");
    EXPECT_EQ(accountCodeLabel.text(), "UID:XY12");
    reports.WS_OO("");
    reports.WS_OO("1;A;R;BUY;1e20");
    reports.WS_OS(";;;;;;;;999");
    reports.WS_EX(";;;;;;;;;");
    // The empty open order became a record with number 0 and blank keys; the status
    // report found it, failed on the flag of 999 and found no grid row for it.
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"F:WS_OO Overflow", "F:WS_OS Overflow",
                                                          "Keine Orderzeile für Order 1 gefunden"}));
    EXPECT_EQ(data.orderBook.count(), 1);
}

} // namespace
} // namespace kavex
