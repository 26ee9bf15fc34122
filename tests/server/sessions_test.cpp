// Many players at once: the login exchange's edges (refusals that close only that
// connection, commands before the login, the login timeout), requests, bad input that stays
// with its sender, heartbeats, and the clock-driven work. (Logins without identification
// run in the chat tests.)
#include "base/split_fields.h"
#include "game_fixture.h"

namespace kavex::server::test {
namespace {

TEST(ServerLogin, RefusedLoginsAreToldWhyAndOnlyTheirConnectionIsClosed) {
    // "ß" travels as the Windows-1252 byte 0xDF; a wrong password and an unknown user
    // get the same answer.
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"@U=anna%nope/OCHD=1", "\x01@MSG=FALSCHES PA\xDFWORT\x02"},
        {"@U=nobody%pw/OCHD=1", "\x01@MSG=FALSCHES PA\xDFWORT\x02"},
        {"@U=carl%pw/OCHD=1", "\x01@MSG=USER GESPERRT\x02"}};
    GameFixture f;
    f.login(9);
    for (SessionId id = 1; id <= 3; ++id) {
        f.game.connected(id, "peer");
        f.transport.wire[id].clear();
        f.say(id, rows[id - 1].first);
        EXPECT_EQ(f.transport.wire[id], rows[id - 1].second) << id;
    }
    EXPECT_EQ(f.transport.closed, (std::set<SessionId>{1, 2, 3}));
    EXPECT_EQ(f.game.sessionCount(), 1u);
}

TEST(ServerLogin, CommandsBeforeLoginAreRefusedAndSilentConnectionsTimeOut) {
    GameOptions o = GameFixture::quietOptions();
    o.loginTimeoutMs = 5000;
    GameFixture f(o);
    f.game.connected(1, "peer");
    f.take(1);
    f.say(1, "@PO=KV0001;1;1;BUY ;MKT;1; 0; 0;0;0");
    EXPECT_EQ(f.take(1), std::vector<std::string>{"@ER=Bitte zuerst anmelden"});
    EXPECT_EQ(f.game.stats().ordersPlaced, 0);
    f.login(2);
    f.game.advance(5001);
    EXPECT_TRUE(f.transport.closed.count(1));
    EXPECT_FALSE(f.transport.closed.count(2)) << "a logged-in player has no login timeout";
}

TEST(ServerSessions, GarbageAndUnknownCommandsAreAnsweredOnlyToTheirSender) {
    GameFixture f;
    f.login(1);
    f.login(2, "ben", "p%w/x");
    f.game.received(1, "no start character \x02"); // the first character stands for the start
    f.say(1, "");
    f.say(1, "@NOSUCH=1;2");
    f.say(1, "!;WHATEVER");
    f.game.received(1, "\x01@PO=\xff\xfe;;;\x02");
    EXPECT_EQ(f.take(1),
              (std::vector<std::string>{"@ER=Unbekannte Nachricht: o start character ",
                                        "@ER=Unbekannte Nachricht: ", "@ER=Unbekannter Befehl: @NOSUCH",
                                        "@OR=0: Falsches Konto ÿþ"}));
    EXPECT_TRUE(f.take(2).empty());
    EXPECT_TRUE(f.transport.closed.empty());
}

TEST(ServerSessions, OversizeFrameClosesOnlyThatConnection) {
    GameOptions o = GameFixture::quietOptions();
    o.maxFrameBytes = 1000;
    GameFixture f(o);
    f.login(1);
    f.login(2, "ben", "p%w/x");
    // Many complete messages in one arrival are fine ...
    std::string many;
    for (int i = 0; i < 200; ++i)
        many += wire::frame("@TIMEGET");
    f.game.received(1, many);
    EXPECT_EQ(f.take(1).size(), 200u);
    // ... one message that never ends is not.
    f.game.received(1, "\x01@C=" + std::string(600, 'x'));
    EXPECT_TRUE(f.transport.closed.empty());
    f.game.received(1, std::string(600, 'x'));
    EXPECT_EQ(f.transport.closed, std::set<SessionId>{1});
    EXPECT_EQ(f.game.sessionCount(), 1u);
    f.say(2, "@TIMEGET");
    EXPECT_EQ(f.take(2), std::vector<std::string>{"@TS=10:30:15"});
}

TEST(ServerSessions, ASecondLoginTakesOverAndTheOlderSessionIsToldAndClosed) {
    GameFixture f;
    f.login(1);
    f.login(3, "ben", "p%w/x");
    f.say(1, "@PO=KV0001;1;2;SEL ;LMT;10; 500; 0;0;0");
    f.take(1);
    // The new connection learns the last order number and gets its orders back.
    f.game.connected(5, "again");
    f.say(5, "@U=anna%pw/OCHD=1");
    EXPECT_EQ(f.take(1), std::vector<std::string>{"@MSG=Abgemeldet: anna hat sich von einem anderen Rechner "
                                                  "angemeldet"});
    EXPECT_EQ(f.transport.closed, std::set<SessionId>{1});
    const auto again = f.take(5);
    EXPECT_EQ(starting(again, "@LI=").at(0), "@LI=1");
    EXPECT_EQ(SplitFields(starting(again, "@SAO=").at(0).substr(5), "\n", 1000).count(), 1);
    // Reports go to the account's session only.
    f.say(5, "@CO=KV0001;1;");
    EXPECT_EQ(starting(f.take(5), "@OS=").size(), 2u);
    EXPECT_TRUE(f.take(1).empty() && f.take(3).empty());
    EXPECT_EQ(f.game.loggedInCount(), 2u);
}

