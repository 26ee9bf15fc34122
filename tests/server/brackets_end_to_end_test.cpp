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
    // Sets instrument 1's quote in ticks of 0.5.
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
    EXPECT_EQ(stop.orderType.str() + " " + target.orderType.str(), "STP LMT");
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
    EXPECT_TRUE(client->controls().messages.empty()); // no refusal from the server
}

TEST_F(BracketsEndToEnd, AFilledOrderProtectedLaterIsClosedAtTheSessionCloseByItsMocChild) {
    client->settings().confirmation = 0;
    click(2, 0, 13); // DEFAULT of AAA
    const int32_t bought = data().account.lastUserOrderId + 1;
    client->window().sellMarket(); // short 1 at 99.5
    loop.advance(100);
    ASSERT_EQ(holding(1), -1);
    client->window().toggleFinishedOrders(); // finished orders shown
    const int row = data().gridRows.findRow(data().orderBook.findByOrderUserId(bought), RowFinishedOrder);
    ASSERT_GT(row, 0);

    BracketPreset& preset = client->brackets().presetFor(1);
    preset.presetMode = 2; // offsets to the fill price
    preset.profitValue = 3;
    preset.stopValue = 2;
    chooseFromMenu(row, "Erzeuge Bracket Orders MOC");
    loop.advance(100);
    EXPECT_EQ(clientOrder(bought).bracketRole, BracketMain); // reported back after "@BR1="
    click(4, 1, 10);                                         // TRANSMIT on the first child sends all three
    loop.advance(100);
    // Sent bottom row first: MOC, stop, target; the target resolved by the server 3 below the fill.
    EXPECT_EQ(clientOrder(bought + 1).orderType.str() + " " + clientOrder(bought + 3).orderType.str(),
              "MOC LMT");
    EXPECT_EQ(std::pair(clientOrder(bought + 2).limit1, clientOrder(bought + 3).limit1),
              std::pair(101.5f, 96.5f));
    EXPECT_EQ(clientOrder(bought + 1).activeFlag, 1); // the main order had filled already

    quote(199, 198, 200);
    fx.game.closeSession();
    loop.advance(100);
    EXPECT_EQ(clientOrder(bought + 1).price, 99.5f);
    EXPECT_EQ(clientOrder(bought + 2).status, StatusCancelled);
    EXPECT_EQ(clientOrder(bought + 3).status, StatusCancelled);
    EXPECT_EQ(holding(1), 0);
}

TEST_F(BracketsEndToEnd, DeletingTheUnsentChildrenOfAServerOrderLetsItTakeANewBracket) {
    click(2, 0, 8); // Bid of AAA: a SEL line, limit 99.5
    click(4, 1, 7); // Limit1: far above the market, so the order works
    client->gridActions().setEditorText("150");
    client->gridActions().commitEditor();
    const int32_t main = data().account.lastUserOrderId + 1;
    click(4, 1, 10);
    loop.advance(100);
    const int number = data().orderBook.findByOrderUserId(main);
    ASSERT_EQ(clientOrder(main).status, StatusSubmitted);

    BracketPreset& preset = client->brackets().presetFor(1);
    preset.presetMode = 0; // prices as given
    preset.profitValue = 95;
    preset.stopValue = 160;
    chooseFromMenu(data().gridRows.findRow(number, RowOpenOrder), "Erzeuge Bracket Orders");
    loop.advance(100);
    ASSERT_EQ(clientOrder(main).bracketRole, BracketMain);
    const std::string orderId(clientOrder(main).orderId.trimmed());

    // DELETE on one child drops both and asks the server about its main order.
    const std::size_t sentBefore = socket.sent.size();
    ASSERT_EQ(data().gridRows.at(4).kind, RowEntryLine);
    click(4, 1, 11);
    ASSERT_EQ(socket.sent.size(), sentBefore + 1);
    EXPECT_EQ(socket.sent.back(), "\x01@BR?=KV0001;" + std::to_string(main) + ";" + orderId + "\x02");
    EXPECT_EQ(data().gridRows.findRow(number, RowOpenOrder), 4); // no entry lines left above it
    loop.advance(100);
    EXPECT_EQ(clientOrder(main).bracketRole, BracketPlain);
    EXPECT_EQ(fx.game.exchange().account(0).orders.at(0).bracketRole, kPlain);

    // So a new bracket is taken, and its children reach the server with the main order's number.
    chooseFromMenu(4, "Erzeuge Bracket Orders");
    loop.advance(100);
    EXPECT_TRUE(prompts.asked.empty());
    click(4, 1, 10); // TRANSMIT on a child sends both
    loop.advance(100);
    const auto& orders = fx.game.exchange().account(0).orders;
    ASSERT_EQ(orders.size(), 3u);
    EXPECT_EQ(std::pair(orders[1].parentUserOrderId, orders[2].parentUserOrderId), std::pair(main, main));
    EXPECT_TRUE(client->controls().messages.empty());
}

} // namespace
} // namespace kavex::server::test
