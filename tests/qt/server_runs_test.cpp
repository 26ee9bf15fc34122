// The real trading window on the Qt platform against the demo game server program on free
// loopback ports, one run per interface. The connection: a locked user is told so; the
// server is killed and restarted, a user comes back by itself and the locked one stays away.
// The chat: public and private messages between three players. The file-drop interface: a
// script's request files trade and cancel. The bridge: a stranger is refused, the example
// front-end gets an answer to orders the server refuses, places and cancels a limit order.
#include "demo_server.h"
#include "gui/chat_window.h"
#include "platform/qt/qt_tcp_listener.h"

#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

namespace kavex {
namespace {

#ifdef KAVEX_SERVER_PROGRAM

namespace fs = std::filesystem;

constexpr int kWatchdogMs = 1000;

struct WatchedClient : test::DemoClient {
    WatchedClient(QtEventLoop& loop, const test::DemoServer& server, const std::string& user)
        : DemoClient(loop, server.discoveryUrl()) {
        start(user, {}, [](ClientPlatform& p) {
            p.timings.watchdogIntervalMs = kWatchdogMs;
            p.timings.silenceLimitMs = kWatchdogMs;
            p.timings.loginWaitSeconds = 1;
            p.timings.reconnectPauseSeconds = 0.2;
        });
    }
    int sessions() {
        const auto& lines = app->orderClient().incoming().lines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), "WS connected!"));
    }
};

TEST(ServerRun, AfterTheServerWasKilledTheUserComesBackAndALockedUserStaysAway) {
    QtEventLoop loop;
    test::DemoServer server(loop);
    ASSERT_TRUE(server.start({"--heartbeat-ms", "300"}));
    WatchedClient user(loop, server, "demo1");
    OrderClient& connection = user.app->orderClient();
    TradingData& data = user.app->data();
    EXPECT_EQ(std::make_pair(connection.host(), connection.port()),
              std::make_pair(std::string("127.0.0.1"), std::to_string(server.gamePort)));
    ASSERT_TRUE(user.waitFor([&] { return data.instrumentCount() > 0 && data.instruments.at(1).Bid != 0; }));

    WatchedClient locked(loop, server, "gesperrt");
    const int dialogs = locked.dialogs.credentialDialogs;
    const auto& messages = locked.app->controls().messages.lines();
    ASSERT_TRUE(locked.waitFor(
        [&] {
            return std::any_of(messages.begin(), messages.end(),
                               [](const std::string& m) { return m.ends_with(" USER GESPERRT"); });
        },
        3000))
        << (messages.empty() ? "" : messages.back());

    server.kill();
    ASSERT_TRUE(user.waitFor([&] { return connection.incoming().contains("WS closed"); }, 3000));
    test::pause(loop, 2 * kWatchdogMs);
    ASSERT_TRUE(server.start({"--heartbeat-ms", "300"}));
    // The next watchdog tick (plus at most one refused attempt's wait) logs in again.
    ASSERT_TRUE(user.waitFor([&] { return user.sessions() == 2; }, 1000 + 3 * kWatchdogMs + 1000));
    data.pricesChanged = false;
    ASSERT_TRUE(user.waitFor([&] { return data.pricesChanged; }, 3000));

    EXPECT_FALSE(locked.app->orderClient().autoReconnect());
    EXPECT_EQ(locked.sessions(), 1);
    EXPECT_EQ(locked.dialogs.credentialDialogs, dialogs) << "no new credentials asked for";
}

// A trading window with its chat window on screen.
struct Player : test::DemoClient {
    Player(QtEventLoop& loop, const std::string& url, const std::string& user) : DemoClient(loop, url) {
        beforeLoad = [this](Client& f) { window = std::make_unique<ChatWindow>(f.chat()); };
        // The login waits this long, nested, for each player.
        start(user, {}, [](ClientPlatform& p) { p.timings.loginWaitSeconds = 0.5; });
    }
    Chat& chat() { return app->chat(); }
    bool heard(const std::string& text) { return chat().history().find(text) != std::string::npos; }

    std::unique_ptr<ChatWindow> window;
};

