// The chat window on the real receive path and send path: messages arrive as wire bytes,
// and what the chat sends is read back from the socket as wire bytes.
#include "base/cp1252.h"
#include "community/chat.h"
#include "platform/socket_state.h"
#include "protocol/server_sender.h"
#include "protocol/wire.h"
#include "support/fakes.h"
#include "support/receive_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace kavex::test {
namespace {

using Lines = std::vector<std::string>;

class ChatTest : public ::testing::Test {
  protected:
    ChatTest() {
        chat.bind(rx.dispatcher);
        socket.socketState = static_cast<int>(SocketState::Connected);
        rx.loop.setDateTime({2026, 12, 7, 14, 5, 9, 0});
    }

    void serverSends(std::string_view text) { rx.receiveFrame(text); }
    // Everything sent so far, as UTF-8 message texts without their frames.
    Lines sentTexts() const {
        Lines out;
        for (const std::string& bytes : socket.sent)
            out.push_back(cp1252::toUtf8(bytes.substr(1, bytes.size() - 2)));
        return out;
    }
    // The history's lines after its leading line break.
    Lines historyLines() const {
        Lines out;
        const std::string& h = chat.history();
        std::size_t pos = 2;
        for (std::size_t next; (next = h.find("\r\n", pos)) != std::string::npos; pos = next + 2)
            out.push_back(h.substr(pos, next - pos));
        out.push_back(h.substr(pos));
        return out;
    }

