// The whole client core (trading window, order grid, brackets, closing) against the game
// in-process: what the client sends goes to the game, what the game sends comes back
// through the client's socket, on the client's virtual clock.
#include "game_fixture.h"
#include "support/client_fixture.h"

namespace kavex::server::test {
namespace {

class BracketsEndToEnd : public ::testing::Test, protected kavex::test::ClientFixture {
  protected:
    static constexpr SessionId kSession = 1;

    BracketsEndToEnd() {
        writeSettings();
        load();
        loop.startTimer(5, [this] { pump(); });
        loop.advance(6000);   // autostart countdown, connection and login
        quote(200, 199, 201); // last 100, bid 99.5, ask 100.5
    }

    // One round trip of the link, and 5 ms of game time.
    void pump() {
        if (!accepted && socket.socketState == static_cast<int>(SocketState::Connecting)) {
            accepted = true;
            socket.acceptConnection();
            fx.game.connected(kSession, "client");
        }
        while (forwarded < socket.sent.size())
            fx.game.received(kSession, socket.sent[forwarded++]);
        fx.game.advance(5);
        std::string bytes = std::exchange(fx.transport.wire[kSession], {});
        if (!bytes.empty()) socket.deliver(bytes);
    }

    TradingData& data() { return client->data(); }
    const Order& clientOrder(int32_t userId) {
        return data().orderBook.at(data().orderBook.findByOrderUserId(userId));
    }
    int32_t holding(int instrument) {
        int number = positionOf(data().positionIndex, instrument);
        return number == 0 ? 0 : data().positionList.at(number).holding;
    }
    void click(int row, int set, int logical) {
        client->gridActions().mouseDown(row, client->columns().map(set, logical), false);
    }
    void chooseFromMenu(int row, const std::string& caption) {
        client->gridActions().mouseDown(row, 1, true);
        PopupMenu& menu = client->contextMenu().menu();
        ASSERT_TRUE(menu.isOpen());
        menu.choose(menu.indexOf(caption));
    }
    void quote(int64_t last, int64_t bid, int64_t ask) {
        fx.game.setQuote(1, Quote{last, bid, ask, 10, 10, 0});
        loop.advance(100);
    }

    GameFixture fx;
    bool accepted = false;
    std::size_t forwarded = 0;
};

TEST_F(BracketsEndToEnd, ABuyWithABracketIsClosedByItsProfitTargetAndTheStopIsCancelled) {
    const int32_t first = data().account.lastUserOrderId + 1;

    click(2, 0, 9); // Ask of AAA: a BUY line on row 4
    BracketPreset& preset = client->brackets().presetFor(1);
    preset.presetMode = 1; // offsets to the last price: profit 2 above, stop 1 below
    preset.profitValue = 2;
    preset.stopValue = 1;
    chooseFromMenu(4, "Erzeuge Bracket Orders");
    ASSERT_EQ(client->orderGridCells().text(5, 9), "BR:LMT");
    click(4, 1, 10); // TRANSMIT: the main order, then its children
    loop.advance(100);

    EXPECT_EQ(holding(1), 1);
    const Order& stop = clientOrder(first + 1);
    const Order& target = clientOrder(first + 2);
    EXPECT_EQ(std::pair(stop.limit1, target.limit1), std::pair(99.0f, 102.0f));
    EXPECT_EQ(target.activeFlag, 1); // armed by the main order's fill

    quote(203, 202, 204); // bid 101: not yet (a fill here would be at 101)
    quote(205, 204, 206); // bid 102 reaches the target
    EXPECT_EQ(clientOrder(first + 2).status, StatusFilled);
    EXPECT_EQ(clientOrder(first + 2).price, 102.0f);
    EXPECT_EQ(clientOrder(first + 1).statusInfo.trimmed(), "OCO");
    EXPECT_EQ(holding(1), 0);
    for (const std::string& line : client->controls().log.lines()) // the first run has no preset file
        EXPECT_TRUE(!line.starts_with("F:") || line == "F:WS_SI File not found") << line;
    // No refusal from the server: the status line showed the welcome and the orders' course.
    EXPECT_EQ(client->controls().messages.lines(),
              (std::vector<std::string>{"Willkommen beim Rozivodizez Demo-Server",
                                        "09:30:10 Order 1 platziert: AAA BUY 1 MKT",
                                        "09:30:10 Order 1 ausgeführt: AAA BUY 1 MKT zu 100.5",
                                        "09:30:10 Order 2 platziert: AAA SELL 1 STP 99",
                                        "09:30:10 Order 3 platziert: AAA SELL 1 LMT 102",
                                        "09:30:10 Order 3 ausgeführt: AAA SELL 1 LMT 102 zu 102",
                                        "09:30:10 Order 2 gestrichen: AAA SELL 1 STP 99"}));
}

} // namespace
} // namespace kavex::server::test
