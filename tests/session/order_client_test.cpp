// Server discovery, the login exchange, the wait operation, requests, the watchdog, login failures.
#include "order_client_fixture.h"

#include "platform/socket_state.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kavex {
namespace {

using Lines = std::vector<std::string>;
using Times = std::vector<int64_t>;
using test::OrderClientFixture;

const std::string kFirst = std::string(OrderClientFixture::kPrimary) + "ipkavex.html";

struct Shape {
    const char* document;
    const char* host;
    const char* port;
    ServerList entries;
    int16_t keepServer = 0;
};

TEST(ServerDiscovery, EachDocumentShapeSetsHostAndPortFromItsFirstEntryUnlessTheServerIsKept) {
    const Shape shapes[] = {
        {"10.1.2.3", "10.1.2.3", "4711", {"10.1.2.3", "", ""}},
        {"a.example.net: 4300 \r\n  b.example.net  \r\nc.example.net:1\r\nd.example.net",
         "a.example.net",
         "4300",
         {"a.example.net: 4300 ", "b.example.net  ", "c.example.net:1"}}, // only the rest is trimmed
        {"srv.example.net:4200", "game.example.net", "4711", {"srv.example.net:4200", "", ""}, 1},
    };
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.document);
        OrderClientFixture f;
        f.http.documents[kFirst] = shape.document;
        f.keepServer = shape.keepServer;
        OrderClient& client = f.load();
        client.setPort("4711");
        client.discoverServer();
        EXPECT_EQ(client.host(), shape.host);
        EXPECT_EQ(client.port(), shape.port);
        EXPECT_EQ(client.serverList(), shape.entries);
        EXPECT_EQ(f.host, shape.host) << "the settings follow the host field";
        EXPECT_EQ(f.http.requests, (Lines{kFirst}));
    }
}

TEST(ServerDiscovery, UnacceptableDocumentsFallThroughToTheNextLocation) {
    OrderClientFixture f;
    f.http.documents[kFirst] = "a.b\r\n";                                      // shorter than 6 characters
    f.http.documents["http://mirror.example/ipkavex.html"] = "localhost:4100"; // no "."
    f.http.documents["http://primary.example/ip.html"] = "Die Seite existiert nicht.";
    f.http.documents["http://mirror.example/ip.html"] = "last.example.net:4500";
    OrderClient& client = f.load();
    client.discoverServer();
    EXPECT_EQ(f.http.requests, (Lines{kFirst, "http://mirror.example/ipkavex.html",
                                      "http://primary.example/ip.html", "http://mirror.example/ip.html"}));
    EXPECT_EQ(client.host(), "last.example.net");
    EXPECT_EQ(client.port(), "4500");
}

TEST(OrderClientLogin, AnswersInTheWireCodePageLogsNoPasswordAndLogoutEndsAutomaticReconnects) {
    OrderClientFixture f;
    OrderClient& client = f.load();
    f.scriptLogin(0);
    client.connect();
    EXPECT_EQ(f.socket.sent,
              (Lines{"\x01TTUSER=J\xF6rg/HD=-1588190527\x02", "\x01@U=J\xF6rg%geheim/OCHD=-1588190527\x02"}));
    EXPECT_TRUE(client.outgoing().empty()) << "the password must not be logged";
    ASSERT_GT(client.receiveState().receivedBytes, 0);

    client.disconnect(); // clears the counters; the watchdog then shows no bytes
    f.loop.advance(60000);
    EXPECT_EQ(std::make_tuple(f.socket.state(), client.byteCount(), f.socket.connects),
              std::make_tuple(static_cast<int>(SocketState::Closed), 0, 1));
}

TEST(OrderClientLogin, DataArrivingWhileTheLoginAnswerWaitsIsHandledOnceInOrder) {
    OrderClientFixture f;
    OrderClient& client = f.load();
    int systemInfos = 0;
    client.dispatcher().setHandler(Handler::SystemInfo, [&](std::string_view) { ++systemInfos; });
    f.at(100, [&] { f.socket.acceptConnection(); });
    f.at(200, [&] {
        // Arrives while the login answer processes pending events, in the middle of
        // a message whose start came with the login request.
        f.loop.post([&] { f.socket.deliver("lo\x02\x01@SYI=x\x02"); });
        f.socket.deliver("\x01!;USER\x02\x01@HB\x02\x01@MSG=hal");
    });
    client.connect();

    EXPECT_EQ(client.incoming().lines(), (Lines{"WS connected!", "IN:!;USER", "Server verlangt USER",
                                                "OUT:Jörg", "IN:@HB", "IN:@MSG=hallo", "IN:@SYI=x"}));
    EXPECT_EQ(f.errors, (Lines{"09:30:00 hallo"}));
    EXPECT_EQ(systemInfos, 1);
    EXPECT_EQ(client.receiveState().receiveEvents, 2);
}

