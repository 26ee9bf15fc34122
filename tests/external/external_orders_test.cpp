// Orders and cancels asked for by a front-end or a request file, placed through the grid.
#include "protocol/wire.h"
#include "support/trading_fixture.h"
#include "views/external_orders.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

class ExternalOrdersTest : public ::testing::Test, public test::TradingFixture {
  protected:
    ExternalOrdersTest() {
        data.instruments.at(1).ZeltickerCode = "DE0007164600";
        data.instruments.at(2).ZeltickerCode = "DE0005190003";
        rebuild();
        external.sendToBridge = [this](std::string_view framed) {
            toBridge.push_back(std::string(framed.substr(1, framed.size() - 2)));
        };
        placement.bridgeNewOrderId = [this](const std::string& ref, int32_t id) {
            external.reportNewOrderId(ref, id);
        };
    }

    ExternalOrders external{data, actions, placement, orderGrid, grid, columns, prompts};
    std::vector<std::string> toBridge;
};

TEST_F(ExternalOrdersTest, TheNumberFieldWinsOverTheCodeAndOnlyBuyBuys) {
    external.placeOrder("DE0007164600;2;SELL;STP;3;2400;0;r1");
    external.placeOrder(";2;  BUY ;MOC;1;;;r2");
    external.placeOrder(";2;buy;MKT;2;;;r3");
    EXPECT_EQ(sentTexts(), (std::vector<std::string>{"@PO=ACC1;-101;2;SEL ;STP;3; 2400; 0;0;0",
                                                     "@PO=ACC1;-102;2;BUY ;MOC;1; 0; 0;0;0",
                                                     "@PO=ACC1;-103;2;SEL ;MKT;2; 0; 0;0;0"}));
    EXPECT_EQ(toBridge, (std::vector<std::string>{"@OC;r1;-101", "@OC;r2;-102", "@OC;r3;-103"}));
}

TEST_F(ExternalOrdersTest, WhatTheServerJudgesGoesOutAsWrittenAndNoReferenceBreaksALine) {
    // The type is the first three characters of field 4, untrimmed; a control character
    // in it would end the message, a double quote would join the fields after it.
    for (const char* text :
         {";1;BUY; MKT;1;;;a", ";1;BUY;lmt;0;x;;b", ";1;BUY;\"\x02T;-3;;;c", ";1;BUY;MKT;1;;;X\"\r\n\"FORGED"})
        EXPECT_EQ(external.placeOrder(text), ExternalOrderResult::Placed) << text;
    EXPECT_EQ(sentTexts(), (std::vector<std::string>{"@PO=ACC1;-101;1;BUY ; MK;1; 0; 0;0;0",
                                                     "@PO=ACC1;-102;1;BUY ;lmt;0; 0; 0;0;0",
                                                     "@PO=ACC1;-103;1;BUY ;  T;-3; 0; 0;0;0",
                                                     "@PO=ACC1;-104;1;BUY ;MKT;1; 0; 0;0;0"}));
    EXPECT_EQ(toBridge.back(), "@OC;X\"  \"FORGED;-104");
}

TEST_F(ExternalOrdersTest, AnOrderThatCannotGoOutIsAnsweredAndLeavesNoLineBehind) {
    const auto rowsBefore = kinds();
    for (const char* text : {";1;BUY;MKT;99999999999;;;a", ";1;BUY;LMT;1;1e99;;b", ";1;BUY;STP;1;100;;c"})
        EXPECT_EQ(external.placeOrder(text), ExternalOrderResult::NotPlaced) << text;
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_EQ(toBridge, std::vector<std::string>(3, "@ER; 2;Order nicht gesendet"));
    EXPECT_EQ(kinds(), rowsBefore);
}

TEST_F(ExternalOrdersTest, AnUnknownInstrumentIsReportedAndNothingIsSent) {
    EXPECT_EQ(external.placeOrder("XYZ;0;BUY;MKT;5;;;a"), ExternalOrderResult::UnknownInstrument);
    EXPECT_EQ(external.placeOrder("DE0007164600;9;BUY;MKT;5;;;a"), ExternalOrderResult::UnknownInstrument);
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_EQ(toBridge, std::vector<std::string>(2, "@ER; 1;Wertpapier nicht verfügbar"));
    EXPECT_EQ(prompts.asked, (std::vector<std::string>{"Das angeforderte Wertpapier XYZ ist nicht verfügbar!",
                                                       "Das angeforderte Wertpapier DE0007164600 ist nicht "
                                                       "verfügbar!"}));
    EXPECT_EQ(data.account.lastUserOrderId, 100);
}

TEST_F(ExternalOrdersTest, TheUsersOwnEntryLinesStayWhereTheyAre) {
    click(instrumentRow(1), 9, 0);
    const int userRow = actions.lastInsertedRow();
    const int userLine = data.gridRows.at(userRow).ref;
    external.placeOrder(";1;BUY;MKT;7;;;x");
    EXPECT_EQ(sentTexts(), (std::vector<std::string>{"@PO=ACC1;-101;1;BUY ;MKT;7; 0; 0;0;0"}));
    EXPECT_EQ(data.gridRows.at(userRow).ref, userLine);
    EXPECT_FALSE(isFreeEntryLine(data.entryLines.at(userLine)));

    // An instrument that has no row in the grid yet places nothing; the front-end is told.
    data.instruments.reset(3);
    EXPECT_EQ(external.placeOrder(";3;BUY;MKT;1;;;y"), ExternalOrderResult::NotPlaced);
    EXPECT_EQ(socket.sent.size(), 1u);
    EXPECT_EQ(toBridge.back(), "@ER; 2;Order nicht gesendet");
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(ExternalOrdersTest, OnlyWorkingOrdersAreCancelled) {
    for (auto [id, status] :
         {std::pair{-5, StatusPreSubm}, {-7, StatusFilled}, {-8, StatusCancelled}, {9, StatusSubmitted}}) {
        Order o;
        o.accountCode = "ACC1";
        o.instrumentNumber = 1;
        o.orderUserId = id;
        o.orderId = "S" + std::to_string(-id);
        o.status = status;
        data.orderBook.append(o);
    }
    rebuild();
    for (int32_t id : {-5, -7, -8, -9, 9, 0})
        external.cancelOrder(id);
    EXPECT_EQ(sentTexts(), (std::vector<std::string>{"@CO=ACC1;-5;S5", "@CO=ACC1;9;S-9"}));
    external.cancelAllOrders();
    EXPECT_EQ(sentTexts().size(), 4u);
}

} // namespace
} // namespace kavex
