// The link's state in the trading window, stale prices greyed, and orders refused while
// the link is down.
#include "support/trading_fixture.h"
#include "views/link_state.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

class LinkStateTest : public ::testing::Test, public test::TradingFixture {
  protected:
    LinkStateTest() {
        placement.linkUp = [this] { return link.connected(); };
        placement.refusedOffline = [this] { statusLine.setText(OrderPlacement::kOfflineRefusal); };
        link.start();
    }
    void setSocket(SocketState state) { socket.socketState = static_cast<int>(state); }
    int bidColour() {
        return grid.cell(instrumentRow(1), columns.map(OrderGridColumns::kInstrumentSet, 8)).foreground;
    }

    Label text;
    LinkState link{loop, socket, data, LinkState::Grid{grid, columns}, text};
};

TEST_F(LinkStateTest, ShowsConnectedConnectingAndHowLongTheLinkHasBeenDown) {
    EXPECT_EQ(text.text(), "verbunden");
    setSocket(SocketState::Closed);
    loop.advance(3000);
    EXPECT_EQ(text.text(), "nicht verbunden seit 2 s"); // counted from the tick that saw it go
    setSocket(SocketState::Connecting);
    loop.advance(1000);
    EXPECT_EQ(text.text(), "verbinde...");
    EXPECT_NE(link.colour(), 0);
}

TEST_F(LinkStateTest, PriceCellsTurnGreyAfterTenSecondsWithoutAPriceAndBackWithTheNext) {
    loop.advance(9000);
    EXPECT_EQ(bidColour(), kGridDefaultColour);
    loop.advance(1000);
    EXPECT_EQ(bidColour(), LinkState::kStaleText);
    ++data.priceUpdates;
    loop.advance(1000);
    EXPECT_EQ(bidColour(), kGridDefaultColour);
}

TEST_F(LinkStateTest, AnOrderWhileNotConnectedIsRefusedKeepsItsLineAndUsesNoNumber) {
    setSocket(SocketState::Closed);
    click(instrumentRow(1), 9, 0);
    const int row = actions.lastInsertedRow();
    const int line = data.gridRows.at(row).ref;
    click(row, 10); // TRANSMIT
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_EQ(data.account.lastUserOrderId, 100);
    EXPECT_EQ(data.gridRows.findRow(line, RowEntryLine), row);
    EXPECT_EQ(statusLine.text(), OrderPlacement::kOfflineRefusal);

    setSocket(SocketState::Connected);
    click(row, 10);
    EXPECT_EQ(sentTexts(), (std::vector<std::string>{"@PO=ACC1;101;1;BUY ;MKT;1; 150.5; 0;0;0"}));
}

} // namespace
} // namespace kavex