TEST(ChatServerRun, PublicMessagesReachEveryonePrivateOnesOnlyTheirAddressee) {
    QtEventLoop loop;
    test::DemoServer server(loop);
    ASSERT_TRUE(server.start());
    const std::string url = server.discoveryUrl();
    Player anna(loop, url, "demo1"), bernd(loop, url, "demo2"), carla(loop, url, "demo3");
    std::vector<Player*> all{&anna, &bernd, &carla};

    // The server's chat level shows the "CHAT" option; ticking it joins the chat.
    for (Player* p : all) {
        ASSERT_TRUE(anna.waitFor([&] { return p->app->controls().chatOptionVisible; }));
        p->app->controls().chatOption.setChecked(true);
    }
    ASSERT_TRUE(anna.waitFor([&] { return anna.chat().users.size() == 3; }));

    // Public, typed into anna's window: German text both ways through the code page.
    auto send = [&](const char* text, const char* button) {
        anna.window->inputEdit()->setPlainText(QString::fromUtf8(text));
        anna.window->button(button)->click();
    };
    send("Grüße an alle – das Maß ist voll, 5 €", "Senden an alle");
    for (Player* p : {&bernd, &carla})
        ASSERT_TRUE(
            anna.waitFor([&] { return p->heard(" demo1:\r\nGrüße an alle – das Maß ist voll, 5 €"); }));
    EXPECT_TRUE(bernd.window->historyView()->toPlainText().contains(
        QString::fromUtf8("Grüße an alle – das Maß ist voll, 5 €")));

    // Private to bernd, picked from anna's user list (in the order the players joined).
    const auto& names = anna.chat().users.lines();
    const int bernds = static_cast<int>(std::find(names.begin(), names.end(), "demo2") - names.begin());
    QListView* users = anna.window->usersView();
    QTest::mouseClick(users->viewport(), Qt::LeftButton, {},
                      users->visualRect(users->model()->index(bernds, 0)).center());
    ASSERT_EQ(anna.chat().recipient.text(), "demo2");
    send("Nur für dich, Bernd", "Privat senden an:");
    ASSERT_TRUE(anna.waitFor([&] { return bernd.heard(" demo1:\r\n(privat) Nur für dich, Bernd"); }));
    // Anything anna sends later reaches carla after the private message would have.
    send("Ende", "Senden an alle");
    ASSERT_TRUE(anna.waitFor([&] { return carla.heard(" demo1:\r\nEnde"); }));
    EXPECT_FALSE(carla.heard("Nur für dich"));
}

// Runs a shell command in the folder, as a user's script would.
void shell(const WorkingDirectory& folder, const std::string& command) {
    QProcess p;
    p.setWorkingDirectory(QString::fromStdString(folder.root().string()));
    p.start("/bin/sh", {"-c", QString::fromStdString(command)});
    ASSERT_TRUE(p.waitForFinished(5000));
    ASSERT_EQ(p.exitCode(), 0);
}

// The order numbers of "KAVEXREM.ORD" by reference.
std::map<std::string, int> listedOrders(const fs::path& file) {
    std::map<std::string, int> ids;
    if (!fs::exists(file)) return ids;
    static const std::regex line("\"([^\"]*)\";\\s*(-?[0-9]+)\\s*");
    for (const std::string& text : readTextLines(file)) {
        std::smatch m;
        if (std::regex_match(text, m, line)) ids[m[1]] = std::stoi(m[2]);
    }
    return ids;
}

