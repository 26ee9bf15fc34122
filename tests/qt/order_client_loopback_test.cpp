// The connection window on the Qt platform against servers on loopback: discovery
// over real HTTP, the login, the instrument list, and reconnecting by itself when the
// server falls silent or goes away.
#include "loopback_servers.h"

#include "model/trading_data.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_http_get.h"
#include "platform/qt/qt_system_services.h"
#include "platform/qt/qt_tcp_client.h"
#include "protocol/order_client.h"

#include <gtest/gtest.h>

#include <functional>

namespace kavex {
namespace {

constexpr const char* kInstruments = "ALPHA;100001;EUR;101.5;101;10;102;20;Alpha AG;1\n"
                                     "BETA;100002;EUR;55;54.5;5;55.5;5;Beta SE;1";

// Processes events until the condition holds; false after `limitMs`.
bool waitUntil(QtEventLoop& loop, const std::function<bool()>& condition, uint32_t limitMs) {
    uint32_t start = loop.tickCount();
    while (!condition()) {
        if (loop.tickCount() - start > limitMs) return false;
        loop.waitForEvents(20);
    }
    return true;
}

void pause(QtEventLoop& loop, uint32_t ms) {
    waitUntil(
        loop, [] { return false; }, ms);
}

constexpr int kWatchdogMs = 700;

struct Client {
    explicit Client(quint16 webPort) {
        sites.primary = "http://127.0.0.1:" + std::to_string(webPort) + "/";
        sites.mirror = "http://127.0.0.1:1/"; // nothing listens there
        // Short watchdog, so that a reconnect takes about two seconds, not twenty.
        timings.watchdogIntervalMs = kWatchdogMs;
        timings.silenceLimitMs = kWatchdogMs;
        timings.loginWaitSeconds = 1;
        timings.reconnectPauseSeconds = 0.2;
        client = std::make_unique<OrderClient>(
            OrderClient::Dependencies{loop, socket, http, system, data, protocol},
            ConnectionSettings{user, host, password, keepServer}, TradingWindowHooks{}, sites, timings);
        client->dispatcher().setHandler(Handler::WS_SI,
                                        [this](std::string_view list) { lists.emplace_back(list); });
    }

    QtEventLoop loop;
    QtTcpClient socket;
    QtHttpGet http{2000};
    QtSystemServices system;
    TradingData data;
    TextList protocol;
    std::string user = "Jörg", host = "unknown.invalid", password = "geheim";
    int16_t keepServer = 0;
    DiscoverySites sites;
    ConnectionTimings timings;
    std::unique_ptr<OrderClient> client;
    std::vector<std::string> lists;
};

TEST(OrderClientOverLoopback, DiscoversLogsInAndReconnectsAfterSilenceAndAfterARestart) {
    test::LoopbackGameServer game(kInstruments);
    ASSERT_TRUE(game.start());
    test::LoopbackWebServer web;
    web.documents["/ipkavex.html"] =
        "127.0.0.1:" + std::to_string(game.port()) + "\r\nbackup.example.net\r\n";
    Client c(web.port());
    OrderClient& client = *c.client;

    client.Command1_Click();
    EXPECT_EQ(web.requests, (std::vector<std::string>{"/ipkavex.html"}));
    EXPECT_EQ(client.hostField().text(), "127.0.0.1");
    EXPECT_EQ(client.portField().text(), std::to_string(game.port()));

    client.Command2_Click();
    ASSERT_TRUE(waitUntil(
        c.loop, [&] { return c.lists.size() == 1; }, 3000));
    EXPECT_EQ(c.lists[0], kInstruments);
    std::string machine = c.system.machineId();
    ASSERT_GE(game.received.size(), 2u);
    EXPECT_EQ(game.received[0], "TTUSER=Jörg/HD=" + machine);
    EXPECT_EQ(game.received[1], "@U=Jörg%geheim/OCHD=" + machine);
    for (const char* line : {"WS connected!", "ID", "Server verlangt USER", "IN:@WELCOME"})
        EXPECT_TRUE(client.incoming().contains(line)) << line;
    EXPECT_EQ(client.receiveState().connectionState, 3);
    EXPECT_EQ(client.stateLabel().text(), "Verbunden");

    // Heartbeats keep the link; silence brings exactly one new session, within two
    // watchdog periods plus the pause before LOGIN.
    pause(c.loop, 3 * kWatchdogMs);
    EXPECT_EQ(game.sessions, 1);
    game.silenceOpenSessions();
    qint64 silentSince = game.now();
    ASSERT_TRUE(waitUntil(
        c.loop, [&] { return c.lists.size() == 2; }, 5000));
    EXPECT_EQ(game.sessions, 2);
    EXPECT_LT(game.acceptTimes[1] - silentSince, 2 * kWatchdogMs + 400);
    EXPECT_EQ(game.closedByClient, 1) << "the client closes the silent connection";

    // The server goes away and comes back on the same port; the watchdog's attempts
    // meanwhile are refused, the first one after the restart logs in.
    quint16 port = game.port();
    game.stop();
    ASSERT_TRUE(waitUntil(
        c.loop, [&] { return client.incoming().back() == "WS closed"; }, 2000));
    pause(c.loop, 2 * kWatchdogMs);
    ASSERT_TRUE(game.start(port));
    qint64 restarted = game.now();
    ASSERT_TRUE(waitUntil(
        c.loop, [&] { return c.lists.size() == 3; }, 6000));
    EXPECT_EQ(game.sessions, 3);
    // At most one LOGIN wait of a refused attempt, then the next watchdog tick.
    EXPECT_LT(game.acceptTimes[2] - restarted, 1000 + 2 * kWatchdogMs + 400);
    EXPECT_TRUE(client.incoming().contains("Connection refused"));
    EXPECT_TRUE(client.autoReconnect());
}

TEST(OrderClientOverLoopback, WithoutAReachableDiscoveryPageTheSettingsHostIsKept) {
    test::LoopbackWebServer web; // serves nothing: every document is "Not found"
    Client c(web.port());
    c.client->setPort("4711");
    c.client->Command1_Click();
    EXPECT_EQ(web.requests, (std::vector<std::string>{"/ipkavex.html", "/ip.html"}));
    EXPECT_EQ(c.client->hostField().text(), "unknown.invalid");
    EXPECT_EQ(c.client->portField().text(), "4100");
}

} // namespace
} // namespace kavex