    ReceiveFixture rx;
    FakeTcpClient socket;
    FakeSound sound;
    TextList outgoing;
    ServerSender sender{socket, outgoing};
    int16_t chatSound = 1;
    std::string soundFile = "1.wav";
    int16_t level = 2;
    Chat chat{sender, rx.loop, sound, {chatSound, soundFile}, [this] { return level; }};
};

TEST_F(ChatTest, AChatLineShowsTheSenderWithTheTimeAndStopKeepsTheViewWhereItIs) {
    chat.open();
    serverSends("@RC=anna:Guten Morgen: alle");
    serverSends("@ReceiveChat=ohne Doppelpunkt");
    serverSends("@RC=bernd:");
    EXPECT_EQ(historyLines(), (Lines{"14:05:09 anna:", "Guten Morgen: alle", "14:05:09 ", "ohne Doppelpunkt",
                                     "14:05:09 bernd:", ""}));
    chatSound = 0; // the three lines above played, this one does not
    serverSends("@RC=anna:leise");
    EXPECT_EQ(sound.played.size(), 3u);

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

TEST_F(ChatTest, ChatAndTradeLinesAreDroppedWithoutAWindowOrWithoutChatLevel) {
    serverSends("@RC=anna:niemand liest das");
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

TEST_F(ChatTest, TheUserListIsReplacedJoinedAndLeftEvenWithoutAWindowAndGarbageStaysInTheLimit) {
    serverSends("@SCU=anna;bernd;carla");
    serverSends("@CU1=dora");
    serverSends("@CU1=anna"); // already there: nothing
    serverSends("@CU0=bernd");
    serverSends("@CU0=xaver"); // not there: nothing
    serverSends("@CU0=Anna");  // names compare exactly
    EXPECT_EQ(chat.users.lines(), (Lines{"anna", "carla", "dora"}));

    std::string many;
    for (int i = 1; i <= Chat::kMaxUsers + 5; ++i)
        many += "u" + std::to_string(i) + ";";
    serverSends("@SCU=" + many);
    ASSERT_EQ(chat.users.size(), static_cast<std::size_t>(Chat::kMaxUsers));
    EXPECT_EQ(chat.users.back(), "u2000");
    serverSends("@SCU=;;a;;");
    serverSends("@CU0=");
    EXPECT_EQ(chat.users.lines(), (Lines{"", "a", ""}));
    EXPECT_EQ(historyLines(),
              (Lines{"User dora betritt Chat", "User bernd verläßt Chat", "User  verläßt Chat"}));
}

TEST_F(ChatTest, GermanTextSurvivesTheWireBothWaysAndForeignLettersShowAsQuestionMarks) {
    chat.open();
    rx.receive(std::string("\x01@RC=J\xFCrgen:Gr\xFC\xDF"
                           "e, sch\xF6ne \xC4pfel \x80\x02"));
    EXPECT_EQ(historyLines(), (Lines{"14:05:09 Jürgen:", "Grüße, schöne Äpfel €"}));
    chat.input.setText("Grüße an Jürgen, das Maß ist voll – 5 €");
    chat.sendToAll();
    chat.input.setText("Привет ß");
    chat.recipient.setText("Jürgen");
    chat.sendPrivate();
    EXPECT_EQ(socket.sent, (Lines{"\x01@C=Gr\xFC\xDF"
                                  "e an J\xFCrgen, das Ma\xDF ist voll \x96 5 \x80\x02",
                                  "\x01@C=?????? \xDF;J\xFCrgen\x02"}));
}

TEST_F(ChatTest, PublicMessagesGoOutOnOneLineAndPrivateOnesKeepTheirBreakAndNeedARecipient) {
    chat.open();
    chat.input.setText("erste Zeile\r\nzweite Zeile");
    chat.sendToAll();
    chat.sendToAll(); // nothing typed: nothing sent
    chat.input.setText("hallo\r\nbernd");
    chat.sendPrivate(); // no recipient: nothing sent
    chat.recipient.setText("bernd");
    chat.sendPrivate();
    EXPECT_EQ(sentTexts(), (Lines{"@C=erste Zeile zweite Zeile", "@C=hallo\r\nbernd;bernd"}));
    const Lines history = historyLines();
    EXPECT_EQ(Lines(history.end() - 3, history.end()), (Lines{"14:05:09 ich:P->bernd:", "hallo", "bernd"}));
    socket.refuseSend = true; // a refused send still shows the line
    chat.input.setText("trotzdem");
    chat.sendToAll();
    EXPECT_EQ(historyLines().back(), "trotzdem");
}

TEST_F(ChatTest, ClickingTheHistoryPicksTheSenderOfTheLineUnderTheCaret) {
    chat.open();
    serverSends("@RC=anna:hallo du: wer da?");
    serverSends("@RC=bernd:ohne Doppelpunkt");
    chat.input.setText("privat");
    chat.recipient.setText("bernd");
    chat.sendPrivate();
    const std::string& h = chat.history();
    // A header names its sender, a body line the text after its first blank up to the next
    // colon, an own private message the part before the first colon after the blank; a line
    // without a colon or without a blank names no one; beyond the end is the last line.
    // clang-format off
    const std::vector<std::pair<std::size_t, std::string>> rows = {
        {h.find("anna:") + 2, "anna"}, {h.find("hallo du:") + 2, "du"}, {h.find("ohne Doppelpunkt") + 2, ""},
        {h.find("ich:P->") + 2, "ich"}, {h.find("privat") + 2, ""}, {h.find("anna:") + 5, "anna"},
        {h.size() + 100, ""}};
    // clang-format on
    for (const auto& [caret, recipient] : rows) {
        chat.recipient.setText("?");
        chat.historyClicked(caret);
        EXPECT_EQ(chat.recipient.text(), recipient) << caret;
    }
}

TEST_F(ChatTest, TickingChatOpensAFreshWindowAndUntickingKeepsIt) {
    chat.open();
    serverSends("@SCU=anna");
    serverSends("@RC=anna:alt");
    chat.setChatOption(true);
    EXPECT_TRUE(chat.history().empty());
    EXPECT_TRUE(chat.users.empty());
    serverSends("@RC=anna:neu");
    const std::string history = chat.history();
    ASSERT_FALSE(history.empty());
    chat.setChatOption(false);
    EXPECT_TRUE(chat.visible());
    EXPECT_EQ(chat.history(), history);
    EXPECT_EQ(sentTexts(), (Lines{"@CH=1", "@RCU=", "@CH=0", "@RCU="}));
    // While not connected nothing goes out, and nothing fails.
    socket.socketState = static_cast<int>(SocketState::Connecting);
    chat.setChatOption(true);
    chat.showTrades();
    chat.welcome(true);
    EXPECT_EQ(socket.sent.size(), 4u);
    EXPECT_TRUE(chat.visible());
}

TEST_F(ChatTest, TheTradesButtonsWidenAndNarrowTheWindowAndSubscribe) {
    level = 1;
    chat.open();
    EXPECT_FALSE(chat.tradesButtonVisible()); // level 2 is needed for the trades
    chat.close();
    level = 2;
    chat.open();
    chat.showTrades();
    chat.hideTrades();
    chat.showTrades();
    EXPECT_GT(chat.width(), Chat::kNarrowWidth);
    EXPECT_EQ(sentTexts(), (Lines{"@CT=1", "@CT=0", "@CT=1"}));
}

} // namespace
} // namespace kavex::test