TEST(FileDropServerRun, EchoedRequestsTradeAndCancelByTheListedNumber) {
    QtEventLoop loop;
    test::DemoServer server(loop);
    ASSERT_TRUE(server.start());
    test::DemoClient client(loop, server.discoveryUrl());
    Client& app = client.start("demo1", [](Settings& s) { s.asciiRemote = 1; });
    const WorkingDirectory& folder = client.folder;
    TradingData& data = app.data();
    ASSERT_TRUE(client.waitFor([&] { return data.instrumentCount() > 0 && data.instruments.at(1).Bid > 0; }));
    ASSERT_TRUE(app.fileDrop().active());
    const std::string code = data.instruments.at(1).ZeltickerCode;
    const int farBelow = static_cast<int>(data.instruments.at(1).Bid / 2);

    shell(folder, "echo '@PO;" + code + ";0;BUY;MKT;2;0;0;FILL1' > KAVEXREM.TXT");
    ASSERT_TRUE(client.waitFor([&] { return !fs::exists(folder.path(FileDrop::kRequestFile)); }));
    shell(folder,
          "echo '@PO;" + code + ";0;BUY;LMT;1;" + std::to_string(farBelow) + ";0;WORK1' > KAVEXREM.TXT");
    std::map<std::string, int> ids;
    ASSERT_TRUE(client.waitFor([&] {
        ids = listedOrders(folder.path(FileDrop::kOrderIdFile));
        return ids.size() == 2;
    }));
    ASSERT_LT(ids["WORK1"], 0);
    auto status = [&](int id) {
        int n = data.orderBook.findByOrderUserId(id);
        return n == 0 ? -1 : data.orderBook.at(n).status;
    };
    EXPECT_TRUE(client.waitFor([&] { return status(ids["FILL1"]) == StatusFilled; }));
    ASSERT_TRUE(client.waitFor([&] { return status(ids["WORK1"]) == StatusSubmitted; }));

    shell(folder, "echo '@CO;" + std::to_string(ids["WORK1"]) + "' > KAVEXREM.TXT");
    EXPECT_TRUE(client.waitFor([&] { return status(ids["WORK1"]) == StatusCancelled; }));

    EXPECT_EQ(readTextLines(folder.path(FileDrop::kProtocolFile)).size(), 3u);
    EXPECT_EQ(listedOrders(folder.path(FileDrop::kOrderIdFile)).size(), 2u)
        << "the closing order is the user's";
}

const fs::path kExample = fs::path(__FILE__).parent_path().parent_path().parent_path() / "tools" /
                          "bridge-example" / "bridge_example.py";

TEST(BridgeServerRun, TheExampleFrontEndPlacesAndCancelsAndAStrangerIsRefused) {
    QtEventLoop loop;
    test::DemoServer server(loop);
    ASSERT_TRUE(server.start());
    const quint16 bridgePort = test::freePort();
    QtTcpListener bridgeSocket;
    test::DemoClient client(loop, server.discoveryUrl());
    Client& app = client.start(
        "demo3", [&](Settings& s) { s.bridgePort = std::to_string(bridgePort); },
        [&](ClientPlatform& p) { p.bridgeSocket = &bridgeSocket; });
    TradingData& data = app.data();
    ASSERT_TRUE(client.waitFor([&] { return data.instrumentCount() > 0; }));

    // Another address of this machine is not the configured one.
    QTcpSocket stranger;
    stranger.bind(QHostAddress("127.0.0.2"), 0);
    stranger.connectToHost(QHostAddress::LocalHost, bridgePort);
    ASSERT_TRUE(client.waitFor([&] { return app.controls().bridgeLog.contains("Falsche Client IP!"); }));
    ASSERT_TRUE(client.waitFor([&] { return stranger.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_EQ(bridgeSocket.state(), static_cast<int>(SocketState::Listening));

    QProcess example;
    example.setProcessChannelMode(QProcess::MergedChannels);
    example.start("python3", {QString::fromStdString(kExample.string()), "--port",
                              QString::number(bridgePort), "--user", "USER", "--limit", "1", "--bad-orders"});
    QByteArray output;
    ASSERT_TRUE(client.waitFor(
        [&] {
            output += example.readAll();
            return example.state() == QProcess::NotRunning;
        },
        20000))
        << output.toStdString();
    output += example.readAll();
    SCOPED_TRACE(output.toStdString());
    EXPECT_EQ(example.exitCode(), 0);
    EXPECT_TRUE(output.contains("KDX.FUT") && output.contains("cancelled"));
    // Orders the server cannot take are answered, each one.
    for (const char* answer : {": Unbekannter Ordertyp lmt", ": Menge 0 nicht erlaubt", "@ER; 1;Wertpapier"})
        EXPECT_TRUE(output.contains(answer)) << answer;

    // The client's side of it: a negative order number, cancelled at the server.
    ASSERT_EQ(data.orderBook.count(), 1);
    EXPECT_LT(data.orderBook.at(1).orderUserId, 0);
    EXPECT_EQ(data.orderBook.at(1).status, StatusCancelled);
    // Listening again after the front-end left.
    EXPECT_TRUE(app.controls().bridgeLog.contains("Listen  " + std::to_string(bridgePort)));
}

#endif

} // namespace
} // namespace kavex
