// The chat window's buttons, the messages it sends, taking part in the chat, and the
// window's own state.
#include "chat_fixture.h"

namespace kavex::test {
namespace {

using ChatWindow = ChatTest;

TEST_F(ChatWindow, APublicMessageGoesOutOnOneLineAndARefusedSendIsStillShown) {
    chat.open();
    chat.input.setText("erste Zeile\r\nzweite Zeile");
    chat.sendToAll_Click();
    EXPECT_EQ(socket.sent, (Lines{"\x01@C=erste Zeile zweite Zeile\x02"}));
    chat.sendToAll_Click(); // nothing typed: nothing sent
    EXPECT_EQ(socket.sent.size(), 1u);

    socket.refuseSend = true; // a refused send still shows the line
    chat.input.setText("trotzdem");
    chat.sendToAll_Click();
    EXPECT_EQ(historyLines().back(), "trotzdem");
}

TEST_F(ChatWindow, APrivateMessageKeepsItsLineBreakAndNeedsARecipient) {
    chat.open();
    chat.input.setText("hallo\r\nbernd");
    chat.sendPrivate_Click(); // no recipient
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_EQ(chat.input.text(), "hallo\r\nbernd");

    chat.recipient.setText("bernd");
    chat.sendPrivate_Click();
    EXPECT_EQ(sentTexts(), (Lines{"@C=hallo\r\nbernd;bernd"}));
    EXPECT_EQ(historyLines(), (Lines{"14:05:09 ich:P->bernd:", "hallo", "bernd"}));
    EXPECT_EQ(chat.recipient.text(), "bernd");
}

TEST_F(ChatWindow, ClickingTheHistoryPicksTheSenderOfTheLineUnderTheCaret) {
    chat.open();
    serverSends("@RC=anna:hallo du: wer da?");
    serverSends("@RC=bernd:ohne Doppelpunkt");
    chat.input.setText("privat");
    chat.recipient.setText("bernd");
    chat.sendPrivate_Click();
    const std::string& h = chat.history();
    auto caretIn = [&](std::string_view text) { return h.find(text) + 2; };

    chat.history_Click(caretIn("anna:"));
    EXPECT_EQ(chat.recipient.text(), "anna");
    // A body line: the text after its first blank up to the next colon.
    chat.history_Click(caretIn("hallo du:"));
    EXPECT_EQ(chat.recipient.text(), "du");
    // A line without a colon names no one.
    chat.history_Click(caretIn("ohne Doppelpunkt"));
    EXPECT_EQ(chat.recipient.text(), "");
    // Own private message: the part before the first colon after the blank.
    chat.history_Click(caretIn("ich:P->"));
    EXPECT_EQ(chat.recipient.text(), "ich");
    // A line without a blank empties the field.
    chat.history_Click(caretIn("privat"));
    EXPECT_EQ(chat.recipient.text(), "");
    // At the very end of a header line, still that line.
    chat.history_Click(h.find("anna:") + 5);
    EXPECT_EQ(chat.recipient.text(), "anna");
    chat.history_Click(h.size() + 100); // beyond the end: the last line
    EXPECT_EQ(chat.recipient.text(), "");
}

TEST_F(ChatWindow, TickingChatOpensAFreshWindowAndUntickingClosesIt) {
    chat.open();
    serverSends("@SCU=anna");
    serverSends("@RC=anna:alt");
    chat.chatOption_Click(true);
    EXPECT_TRUE(chat.history().empty());
    EXPECT_TRUE(chat.users.empty());
    chat.chatOption_Click(false);
    EXPECT_FALSE(chat.loaded());
    EXPECT_EQ(sentTexts(), (Lines{"@CH=1", "@RCU=", "@CH=0", "@RCU="}));

    // While not connected nothing goes out, and nothing fails.
    socket.socketState = static_cast<int>(SocketState::Connecting);
    chat.chatOption_Click(true);
    chat.trades_Click();
    chat.welcome(true);
    EXPECT_EQ(socket.sent.size(), 4u);
    EXPECT_TRUE(chat.visible());
}

TEST_F(ChatWindow, TheTradesButtonsWidenAndNarrowTheWindowAndSubscribe) {
    level = 1;
    chat.open();
    EXPECT_FALSE(chat.tradesButtonVisible()); // level 2 is needed for the trades
    chat.close();
    level = 2;
    chat.open();
    chat.trades_Click();
    EXPECT_EQ(chat.width(), 7485);
    chat.noTrades_Click();
    EXPECT_EQ(chat.width(), Chat::kNarrowWidth);
    chat.trades_Click();
    EXPECT_EQ(sentTexts(), (Lines{"@CT=1", "@CT=0", "@CT=1"}));

    // Closing forgets everything; the window opens narrow again.
    serverSends("@RT=SAP 5");
    chat.input.setText("halb getippt");
    chat.stopOption.setChecked(true);
    chat.close();
    chat.open();
    EXPECT_EQ(chat.width(), Chat::kNarrowWidth);
    EXPECT_TRUE(chat.trades.empty());
    EXPECT_EQ(chat.input.text(), "");
    EXPECT_FALSE(chat.stopOption.checked());
}

} // namespace
} // namespace kavex::test
