// Orders from other programs: the guard's refusal as their answer, the limits per second
// and per minute for both interfaces together, and the approval list.
#include "support/trading_fixture.h"
#include "trading/order_guard.h"
#include "views/external_gate.h"
#include "views/external_orders.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

using Texts = std::vector<std::string>;
using Origin = ExternalOrderGate::Origin;

class Gate : public ::testing::Test, public test::TradingFixture {
  protected:
    Gate() {
        external.sendToBridge = [this](std::string_view f) {
            toBridge.push_back(std::string(f.substr(1, f.size() - 2)));
        };
        placement.bridgeNewOrderId = [this](const std::string& ref, int32_t id) {
            external.reportNewOrderId(ref, id);
        };
        placement.checkOrder = [this](const Order& o, bool other) { return orderGuard.check(o, other); };
        gate.fileDropRefused = [this](const std::string& why) { fileDropRefusals.push_back(why); };
    }
    ExternalOrderResult order(Origin origin, const char* text) {
        return gate.commandsFor(origin).placeOrder(text);
    }

    ExternalOrders external{data, actions, placement, orderGrid, grid, columns, prompts};
    ExternalOrderGate gate{external, loop};
    OrderGuard orderGuard{data, prompts};
    Texts toBridge, fileDropRefusals;
};

TEST_F(Gate, TheGuardsRefusalIsTheAnswerAndLeavesNoLineAndNoNumberUsed) {
    orderGuard.setLimitsForAll({5, 0});
    const auto rowsBefore = kinds();
    EXPECT_EQ(order(Origin::Bridge, ";1;BUY;MKT;6;;;a"), ExternalOrderResult::NotPlaced);
    EXPECT_EQ(order(Origin::FileDrop, ";1;SEL;LMT;1;15;;b"), ExternalOrderResult::NotPlaced);
    EXPECT_EQ(gate.commandsFor(Origin::FileDrop).whyNotPlaced(),
              "Order abgelehnt: Limit 15 liegt mehr als 5 % unter dem letzten Kurs 150 (SAP)");
    EXPECT_EQ(toBridge[0], "@ER; 2;Order abgelehnt: Stückzahl 6 über dem Höchstwert 5 (SAP)");
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(data.account.lastUserOrderId, 100);
    EXPECT_EQ(kinds(), rowsBefore);
}

TEST_F(Gate, PastTheRatesBothInterfacesTogetherAreRefusedAtOnceUntilTimeHasPassed) {
    gate.setRates(2, 3);
    const struct {
        int64_t at;
        Origin origin;
        bool placed;
    } steps[] = {{0, Origin::Bridge, true},       {100, Origin::FileDrop, true},
                 {200, Origin::Bridge, false},    {1100, Origin::FileDrop, true},
                 {1200, Origin::Bridge, false},   {60050, Origin::Bridge, true},
                 {60150, Origin::FileDrop, true}, {60200, Origin::Bridge, false}};
    for (const auto& s : steps) {
        loop.advance(s.at - loop.elapsedMs());
        EXPECT_EQ(order(s.origin, ";1;BUY;MKT;1;;;r") == ExternalOrderResult::Placed, s.placed) << s.at;
    }
    EXPECT_EQ(socket.sent.size(), 5u);
    EXPECT_EQ(
        std::count(toBridge.begin(), toBridge.end(), "@ER; 2;" + std::string(ExternalOrderGate::kTooMany)),
        3);
    EXPECT_EQ(gate.commandsFor(Origin::Bridge).whyNotPlaced(), ExternalOrderGate::kTooMany);
}

TEST_F(Gate, WaitingOrdersGoOutOnlyWhenApprovedAndTheirProgramsHearEitherWay) {
    gate.setApproval(true);
    EXPECT_EQ(order(Origin::Bridge, ";1;BUY;MKT;1;;;a"), ExternalOrderResult::Waiting);
    EXPECT_EQ(order(Origin::FileDrop, ";1;SEL;MKT;2;;;b"), ExternalOrderResult::Waiting);
    EXPECT_EQ(order(Origin::FileDrop, ";9;SEL;MKT;2;;;c"), ExternalOrderResult::Waiting);
    EXPECT_EQ(gate.waitingList().lines(),
              (Texts{"Bridge: ;1;BUY;MKT;1;;;a", "Datei: ;1;SEL;MKT;2;;;b", "Datei: ;9;SEL;MKT;2;;;c"}));
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_TRUE(toBridge.empty());
    gate.approve(1);
    gate.reject(0);
    gate.approve(0); // an instrument that does not exist
    EXPECT_EQ(sentTexts(), Texts{"@PO=ACC1;-101;1;SEL ;MKT;2; 0; 0;0;0"});
    // The bridge hears of every order from outside, as before.
    EXPECT_EQ(toBridge, (Texts{"@OC;b;-101", "@ER; 2;Order vom Benutzer abgelehnt",
                               "@ER; 1;Wertpapier nicht verfügbar"}));
    EXPECT_EQ(fileDropRefusals, Texts{ExternalCommands::kUnknownInstrument});
    EXPECT_TRUE(gate.waitingList().empty());
}

} // namespace
} // namespace kavex
