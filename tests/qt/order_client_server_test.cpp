// The connection window on the Qt platform against the demo game server program on
// loopback, with the real instrument and price handlers: login, instruments and prices,
// a server killed and started again, and a locked user. (A wrong password is covered
// with a scripted server in the protocol tests.)
#include "demo_server.h"
#include "platform/qt/qt_system_services.h"
#include "protocol/history_files.h"
#include "protocol/order_client.h"
#include "protocol/price_handlers.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kavex {
namespace {

#ifdef KAVEX_SERVER_PROGRAM

constexpr int kWatchdogMs = 1000;

struct Client {
    Client(const std::string& url, std::string user)
        : user(std::move(user)), folder(temp.path().toStdString()) {
        sites.primary = sites.mirror = url;
        timings.watchdogIntervalMs = kWatchdogMs;
        timings.silenceLimitMs = kWatchdogMs;
        timings.loginWaitSeconds = 1;
        timings.reconnectPauseSeconds = 0.2;
        hooks.showError = [this](const std::string& text) { errors.push_back(text); };
        hooks.showCredentialsDialog = [this] { ++dialogs; };
        client = std::make_unique<OrderClient>(
            OrderClient::Dependencies{loop, socket, http, system, data, protocol},
            ConnectionSettings{this->user, host, this->password, keepServer}, hooks, sites, timings);
        prices = std::make_unique<PriceHandlers>(data, protocol, client->outgoing(), loop, history);
        prices->bind(client->dispatcher());
    }
    int sessions() const {
        const auto& lines = client->incoming().lines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), "WS connected!"));
    }
    bool hasQuotes() const {
        for (int n = 1; n <= data.InstrumentCount(); ++n)
            if (data.instruments.at(n).Last != 0 && data.instruments.at(n).Bid != 0) return true;
        return false;
    }

    bool waitFor(const std::function<bool()>& condition, uint32_t ms) {
        return test::waitUntil(loop, condition, ms);
    }

    QtEventLoop loop;
    QtTcpClient socket;
    QtHttpGet http{2000};
    QtSystemServices system;
    TradingData data;
    TextList protocol;
    std::string user, host = "unknown.invalid", password = "demo";
    int16_t keepServer = 0;
    DiscoverySites sites;
    ConnectionTimings timings;
    TradingWindowHooks hooks;
    std::vector<std::string> errors;
    int dialogs = 0;
    QTemporaryDir temp;
    WorkingDirectory folder;
    HistoryFiles history{data, folder, protocol};
    std::unique_ptr<OrderClient> client;
    std::unique_ptr<PriceHandlers> prices;
};

struct ServerRun : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(server.start({"--heartbeat-ms", "300"})); }
    QtEventLoop loop;
    test::DemoServer server{loop};
};

TEST_F(ServerRun, LogsInGetsPricesAndComesBackAfterTheServerWasKilled) {
    Client c(server.discoveryUrl(), "demo1");
    OrderClient& client = *c.client;
    client.Command1_Click();
    EXPECT_EQ(client.hostField().text(), "127.0.0.1");
    EXPECT_EQ(client.portField().text(), std::to_string(server.gamePort));

    client.Command2_Click();
    ASSERT_TRUE(c.waitFor([&] { return c.data.InstrumentCount() > 0 && c.hasQuotes(); }, 5000));
    int count = c.data.InstrumentCount();
    EXPECT_GE(count, 20);
    std::vector<std::string> tickers;
    for (int n = 1; n <= count; ++n)
        tickers.push_back(c.data.instruments.at(n).Ticker);
    EXPECT_TRUE(client.incoming().contains("IN:@WELCOME"));

    server.kill();
    ASSERT_TRUE(c.waitFor([&] { return client.incoming().contains("WS closed"); }, 3000));
    int16_t historyBefore = c.data.history.pos(1);
    test::pause(c.loop, 2 * kWatchdogMs);
    ASSERT_TRUE(server.start({"--heartbeat-ms", "300"}));
    // The next watchdog tick (plus at most one refused attempt's wait) logs in again.
    ASSERT_TRUE(c.waitFor([&] { return c.sessions() == 2; }, 1000 + 3 * kWatchdogMs + 1000));
    c.data.PricesChanged = 0;
    ASSERT_TRUE(c.waitFor([&] { return c.data.PricesChanged == 1; }, 3000));

    // The table was replaced, not extended; the history kept what came before.
    ASSERT_EQ(c.data.InstrumentCount(), count);
    for (int n = 1; n <= count; ++n)
        EXPECT_EQ(c.data.instruments.at(n).Ticker, tickers[n - 1]);
    EXPECT_GE(c.data.history.pos(1), historyBefore);
    EXPECT_TRUE(client.autoReconnect());
}

TEST_F(ServerRun, ALockedUserIsToldSoAndNotReconnected) {
    Client c(server.discoveryUrl(), "gesperrt");
    c.client->Command1_Click();
    c.client->Command2_Click();
    ASSERT_TRUE(c.waitFor([&] { return !c.errors.empty(); }, 3000));
    EXPECT_TRUE(c.errors[0].ends_with(" USER GESPERRT")) << c.errors[0];
    test::pause(c.loop, 3 * kWatchdogMs);
    EXPECT_FALSE(c.client->autoReconnect());
    EXPECT_EQ(c.sessions(), 1);
    EXPECT_EQ(c.dialogs, 0);
}

#endif

} // namespace
} // namespace kavex
