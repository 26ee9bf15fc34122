// The silence watchdog, automatic reconnects and the two login failures.
#include "order_client_fixture.h"

#include "base/numbers.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

using Lines = std::vector<std::string>;
using Times = std::vector<int64_t>;
using test::OrderClientFixture;

TEST(SilenceWatchdog, TenSilentSecondsCauseExactlyOneReconnect) {
    OrderClientFixture f;
    OrderClient& client = f.load();
    f.scriptLogin(0);
    f.heartbeats(2000, 12000, 2000); // then silence
    // The server answers the new connection and keeps talking.
    f.scriptLogin(30501);
    f.heartbeats(31000, 90000, 3000);
    client.Command2_Click();
    f.loop.advance(90000);

    // Ticks at 10 s and 20 s find recent data; the tick at 30 s finds 18 s of silence:
    // LOGOUT, a pause of just over half a second, LOGIN.
    EXPECT_EQ(f.socket.connectTimes, (Times{0, 30501}));
    EXPECT_EQ(f.sentTexts().size(), 4u) << "logged in twice";
    EXPECT_TRUE(client.autoReconnect());
    EXPECT_EQ(client.receiveState().connectionState, 3);
    // LOGOUT cleared the count: only bytes of the second session are shown.
    EXPECT_EQ(client.byteLabel().text(), "Bytes:" + strInt(client.receiveState().receivedBytes));
    EXPECT_LT(client.receiveState().receivedBytes, 150);
}

TEST(SilenceWatchdog, AServerThatNeverSpeaksIsReconnectedAgainAndAgain) {
    OrderClientFixture f;
    f.loop.advance(60000); // a tick counter well past 10 s, as on any running machine
    OrderClient& client = f.load();
    // Each attempt is accepted, and then nothing is ever sent.
    f.at(60100, [&] { f.socket.acceptConnection(); });
    for (int64_t t = 70601; t < 120000; t += 10000)
        f.at(t, [&] { f.socket.acceptConnection(); });
    client.Command2_Click();
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
    client.Command2_Click();
    ASSERT_EQ(f.dialogs, 1);
    EXPECT_FALSE(watchdogDuringDialog);
    EXPECT_EQ(connectsDuringDialog, 1) << "no reconnect while the dialog is open";
    EXPECT_EQ(f.errors, (Lines{"09:30:01 falsches paßwort"}));
    EXPECT_EQ(client.passwordField().text(), "richtig");
    EXPECT_EQ(f.data.account.loginText, "Jörg%richtig");
    EXPECT_TRUE(client.watchdogRunning());

    // The restarted watchdog finds the silence on its first tick and logs in again.
    int64_t restarted = 31000;
    f.scriptLogin(restarted + 10501);
    f.heartbeats(restarted + 11000, restarted + 40000, 3000);
    f.loop.advance(40000);
    EXPECT_EQ(f.socket.connectTimes, (Times{0, restarted + 10501}));
    EXPECT_EQ(f.sentTexts().back(), "@U=Jörg%richtig/OCHD=-1588190527");
    EXPECT_EQ(f.dialogs, 1);
}

TEST(LoginFailures, ALockedUserIsShownAndStaysDisconnected) {
    OrderClientFixture f;
    OrderClient& client = f.load();
    f.scriptLogin(0);
    f.at(1000, [&] {
        f.serverSends("@MSG=User gesperrt");
        f.socket.events.closedByPeer();
    });
    client.Command2_Click();
    f.loop.advance(120000);

    EXPECT_EQ(f.errors, (Lines{"09:30:01 User gesperrt"}));
    EXPECT_FALSE(client.autoReconnect());
    EXPECT_EQ(f.dialogs, 0);
    EXPECT_EQ(f.socket.connects, 1) << "no reconnect loop";
    EXPECT_TRUE(client.watchdogRunning());

    // Only the user's LOGIN connects again.
    int64_t pressed = f.loop.elapsedMs();
    client.Command2_Click();
    ASSERT_GE(f.socket.connectTimes.size(), 2u);
    EXPECT_EQ(f.socket.connectTimes[1], pressed);
    EXPECT_TRUE(client.autoReconnect());
}

} // namespace
} // namespace kavex