TEST(ServerSessions, ListsAccountAndStatementOnRequest) {
    GameFixture f;
    f.login(1);
    f.say(1, "@PO=KV0001;1;1;BUY ;MKT;1; 0; 0;0;0");
    f.say(1, "@PO=KV0001;2;1;BUY ;LMT;1; 50; 0;0;0");
    f.take(1);
    for (const std::string& request :
         {std::string("@RA"), std::string("@RAO"), std::string("@RAE"), std::string("@GSUK"),
          "@GKO=" + std::to_string(f.time.dayNumber()), std::string("@RI"), std::string("@IR")})
        f.say(1, request);
    const auto m = f.take(1);
    ASSERT_EQ(m.size(), 9u);
    EXPECT_EQ(SplitFields(m[0].substr(5), "\n", 1000).count(), 2); // all orders
    EXPECT_TRUE(m[1].starts_with("@SOO=2;2;"));                    // only the resting one
    // The statement file is named after the account and the day.
    EXPECT_EQ(SplitFields(m[5].substr(4), ";", 1000)[1], "FILE=KV000120240105K.TXT");
}

TEST(ServerSessions, HeartbeatsKeepAQuietLinkWellInsideTenSecondsInEveryForm) {
    GameFixture f;
    f.login(1);
    std::vector<std::string> beats;
    for (int s = 1; s <= 60; ++s) {
        f.game.advance(1000);
        for (const std::string& m : f.take(1))
            beats.push_back(m);
        EXPECT_TRUE(s != 10 || beats.size() >= 3) << "at least three beats in the first ten seconds";
    }
    for (const char* form : {"@=", "@HB", "@Heartbeat", "!;HB"})
        EXPECT_NE(std::find(beats.begin(), beats.end(), form), beats.end()) << form;
}

TEST(ServerSessions, CloseTimeFillsMarketOnCloseOrders) {
    GameOptions o = GameFixture::quietOptions();
    o.closeSecondsOfDay = 22 * 3600;
    GameFixture f(o);
    f.login(1);
    f.say(1, "@PO=KV0001;1;1;BUY ;MOC;1; 0; 0;0;0");
    f.say(1, "@PO=KV0001;2;1;BUY ;MOC;1; 0; 0;0;0");
    f.time.hour = 22;
    f.game.advance(1000);
    EXPECT_EQ(f.game.exchange().executionCount(), 2);
    EXPECT_EQ(f.game.exchange().account(0).orders.at(0).statusInfo, "SCHLUSS");
}

TEST(ServerSessions, RankingIsSentWhenPlacesChange) {
    GameOptions o = GameFixture::quietOptions();
    o.rankingMs = 1000;
    GameFixture f(o);
    f.login(1);
    f.login(2, "ben", "p%w/x");
    f.game.advance(1000);
    EXPECT_TRUE(starting(f.take(2), "@SUP=").empty()) << "nothing changed";
    f.say(1, "@PO=KV0001;1;1;BUY ;MKT;1; 0; 0;0;0");
    f.say(2, "@PO=KV0002;1;1;SEL ;MKT;1; 0; 0;0;0");
    f.game.advance(1000);
    f.take(2);
    // The price falls: ben's short gains and he leads, without a trade of his own.
    const Quote q = f.game.market().quote(1);
    f.game.market().setQuote(1, Quote{q.lastTicks - 20, q.bidTicks - 20, q.askTicks - 20, 1, 1, 0});
    f.game.advance(1000);
    EXPECT_EQ(starting(f.take(2), "@SUP=").size(), 1u);
}

TEST(ServerSessions, APlayersPlacesAfterAFillAreItsPlacesInTheWholeRanking) {
    const std::vector<AccountSpec> players = {{"a", "pw", 100000, false},
                                              {"b", "pw", 100000, false},
                                              {"c", "pw", 100000, false},
                                              {"d", "pw", 100000, false}};
    GameFixture f(GameFixture::quietOptions(), players);
    // Equal results share a place; a loss and a gain move apart.
    f.login(1, "a");
    f.login(2, "b");
    f.say(1, "@PO=KV0001;1;1;BUY ;MKT;3; 0; 0;0;0");
    f.say(2, "@PO=KV0002;1;1;SEL ;MKT;3; 0; 0;0;0");
    const Quote q = f.game.market().quote(1);
    f.game.market().setQuote(1, Quote{q.lastTicks + 7, q.bidTicks + 7, q.askTicks + 7, 1, 1, 0});
    const auto ranking = f.game.exchange().ranking();
    for (int a = 0; a < 4; ++a) {
        EXPECT_EQ(f.game.exchange().placesOf(a).total, ranking[static_cast<std::size_t>(a)].total) << a;
        EXPECT_EQ(f.game.exchange().placesOf(a).day, ranking[static_cast<std::size_t>(a)].day) << a;
    }
    EXPECT_EQ(ranking[2].total, ranking[3].total);
}

} // namespace
} // namespace kavex::server::test
