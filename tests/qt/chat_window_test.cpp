// The chat window's widget over the headless chat, on the offscreen platform.
#include "community/chat.h"
#include "gui/chat_window.h"
#include "platform/socket_state.h"
#include "protocol/server_sender.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace kavex {
namespace {

struct ChatWidgetFixture {
    ChatWidgetFixture() { socket.socketState = static_cast<int>(SocketState::Connected); }
    test::FakeEventLoop loop;
    test::FakeTcpClient socket;
    test::FakeSound sound;
    TextList outgoing;
    ServerSender sender{socket, outgoing};
    int16_t chatSound = 0;
    std::string soundFile = "1.wav";
    int16_t level = 1;
    Chat chat{sender, loop, sound, {chatSound, soundFile}, [this] { return level; }};
    QRect tradingWindow{10, 40, 200, 300};
    ChatWindow window{chat, [this] { return tradingWindow; }};
};

TEST(ChatWidget, OpensBesideTheTradingWindowAndFollowsTheChatsWidth) {
    ChatWidgetFixture f;
    f.chat.open();
    EXPECT_EQ(f.window.pos(), QPoint(210, 40));
    EXPECT_EQ(f.window.width(), f.window.pixels(Chat::kNarrowWidth));
    EXPECT_FALSE(f.window.button("&T")->isVisible()); // chat level 1: no trades

    // Too near the screen's right edge: pulled left to end at the edge.
    f.chat.close();
    const QRect screen = f.window.screen()->availableGeometry();
    f.tradingWindow = QRect(screen.right() - 100, 60, 100, 300);
    f.level = 2;
    f.chat.open();
    EXPECT_EQ(f.window.pos(), QPoint(screen.x() + screen.width() - f.window.width(), 60));
    f.window.button("&T")->click();
    EXPECT_EQ(f.window.width(), f.window.pixels(Chat::kWideWidth));
    EXPECT_TRUE(f.window.tradesView()->isVisible());
    f.window.button("&X")->click();
    EXPECT_FALSE(f.window.tradesView()->isVisible());

    // The user closes the window: the chat window is unloaded.
    f.chat.Chatadd("weg damit");
    f.window.close();
    EXPECT_FALSE(f.chat.loaded());
    EXPECT_TRUE(f.window.historyView()->toPlainText().isEmpty());
}

TEST(ChatWidget, EditsReachTheChatAndAClickOnAHeaderPicksItsSender) {
    // Sending and picking from the user list are covered by the run against the server.
    ChatWidgetFixture f;
    f.chat.open();
    f.window.inputEdit()->setPlainText(QString::fromUtf8("Grüße\nan alle"));
    EXPECT_EQ(f.chat.input.text(), "Grüße\r\nan alle");
    f.window.recipientEdit()->setText("bernd");
    QTest::keyClicks(f.window.recipientEdit(), "x");
    EXPECT_EQ(f.chat.recipient.text(), "berndx");
    f.window.stopBox()->setChecked(true);
    EXPECT_TRUE(f.chat.stopOption.checked());

    f.chat.WS_ReceiveChat("anna:hallo");
    QPlainTextEdit* history = f.window.historyView();
    const QTextBlock header = history->document()->findBlockByNumber(history->document()->blockCount() - 2);
    ASSERT_TRUE(header.text().endsWith("anna:"));
    QTextCursor at(header);
    history->setTextCursor(at);
    QTest::mouseClick(history->viewport(), Qt::LeftButton, {}, history->cursorRect(at).center());
    EXPECT_EQ(f.window.recipientEdit()->text(), "anna");
    f.window.button(QString::fromUtf8("Löschen"))->click();
    EXPECT_TRUE(history->toPlainText().isEmpty());
}

} // namespace
} // namespace kavex
