// The trading window on the Qt platform against the demo game server program with a short
// watchdog: login, instruments and prices, a server killed and started again, and a locked
// user. (A wrong password is covered with a scripted server in the protocol tests.)
#include "demo_server.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kavex {
namespace {

#ifdef KAVEX_SERVER_PROGRAM

constexpr int kWatchdogMs = 1000;

class ServerRun : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server.start({"--heartbeat-ms", "300"})); }
    Client& start(const std::string& user) {
        return client.start(user, {}, [](ClientPlatform& p) {
            p.timings.watchdogIntervalMs = kWatchdogMs;
            p.timings.silenceLimitMs = kWatchdogMs;
            p.timings.loginWaitSeconds = 1;
            p.timings.reconnectPauseSeconds = 0.2;
        });
    }
    int sessions() {
        const auto& lines = client.app->orderClient().incoming().lines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), "WS connected!"));
    }

    QtEventLoop loop;
    test::DemoServer server{loop};
    test::DemoClient client{loop, server.discoveryUrl()};
};

TEST_F(ServerRun, LogsInGetsPricesAndComesBackAfterTheServerWasKilled) {
    Client& app = start("demo1");
    OrderClient& connection = app.orderClient();
    TradingData& data = app.data();
    EXPECT_EQ(connection.hostField().text(), "127.0.0.1");
    EXPECT_EQ(connection.portField().text(), std::to_string(server.gamePort));
    ASSERT_TRUE(
        client.waitFor([&] { return data.instrumentCount() > 0 && data.instruments.at(1).Bid != 0; }));
    const int count = data.instrumentCount();
    EXPECT_GE(count, 20);
    std::vector<std::string> tickers;
    for (int n = 1; n <= count; ++n)
        tickers.push_back(data.instruments.at(n).Ticker);

    server.kill();
    ASSERT_TRUE(client.waitFor([&] { return connection.incoming().contains("WS closed"); }, 3000));
    const int16_t historyBefore = data.history.pos(1);
    test::pause(loop, 2 * kWatchdogMs);
    ASSERT_TRUE(server.start({"--heartbeat-ms", "300"}));
    // The next watchdog tick (plus at most one refused attempt's wait) logs in again.
    ASSERT_TRUE(client.waitFor([&] { return sessions() == 2; }, 1000 + 3 * kWatchdogMs + 1000));
    data.pricesChanged = false;
    ASSERT_TRUE(client.waitFor([&] { return data.pricesChanged; }, 3000));

    // The table was replaced, not extended; the history kept what came before.
    ASSERT_EQ(data.instrumentCount(), count);
    for (int n = 1; n <= count; ++n)
        EXPECT_EQ(data.instruments.at(n).Ticker, tickers[n - 1]);
    EXPECT_GE(data.history.pos(1), historyBefore);
    EXPECT_TRUE(connection.autoReconnect());
}

TEST_F(ServerRun, ALockedUserIsToldSoAndNotReconnected) {
    Client& app = start("gesperrt");
    const int dialogs = client.dialogs.credentialDialogs;
    const auto& messages = app.controls().messages.lines();
    auto locked = [&] {
        return std::any_of(messages.begin(), messages.end(),
                           [](const std::string& m) { return m.ends_with(" USER GESPERRT"); });
    };
    ASSERT_TRUE(client.waitFor(locked, 3000)) << (messages.empty() ? "" : messages.back());
    test::pause(loop, 3 * kWatchdogMs);
    EXPECT_FALSE(app.orderClient().autoReconnect());
    EXPECT_EQ(sessions(), 1);
    EXPECT_EQ(client.dialogs.credentialDialogs, dialogs) << "no new credentials asked for";
}

#endif

} // namespace
} // namespace kavex
