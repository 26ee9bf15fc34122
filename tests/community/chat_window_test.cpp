// The chat window's buttons, the messages it sends, taking part in the chat, and the
// window's own state.
#include "chat_fixture.h"

namespace kavex::test {
namespace {

using ChatWindow = ChatTest;

TEST_F(ChatWindow, PublicMessagesGoOutOnOneLineAndPrivateOnesKeepTheirBreakAndNeedARecipient) {
    chat.open();
    chat.input.setText("erste Zeile\r\nzweite Zeile");
    chat.sendToAll_Click();
    chat.sendToAll_Click(); // nothing typed: nothing sent
    chat.input.setText("hallo\r\nbernd");
    chat.sendPrivate_Click(); // no recipient: nothing sent
    chat.recipient.setText("bernd");
    chat.sendPrivate_Click();
    EXPECT_EQ(sentTexts(), (Lines{"@C=erste Zeile zweite Zeile", "@C=hallo\r\nbernd;bernd"}));
    const Lines history = historyLines();
    EXPECT_EQ(Lines(history.end() - 3, history.end()), (Lines{"14:05:09 ich:P->bernd:", "hallo", "bernd"}));

    socket.refuseSend = true; // a refused send still shows the line
    chat.input.setText("trotzdem");
    chat.sendToAll_Click();
    EXPECT_EQ(historyLines().back(), "trotzdem");
}

TEST_F(ChatWindow, ClickingTheHistoryPicksTheSenderOfTheLineUnderTheCaret) {
    chat.open();
    serverSends("@RC=anna:hallo du: wer da?");
    serverSends("@RC=bernd:ohne Doppelpunkt");
    chat.input.setText("privat");
    chat.recipient.setText("bernd");
    chat.sendPrivate_Click();
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
        chat.history_Click(caret);
        EXPECT_EQ(chat.recipient.text(), recipient) << caret;
    }
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
