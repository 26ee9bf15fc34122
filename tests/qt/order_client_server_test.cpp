// The connection window on the Qt platform against the demo game server program on
// loopback, with the real instrument and price handlers: login, instruments and prices,
// a server killed and started again, and the two refused logins.
#include "base/files.h"
#include "model/trading_data.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_http_get.h"
#include "platform/qt/qt_system_services.h"
#include "platform/qt/qt_tcp_client.h"
#include "protocol/history_files.h"
#include "protocol/order_client.h"
#include "protocol/price_handlers.h"

#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace kavex {
namespace {

#ifdef KAVEX_SERVER_PROGRAM

constexpr int kWatchdogMs = 1000;

bool waitUntil(QtEventLoop& loop, const std::function<bool()>& condition, uint32_t limitMs) {
    uint32_t start = loop.tickCount();
    while (!condition()) {
        if (loop.tickCount() - start > limitMs) return false;
        loop.waitForEvents(20);
    }
    return true;
}

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

class ServerProgram {
  public:
    ServerProgram(QtEventLoop& loop, const QString& folder) : loop_(loop), folder_(folder) {}
    ~ServerProgram() { kill(); }

    bool start(quint16 gamePort, quint16 webPort) {
        process_ = std::make_unique<QProcess>();
        process_->setWorkingDirectory(folder_);
        process_->setProcessChannelMode(QProcess::MergedChannels);
        process_->start(KAVEX_SERVER_PROGRAM, {"--port", QString::number(gamePort), "--http-port",
                                               QString::number(webPort), "--heartbeat-ms", "300"});
        QByteArray output;
        return waitUntil(
            loop_,
            [&] {
                output += process_->readAll();
                return output.contains("discovery on");
            },
            5000);
    }
    // As a crash would: no goodbye to anyone.
    void kill() {
        if (!process_) return;
        process_->kill();
        process_->waitForFinished(3000);
        process_.reset();
    }

  private:
    QtEventLoop& loop_;
    QString folder_;
    std::unique_ptr<QProcess> process_;
};

struct Client {
    Client(quint16 webPort, std::string user, std::string password)
        : user(std::move(user)), password(std::move(password)), folder(temp.path().toStdString()) {
        sites.primary = "http://127.0.0.1:" + std::to_string(webPort) + "/";
        sites.mirror = sites.primary;
        timings.watchdogIntervalMs = kWatchdogMs;
        timings.silenceLimitMs = kWatchdogMs;
        timings.loginWaitSeconds = 1;
        timings.reconnectPauseSeconds = 0.2;
        hooks.showError = [this](const std::string& text) { errors.push_back(text); };
        hooks.showCredentialsDialog = [this] {
            ++dialogs;
            this->password = "demo";
        };
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

    QtEventLoop loop;
    QtTcpClient socket;
    QtHttpGet http{2000};
    QtSystemServices system;
    TradingData data;
    TextList protocol;
    std::string user, host = "unknown.invalid", password;
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
    void SetUp() override {
        ASSERT_TRUE(serverFolder.isValid());
        ASSERT_TRUE(server.start(gamePort, webPort));
    }
    QtEventLoop loop;
    QTemporaryDir serverFolder;
    quint16 gamePort = freePort(), webPort = freePort();
    ServerProgram server{loop, serverFolder.path()};
};

TEST_F(ServerRun, LogsInGetsPricesAndComesBackAfterTheServerWasKilled) {
    Client c(webPort, "demo1", "demo");
    OrderClient& client = *c.client;
    client.Command1_Click();
    EXPECT_EQ(client.hostField().text(), "127.0.0.1");
    EXPECT_EQ(client.portField().text(), std::to_string(gamePort));

    client.Command2_Click();
    ASSERT_TRUE(waitUntil(
        c.loop, [&] { return c.data.InstrumentCount() > 0 && c.hasQuotes(); }, 5000));
    int count = c.data.InstrumentCount();
    EXPECT_GE(count, 20);
    std::vector<std::string> tickers;
    for (int n = 1; n <= count; ++n)
        tickers.push_back(c.data.instruments.at(n).Ticker);
    EXPECT_TRUE(client.incoming().contains("IN:@WELCOME"));

    server.kill();
    ASSERT_TRUE(waitUntil(
        c.loop, [&] { return client.incoming().contains("WS closed"); }, 3000));
    int16_t historyBefore = c.data.history.pos(1);
    waitUntil(
        c.loop, [] { return false; }, 2 * kWatchdogMs);
    ASSERT_TRUE(server.start(gamePort, webPort));
    // The next watchdog tick (plus at most one refused attempt's wait) logs in again.
    ASSERT_TRUE(waitUntil(
        c.loop, [&] { return c.sessions() == 2; }, 1000 + 3 * kWatchdogMs + 1000));
    c.data.PricesChanged = 0;
    ASSERT_TRUE(waitUntil(
        c.loop, [&] { return c.data.PricesChanged == 1; }, 3000));

    // The table was replaced, not extended; the history kept what came before.
    ASSERT_EQ(c.data.InstrumentCount(), count);
    for (int n = 1; n <= count; ++n)
        EXPECT_EQ(c.data.instruments.at(n).Ticker, tickers[n - 1]);
    EXPECT_GE(c.data.history.pos(1), historyBefore);
    EXPECT_TRUE(client.autoReconnect());
}

TEST_F(ServerRun, AWrongPasswordAsksForNewCredentialsAndTheWatchdogLogsInWithThem) {
    Client c(webPort, "demo2", "falsch");
    c.client->Command1_Click();
    c.client->Command2_Click();
    ASSERT_TRUE(waitUntil(
        c.loop, [&] { return c.data.InstrumentCount() > 0; }, 5000 + 3 * kWatchdogMs));
    EXPECT_EQ(c.dialogs, 1);
    ASSERT_FALSE(c.errors.empty());
    EXPECT_TRUE(c.errors[0].ends_with(" FALSCHES PAßWORT")) << c.errors[0];
    EXPECT_EQ(c.client->passwordField().text(), "demo");
}

TEST_F(ServerRun, ALockedUserIsToldSoAndNotReconnected) {
    Client c(webPort, "gesperrt", "demo");
    c.client->Command1_Click();
    c.client->Command2_Click();
    ASSERT_TRUE(waitUntil(
        c.loop, [&] { return !c.errors.empty(); }, 3000));
    EXPECT_TRUE(c.errors[0].ends_with(" USER GESPERRT")) << c.errors[0];
    waitUntil(
        c.loop, [] { return false; }, 3 * kWatchdogMs);
    EXPECT_FALSE(c.client->autoReconnect());
    EXPECT_EQ(c.sessions(), 1);
    EXPECT_EQ(c.dialogs, 0);
}

#else

TEST(ServerRun, NeedsTheDemoServerProgram) {
    GTEST_SKIP() << "kavex-server is not part of this build";
}

#endif

} // namespace
} // namespace kavex
