// The account and holding messages of the demo game, read by the client's own handlers:
// the holding's figures and the result label must be what the server booked, and a holding
// sold again stays listed as flat. (The login burst is read in every run of the server
// program.)
#include "community/ranking_info.h"
#include "game_fixture.h"
#include "model/trading_data.h"
#include "orders/account_handlers.h"
#include "orders/holdings.h"
#include "platform/text_list.h"
#include "protocol/message_dispatcher.h"
#include "protocol/server_sender.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"

#include <algorithm>

namespace kavex::server::test {
namespace {

using Lines = std::vector<std::string>;

struct NoChat : ChatSwitch {
    void setChatOptionVisible(bool visible) override { optionVisible = visible; }
    bool chatWindowOpen() const override { return false; }
    void closeChatWindow() override {}
    bool optionVisible = false;
};

// The client side: data, lists, labels and the handlers under test, wired to a dispatcher.
struct Client {
    explicit Client(const Market& market) {
        data.instruments.reset(static_cast<int16_t>(market.count()));
        for (int n = 1; n <= market.count(); ++n) {
            data.instruments.at(n).Ticker = market.setup(n).ticker;
            data.instruments.at(n).Multiplier = static_cast<float>(market.setup(n).multiplier);
            data.instruments.at(n).Last = static_cast<float>(market.last(n));
        }
        account.bind(dispatcher);
        ranking.bind(dispatcher);
        socket.acceptConnection();
    }
    void receive(const Lines& messages) {
        for (const auto& m : messages)
            dispatcher.dispatch(m);
    }
    const Position& holdingOf(int instrument) {
        return data.positionList.at(positionOf(data.PositionIndex, instrument));
    }

    TradingData data;
    TextList incoming, outgoing, protocol;
    Label result, panelResult, totalPlace, dayPlace;
    NoChat chat;
    kavex::test::FakeTcpClient socket;
    kavex::test::FakeSystemServices system;
    kavex::test::FakeEventLoop loop;
    ServerSender sender{socket, outgoing};
    MessageDispatcher dispatcher{{data, incoming, outgoing, protocol, system, loop}};
    AccountHandlers account{
        data, outgoing, protocol, {result, panelResult, totalPlace, dayPlace}, NumberLocale{','}};
    RankingInfo ranking{data, account, protocol, totalPlace, dayPlace, sender, chat};
};

struct ClientAccount : ::testing::Test {
    Lines loginBurst(SessionId id, const std::string& user) {
        fx.game.connected(id, "test");
        fx.say(id, "TTUSER=" + user + "/HD=42");
        fx.say(id, "@U=" + user + "%pw/OCHD=42");
        return fx.take(id);
    }
    GameFixture fx;
    Client client{fx.game.market()};
};

TEST_F(ClientAccount, AHoldingBoughtAndSoldAgainArrivesAsTheServerBookedIt) {
    client.receive(loginBurst(1, "anna"));
    const Market& market = fx.game.market();
    const Ledger& books = fx.game.exchange().account(0).ledger;
    const std::string code = fx.game.exchange().account(0).code;

    fx.say(1, "@PO=" + code + ";1;1;BUY;MKT;2;0;0;0;0");
    client.receive(fx.take(1));
    ASSERT_EQ(client.data.positionList.count(), 1);
    const Position& p = client.holdingOf(1);
    EXPECT_EQ(p.holding, 2);
    EXPECT_FLOAT_EQ(p.marginS, static_cast<float>(books.holdingMargin(market, 1)));
    EXPECT_FLOAT_EQ(p.sumCost, static_cast<float>(books.holdingCost(market, 1)));
    EXPECT_FLOAT_EQ(p.sumValue, static_cast<float>(books.holdingValue(market, 1)));
    // The client's own revaluation at the last price agrees with the server's.
    refreshHoldingValue(client.data, 1);
    EXPECT_FLOAT_EQ(client.holdingOf(1).sumValue, static_cast<float>(books.holdingValue(market, 1)));

    const float today = static_cast<float>(books.todayResult(market));
    const std::string resultText =
        localeSingle(today, NumberLocale{','}) + " = " +
        localeSingle(today + static_cast<float>(books.earlierResult()), NumberLocale{','});
    EXPECT_EQ(client.result.text(), "Heute +-: " + resultText);
    EXPECT_EQ(client.data.account.totalPlace, fx.game.exchange().ranking()[0].total);

    // Sold again: the holding stays listed as flat for the rest of the day, so the
    // client's grid shows "0" and not the old quantity.
    fx.say(1, "@PO=" + code + ";2;1;SEL;MKT;2;0;0;0;0");
    client.receive(fx.take(1));
    ASSERT_EQ(client.data.positionList.count(), 1);
    EXPECT_EQ(client.holdingOf(1).holding, 0);
    EXPECT_TRUE(std::none_of(client.protocol.lines().begin(), client.protocol.lines().end(),
                             [](const std::string& l) { return l.starts_with("F:"); }));
}

} // namespace
} // namespace kavex::server::test
