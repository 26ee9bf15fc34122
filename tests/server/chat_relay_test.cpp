// The demo server's chat relay, in-process: the join, leave and user-list messages byte
// for byte, a player who logs in anew, refused messages, the length limit and the
// trades feed. Public and private messages between three players, in German
// through the wire code page, run against the server program in the Qt tests.
#include "base/cp1252.h"
#include "game_fixture.h"

namespace kavex::server::test {
namespace {

using Lines = std::vector<std::string>;

std::vector<AccountSpec> chatAccounts() {
    return {{"anna", "pw", 100000, false},
            {"ben", "pw", 100000, false},
            {"carla", "pw", 100000, false},
            {"Jürgen", "pw", 100000, false}};
}

struct ServerChat : ::testing::Test {
    ServerChat() {
        login(1, "anna");
        login(2, "ben");
        login(3, "carla");
    }
    // Speaks as a client does: in the wire code page.
    void say(SessionId id, std::string_view text) {
        f.game.received(id, wire::frame(cp1252::fromUtf8(text)));
    }
    void login(SessionId id, const std::string& user) {
        f.game.connected(id, "test");
        say(id, "@U=" + user + "%pw/OCHD=1");
        f.take(id);
    }
    // The chat messages a session received since the last call (heartbeats and prices left out).
    Lines chat(SessionId id) {
        Lines out;
        for (const std::string& m : f.take(id))
            if (m.starts_with("@RC=") || m.starts_with("@RT=") || m.starts_with("@SCU=") ||
                m.starts_with("@CU") || m.starts_with("@ER="))
                out.push_back(m);
        return out;
    }
    void joinAll() {
        for (SessionId id : {1, 2, 3})
            say(id, "@CH=1");
        for (SessionId id : {1, 2, 3})
            f.take(id);
    }

    GameFixture f{GameFixture::quietOptions(), chatAccounts()};
};

TEST_F(ServerChat, JoiningAndLeavingIsAnnouncedToTheOthersInTheChat) {
    say(1, "@CH=1");
    say(2, "@CH=1");
    say(2, "@RCU=");
    EXPECT_EQ((std::vector<Lines>{chat(1), chat(2), chat(3)}),
              (std::vector<Lines>{{"@CU1=ben"}, {"@SCU=anna;ben"}, {}})); // carla is not in the chat

    say(1, "@CH=1"); // already in: nothing new
    EXPECT_EQ(chat(2), Lines{});
    // A new login of the same player closes the older connection, which leaves the chat;
    // the new one renews it.
    login(4, "anna");
    say(4, "@CH=2");
    EXPECT_EQ(chat(2), (Lines{"@CU0=anna", "@CU1=anna"}));
    say(3, "@RCU="); // anyone may ask who is in the chat
    EXPECT_EQ(chat(3), Lines{"@SCU=ben;anna"});

    f.game.disconnected(4, "test");
    EXPECT_EQ(chat(2), Lines{"@CU0=anna"});
    say(2, "@CH=7");
    EXPECT_EQ(chat(2), Lines{"@ER=Unbekannter Chat-Wert 7"});
    EXPECT_EQ(f.game.chat().participantCount(), 1u);
}

TEST_F(ServerChat, MessagesThatCannotBeDeliveredOrAreTooLongAreRefusedWithANotice) {
    joinAll();
    login(5, "Jürgen"); // logged in, not in the chat
    say(5, "@C=hallo");
    EXPECT_EQ(chat(5), Lines{"@RC=Chat-Server:Nachricht nicht gesendet: Sie sind nicht im Chat."});
    say(1, "@C=geheim;Jürgen"); // a player, but not in the chat
    say(1, "@C=geheim;Ben");    // names compare exactly
    EXPECT_EQ(chat(1), (Lines{"@RC=Chat-Server:Nachricht nicht gesendet: Jürgen ist nicht im Chat.",
                              "@RC=Chat-Server:Nachricht nicht gesendet: Ben ist nicht im Chat."}));
    say(1, "@C=");
    say(1, "@C=;ben");
    EXPECT_EQ(chat(2), Lines{});

    // Over the length limit: refused whole, never cut.
    // 500 characters, each two bytes in UTF-8 and one on the wire: still allowed.
    std::string longest;
    for (int i = 0; i < 500; ++i)
        longest += "ä";
    say(2, "@C=" + longest); // from ben: anna has sent enough for now
    EXPECT_EQ(chat(3), Lines{"@RC=ben:" + longest});
    say(2, "@C=" + longest + "x;carla");
    EXPECT_EQ(chat(3), Lines{});
    EXPECT_EQ(chat(2), Lines{"@RC=Chat-Server:Nachricht nicht gesendet: 501 Zeichen, erlaubt sind 500."});
}

TEST_F(ServerChat, TheTradesFeedGoesOnlyToThoseWhoAsked) {
    joinAll();
    say(1, "@CT=1");
    say(2, "@PO=KV0002;1;1;BUY;MKT;2;0;0;0;0");
    say(2, "@PO=KV0002;2;2;SEL;MKT;3;0;0;0;0");
    Lines feed = chat(1);
    ASSERT_EQ(feed.size(), 2u);
    EXPECT_TRUE(feed[0].starts_with("@RT=AAA Kauf 2 zu 10")) << feed[0];
    EXPECT_TRUE(feed[1].starts_with("@RT=BBB Verkauf 3 zu ")) << feed[1];
    EXPECT_EQ(chat(2), Lines{});
}

} // namespace
} // namespace kavex::server::test
