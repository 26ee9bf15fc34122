// The chat's message handlers: chat lines, trade lines and the user list, on the
// real receive path.
#include "chat_fixture.h"

namespace kavex::test {
namespace {

using ChatMessages = ChatTest;

TEST_F(ChatMessages, AChatLineShowsTheSenderWithTheTimeAndPlaysTheChatSound) {
    chat.open();
    serverSends("@RC=anna:Guten Morgen: alle");
    serverSends("@ReceiveChat=ohne Doppelpunkt");
    serverSends("@RC=bernd:");
    EXPECT_EQ(historyLines(), (Lines{"14:05:09 anna:", "Guten Morgen: alle", "14:05:09 ", "ohne Doppelpunkt",
                                     "14:05:09 bernd:", ""}));
    chatSound = 0; // the three lines above played, this one does not
    serverSends("@RC=anna:leise");
    EXPECT_EQ(sound.played.size(), 3u);
}

TEST_F(ChatMessages, ChatAndTradeLinesAreDroppedWithoutAWindowOrWithoutChatLevel) {
    serverSends("@RC=anna:niemand liest das");
    serverSends("@RT=SAP 10 zu 100.5");
    EXPECT_FALSE(chat.loaded());
    chat.open();
    level = 0;
    serverSends("@RC=anna:kein Chat");
    serverSends("@RT=SAP 10 zu 100.5");
    EXPECT_TRUE(chat.history().empty());
    EXPECT_TRUE(chat.trades.empty());
    EXPECT_TRUE(sound.played.empty());
    level = 1;
    serverSends("@RT=SAP 10 zu 100.5");
    serverSends("@ReceiveTChat=");
    EXPECT_EQ(chat.trades.lines(), (Lines{"14:05:09 SAP 10 zu 100.5", "14:05:09 "}));
    EXPECT_EQ(chat.tradesSelection(), 1);
}

TEST_F(ChatMessages, StopKeepsTheViewWhereItIsWhileLinesGoOnArriving) {
    chat.open();
    serverSends("@RC=anna:eins");
    serverSends("@RT=erster Trade");
    const std::size_t caret = chat.history().size();
    chat.stopOption.setChecked(true);
    serverSends("@RC=anna:zwei");
    serverSends("@RT=zweiter Trade");
    EXPECT_EQ(chat.historyCaret(), caret);
    EXPECT_EQ(chat.tradesSelection(), 0);
    chat.stopOption.setChecked(false);
    serverSends("@RC=anna:drei");
    EXPECT_EQ(chat.historyCaret(), chat.history().size());
}

TEST_F(ChatMessages, TheUserListIsReplacedJoinedAndLeftEvenWithoutAWindow) {
    serverSends("@SCU=anna;bernd;carla");
    serverSends("@CU1=dora");
    serverSends("@CU1=anna"); // already there: nothing
    serverSends("@CU0=bernd");
    serverSends("@CU0=xaver"); // not there: nothing
    serverSends("@CU0=Anna");  // names compare exactly
    EXPECT_EQ(chat.users.lines(), (Lines{"anna", "carla", "dora"}));
    EXPECT_EQ(historyLines(), (Lines{"User dora betritt Chat", "User bernd verläßt Chat"}));
}

TEST_F(ChatMessages, GarbageUserListsNeitherCrashNorReachBeyondTheLimit) {
    std::string many;
    for (int i = 1; i <= Chat::kMaxUsers + 5; ++i)
        many += "u" + std::to_string(i) + ";";
    serverSends("@SCU=" + many);
    ASSERT_EQ(chat.users.size(), static_cast<std::size_t>(Chat::kMaxUsers));
    EXPECT_EQ(chat.users.back(), "u2000");
    serverSends("@SCU=;;a;;");
    EXPECT_EQ(chat.users.lines(), (Lines{"", "", "a", ""}));
    serverSends("@CU1=");
    serverSends("@CU0=");
    serverSends("@CU0=");
    EXPECT_EQ(chat.users.lines(), (Lines{"a", ""}));
    EXPECT_EQ(historyLines(), (Lines{"User  verläßt Chat", "User  verläßt Chat"}));
}

TEST_F(ChatMessages, GermanTextSurvivesTheWireBothWaysAndForeignLettersShowAsQuestionMarks) {
    chat.open();
    rx.receive(std::string("\x01@RC=J\xFCrgen:Gr\xFC\xDF"
                           "e, sch\xF6ne \xC4pfel \x80\x02"));
    EXPECT_EQ(historyLines(), (Lines{"14:05:09 Jürgen:", "Grüße, schöne Äpfel €"}));
    chat.input.setText("Grüße an Jürgen, das Maß ist voll – 5 €");
    chat.sendToAll_Click();
    chat.input.setText("Привет ß");
    chat.recipient.setText("Jürgen");
    chat.sendPrivate_Click();
    EXPECT_EQ(socket.sent, (Lines{"\x01@C=Gr\xFC\xDF"
                                  "e an J\xFCrgen, das Ma\xDF ist voll \x96 5 \x80\x02",
                                  "\x01@C=?????? \xDF;J\xFCrgen\x02"}));
}

} // namespace
} // namespace kavex::test