TEST(OrderClientLogin, WaitEndsJustAfterItsTimeEvenAcrossMidnight) {
    OrderClientFixture f;
    OrderClient& client = f.load();
    f.loop.setDateTime({2026, 12, 7, 23, 59, 58, 0});
    int handled = 0;
    f.at(3000, [&] { ++handled; });
    int64_t start = f.loop.elapsedMs();
    client.Wait(5);
    EXPECT_EQ(handled, 1);
    EXPECT_GT(f.loop.elapsedMs() - start, 5000);
    EXPECT_LT(f.loop.elapsedMs() - start, 5100);
}

TEST(OrderClientRequests, GoOutFramedOnlyWhileConnectedAndAreNotLogged) {
    OrderClientFixture f;
    OrderClient& client = f.load();
    client.requestTime(); // not connected: dropped
    client.requestStatement(46000);
    f.socket.socketState = static_cast<int>(SocketState::Connected);
    client.requestTime();
    client.requestInstruments();
    client.requestAllOrders();
    client.requestOpenOrders();
    client.requestAllExecutions();
    client.requestStatement(46000);
    EXPECT_EQ(f.sentTexts(), (Lines{"@TIMEGET", "@IR", "@RA", "@RAO", "@RAE", "@GKO=46000"}));
    EXPECT_TRUE(client.outgoing().empty());
}

TEST(SilenceWatchdog, AServerThatNeverSpeaksIsReconnectedAgainAndAgain) {
    OrderClientFixture f;
    f.loop.advance(60000); // a tick counter well past 10 s, as on any running machine
    OrderClient& client = f.load();
    // Each attempt is accepted, and then nothing is ever sent.
    f.at(60100, [&] { f.socket.acceptConnection(); });
    for (int64_t t = 70601; t < 120000; t += 10000)
        f.at(t, [&] { f.socket.acceptConnection(); });
    client.connect();
    f.loop.advance(40000);
    // Nothing ever arrived, so the last receive time is 0 and every tick finds silence.
    EXPECT_EQ(f.socket.connectTimes, (Times{60000, 70501, 80501, 90501, 100501}));
    EXPECT_EQ(client.incoming().lines().size(), 5u); // "WS connected!" each time
    EXPECT_EQ(client.receiveState().connectionState, 2);
}

TEST(SilenceWatchdog, DoesNothingBeforeTheFirstLogin) {
    OrderClientFixture f;
    f.loop.advance(60000);
    OrderClient& client = f.load();
    f.loop.advance(60000);
    EXPECT_EQ(f.socket.connects, 0);
    EXPECT_TRUE(client.watchdogRunning());
}

TEST(LoginFailures, AWrongPasswordStopsTheWatchdogForTheDialogAndLogsInWithTheNewCredentials) {
    OrderClientFixture f;
    OrderClient& client = f.load();
    f.scriptLogin(0);
    f.at(1000, [&] {
        f.serverSends("@MSG=falsches paßwort");
        f.socket.events.closedByPeer();
    });
    bool watchdogDuringDialog = true;
    int64_t connectsDuringDialog = -1;
    f.onDialog = [&] {
        watchdogDuringDialog = client.watchdogRunning();
        f.loop.advance(30000); // the user takes a while; events go on meanwhile
        connectsDuringDialog = f.socket.connects;
        f.user = "Jörg";
        f.password = "richtig";
    };
    client.connect();
    ASSERT_EQ(f.dialogs, 1);
    EXPECT_FALSE(watchdogDuringDialog);
    EXPECT_EQ(connectsDuringDialog, 1) << "no reconnect while the dialog is open";
    EXPECT_EQ(f.errors, (Lines{"09:30:01 falsches paßwort"}));
    EXPECT_EQ(client.password(), "richtig");
    EXPECT_EQ(f.data.account.loginText, "Jörg%richtig");
    EXPECT_TRUE(client.watchdogRunning()); // logging in again with these: see the demo-server runs
}

} // namespace
} // namespace kavex
