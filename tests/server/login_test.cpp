// The login exchange's edges: refusals that close only that connection, commands before
// the login and the login timeout. (Logins without identification run in the chat tests.)
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

} // namespace
} // namespace kavex::server::test
