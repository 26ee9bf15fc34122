// The order guard: quantity and value limits for every way an order goes out, and the
// price collar, asked about for the user's orders and refused for other programs'.
#include "support/trading_fixture.h"
#include "trading/order_guard.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

class Guard : public ::testing::Test, public test::TradingFixture {
  protected:
    Guard() {
        placement.checkOrder = [this](const Order& o, bool external) {
            return orderGuard.check(o, external);
        };
        placement.addRefusalObserver([this](const Order& o, const std::string& why) {
            refused.push_back(std::to_string(o.quantity) + ":" + why);
        });
    }
    int newLine(const char* side, const char* type, float limit1, int32_t quantity) {
        click(instrumentRow(1), std::string(side) == "BUY" ? 9 : 8, 0);
        const int row = actions.lastInsertedRow();
        Order& line = data.entryLines.at(data.gridRows.at(row).ref);
        line.orderType = type;
        line.limit1 = limit1;
        line.quantity = quantity;
        return row;
    }
    OrderGuard orderGuard{data, prompts};
    std::vector<std::string> refused;
};

TEST_F(Guard, AnOrderAboveALimitIsRefusedBeforeSendingFromEveryOriginWithoutUsingANumber) {
    const std::string tooMany = "Order abgelehnt: Stückzahl 10 über dem Höchstwert 5 (SAP)";
    const std::string tooDear = "Order abgelehnt: Ordervolumen 1500 über dem Höchstwert 1000 (SAP)";
    struct Case {
        OrderLimits all, sap;
        std::string why;
    };
    const std::function<void()> origins[] = {
        [&] { click(newLine("BUY", "MKT", 0, 10), 10); }, // TRANSMIT
        [&] { newLine("BUY", "LMT", 150, 10), placement.transmitAll(); },
        [&] { actions.setDefaultQuantityText("10"), data.defaultInstrument = 1, actions.quickOrder(0); },
        [&] {
            const int row = newLine("SEL", "LMT", 150, 10);
            placement.placeOrder(data.gridRows.at(row).ref, row, true, "R1");
        },
    };
    for (const Case& c : {Case{{5, 0}, {}, tooMany}, Case{{0, 0}, {0, 1000}, tooDear}}) {
        orderGuard.setLimitsForAll(c.all);
        if (c.sap.maxValue > 0) orderGuard.setLimitsFor("SAP", c.sap);
        for (std::size_t n = 0; n < std::size(origins); ++n) {
            SCOPED_TRACE(c.why + " origin " + std::to_string(n));
            refused.clear();
            origins[n]();
            EXPECT_TRUE(socket.sent.empty());
            EXPECT_EQ(data.account.lastUserOrderId, 100);
            EXPECT_EQ(statusLine.text(), c.why);
            EXPECT_EQ(refused, std::vector<std::string>{"10:" + c.why});
            for (int line = 1; line <= data.entryLines.count(); ++line)
                freeEntryLine(data.entryLines.at(line));
            rebuild();
        }
        orderGuard.clearInstrumentLimits();
    }
    // Within the limits (and with none for another instrument) the order goes out as before.
    orderGuard.setLimitsForAll({5, 0});
    orderGuard.setLimitsFor("SAP", {20, 0});
    click(newLine("BUY", "MKT", 0, 10), 10);
    EXPECT_EQ(sentTexts(), std::vector<std::string>{"@PO=ACC1;101;1;BUY ;MKT;10; 0; 0;0;0"});
}

TEST_F(Guard, ALimitThroughTheCollarIsAskedAboutAndNeinSendsNothing) {
    const struct {
        const char* side;
        float limit;
        bool answer, asked, sent;
    } cases[] = {{"SEL", 15, false, true, false},
                 {"SEL", 15, true, true, true},
                 {"SEL", 143, true, false, true},
                 {"BUY", 158, false, true, false},
                 {"BUY", 157, true, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.side) + " " + std::to_string(c.limit));
        prompts.asked.clear();
        prompts.yesNoAnswers = {c.answer};
        socket.sent.clear();
        click(newLine(c.side, "LMT", c.limit, 1), 10);
        EXPECT_EQ(prompts.asked.size(), c.asked ? 1u : 0u);
        EXPECT_EQ(socket.sent.size(), c.sent ? 1u : 0u);
    }
    EXPECT_EQ(refused,
              (std::vector<std::string>{
                  "1:Order nicht gesendet: Limit 15 liegt mehr als 5 % unter dem letzten Kurs 150 (SAP)",
                  "1:Order nicht gesendet: Limit 158 liegt mehr als 5 % über dem letzten Kurs 150 (SAP)"}));
    orderGuard.setCollarPercent(0); // off: nothing is asked
    click(newLine("SEL", "LMT", 15, 1), 10);
    EXPECT_TRUE(prompts.asked.empty());
}

} // namespace
} // namespace kavex
