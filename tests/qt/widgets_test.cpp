// The smaller windows' widgets over their headless models on the offscreen platform: each
// shows its model, and typing and clicks reach the model. What the models do with it is
// tested headless.
#include "community/chat.h"
#include "external/bridge.h"
#include "external/recording_commands.h"
#include "gui/bracket_preset_dialog_qt.h"
#include "gui/bridge_frame.h"
#include "gui/chat_window.h"
#include "gui/order_client_window.h"
#include "gui/text_list_model.h"
#include "model/bracket_preset.h"
#include "model/settings_file.h"
#include "model/trading_data.h"
#include "platform/qt/qt_prompts.h"
#include "platform/socket_state.h"
#include "protocol/server_sender.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"
#include "views/bracket_preset_dialog.h"
#include "views/connection_window.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <gtest/gtest.h>

#include <tuple>

namespace kavex {
namespace {

TEST(OrderClientWindow, HidesInsteadOfClosingAndShowsAndPassesOnFieldsListsAndButtons) {
    test::FakeEventLoop loop;
    test::FakeTcpClient socket;
    test::FakeHttpGet http;
    test::FakeSystemServices system;
    TradingData data;
    TextList log;
    std::string user = "demo", host = "game.example.net", password = "pw";
    int16_t keepServer = 0;
    OrderClient client{{loop, socket, http, system, data, log}, {user, host, password, keepServer}};
    ConnectionWindow model{client};
    OrderClientWindow window{model};
    model.show();
    window.close();
    EXPECT_FALSE(model.visible());

    model.show();
    QLineEdit* hostEdit = window.hostEdit();
    EXPECT_EQ(hostEdit->text(), "game.example.net");
    hostEdit->clear();
    QTest::keyClicks(hostEdit, "neu.example.net");
    EXPECT_EQ(host, "neu.example.net") << "typing updates the settings";

    socket.deliver("\x01@WELCOME\x02\x01@KU=1;2\x02");
    EXPECT_EQ(window.lastQuoteLabel()->text(), "IN:@KU=1;2") << "the connection's changes show";
    QListView* incoming = window.incomingView();
    EXPECT_EQ(incoming->model()->data(incoming->model()->index(0, 0)).toString(), "IN:@WELCOME");
    emit incoming->doubleClicked(incoming->model()->index(0, 0)); // a double click empties the list
    EXPECT_EQ(incoming->model()->rowCount(), 0);

    socket.socketState = static_cast<int>(SocketState::Connected);
    window.button("Time ?")->click();
    EXPECT_EQ(socket.sent, (std::vector<std::string>{"\x01@TIMEGET\x02"}));
}

TEST(TextListModel, KeepsTheModelContractWhileLinesAreAddedDroppedAndCleared) {
    TextList list;
    list.addLine("before");
    TextListModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (int i = 0; i < 50; ++i)
        list.addLine("Zeile " + std::to_string(i) + " äöü");
    EXPECT_EQ(model.data(model.index(50, 0)).toString(), "Zeile 49 äöü");
    list.clear();
    list.setLines({"a", "b"});
    EXPECT_EQ(model.rowCount(), 2);
    // Held to three lines: the oldest goes as one removed row.
    list.setMaxLines(3);
    list.addLine("c");
    list.addLine("d");
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "b");
}

TEST(ChatWidget, OpensBesideTheTradingWindowAndPassesEditsAndClicksOn) {
    test::FakeEventLoop loop;
    test::FakeTcpClient socket;
    socket.socketState = static_cast<int>(SocketState::Connected);
    test::FakeSound sound;
    TextList outgoing;
    ServerSender sender{socket, outgoing};
    int16_t chatSound = 0;
    std::string soundFile = "1.wav";
    Chat chat{sender, loop, sound, {chatSound, soundFile}, [] { return int16_t{1}; }};
    QRect tradingWindow{10, 40, 200, 300};
    ChatWindow window{chat, [&] { return tradingWindow; }};
    chat.open();
    EXPECT_EQ(window.pos(), QPoint(210, 40)); // beside the trading window

    // No room on the right: left of it; no room on either side: at the screen's left edge,
    // away from the holding and profit columns on the right.
    const QRect screen = window.screen()->availableGeometry();
    const int w = window.width();
    for (auto [trading, x] : {std::pair{QRect(screen.right() - 100, 60, 100, 300), screen.right() - 100 - w},
                              std::pair{QRect(screen.x() + 20, 60, screen.width() - 40, 300), screen.x()}}) {
        chat.close();
        tradingWindow = trading;
        chat.open();
        EXPECT_EQ(window.pos(), QPoint(x, 60));
    }

    // Typed line ends become the wire's.
    window.inputEdit()->setPlainText(QString::fromUtf8("Grüße\nan alle"));
    EXPECT_EQ(chat.input.text(), "Grüße\r\nan alle");
    QTest::keyClick(window.inputEdit(), Qt::Key_Return); // Return sends to everyone
    EXPECT_TRUE(window.inputEdit()->toPlainText().isEmpty());
    ASSERT_FALSE(socket.sent.empty());
    EXPECT_EQ(socket.sent.back().substr(0, 4), "\x01@C=");

    // A click on a header picks its sender.
    chat.onChatMessage("anna:hallo");
    QPlainTextEdit* history = window.historyView();
    const QTextBlock header = history->document()->findBlockByNumber(history->document()->blockCount() - 2);
    ASSERT_TRUE(header.text().endsWith("anna:"));
    QTextCursor at(header);
    history->setTextCursor(at);
    QTest::mouseClick(history->viewport(), Qt::LeftButton, {}, history->cursorRect(at).center());
    EXPECT_EQ(window.recipientEdit()->text(), "anna");

    // The user closes the window: the chat window is unloaded.
    window.close();
    EXPECT_FALSE(chat.loaded());
    EXPECT_TRUE(history->toPlainText().isEmpty());
}

TEST(BracketPresetDialogQt, StaysOpenUntilTheValuesAreNotZeroAndClosingStoresThem) {
    test::FakePrompts prompts;
    BracketPresetDialog model(prompts);
    BracketPreset preset{"SAP", 2, 1, 2, 0};
    model.open(preset);
    BracketPresetDialogQt window(model);
    window.show();
    window.options()->button(1)->click();
    window.profitEdit()->setText("0");
    window.okButton()->click();
    EXPECT_TRUE(window.isVisible());

    window.profitEdit()->setText("3,5");
    window.reject(); // closing by the window's own control stores the values as well
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(model.visible.checked());
    EXPECT_EQ((std::vector<float>{preset.profitValue, preset.stopValue, preset.presetMode}),
              (std::vector<float>{3.5f, -1.0f, 1.0f}));

    model.open(preset);
    BracketPresetDialogQt again(model);
    again.show();
    again.profitEdit()->setText("9");
    again.findChild<QPushButton*>("cancel")->click(); // "Abbrechen" stores nothing
    EXPECT_EQ(std::make_tuple(again.isVisible(), model.cancelled(), preset.profitValue),
              std::make_tuple(false, true, 3.5f));
}

TEST(QtPrompts, AnOrderConfirmationNamesTheOrderInGermanAndReturnMeansNein) {
    QtPrompts prompts;
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        shown = box->text() + "|" + box->informativeText() + "|" + box->button(QMessageBox::Yes)->text() +
                "|" + box->button(QMessageBox::No)->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_FALSE(prompts.confirmOrders("Order wirklich ausführen ?", "SAP  BUY  5 Stück  MKT  ohne Limit"));
    EXPECT_EQ(shown.toStdString(), "Order wirklich ausführen ?|SAP  BUY  5 Stück  MKT  ohne Limit|Ja|Nein");
}

QPushButton* buttonNamed(QWidget& parent, const QString& caption) {
    for (QPushButton* b : parent.findChildren<QPushButton*>())
        if (b->text() == caption) return b;
    return nullptr;
}

// The frame "Externe Kontrolle Zentrivo" over a bridge on a fake socket.
TEST(BridgeFrame, TypedSettingsAndButtonsReachTheBridgeAndTheLabelsFollowIt) {
    test::FakeEventLoop loop;
    test::FakeTcpListener socket;
    test::FakeTcpClient server;
    TextList log, outgoing;
    ServerSender sender{server, outgoing};
    TradingData data;
    Settings settings;
    Label statusLine;
    test::RecordingCommands commands;
    Bridge bridge{socket, loop, data, settings, log, statusLine, commands, sender};
    BridgeFrame frame(bridge, settings, log);
    auto* port = frame.findChild<QLineEdit*>("port");
    port->clear();
    QTest::keyClicks(port, "4711");
    EXPECT_EQ(settings.bridgePort, "4711");
    buttonNamed(frame, "Listen")->click();
    EXPECT_EQ(std::make_pair(socket.listenPort, socket.listenAddress),
              std::make_pair(4711, std::string("127.0.0.1")));

    QTest::keyClicks(frame.findChild<QLineEdit*>("testOrder"), ";1;BUY;MKT;1;;;T");
    buttonNamed(frame, "Placeorder-Test")->click();
    buttonNamed(frame, "Cancelorder-Test")->click();
    EXPECT_EQ(commands.calls, (std::vector<std::string>{"PO ;1;BUY;MKT;1;;;T", "CO -123"}));
    buttonNamed(frame, "&X")->click();
    EXPECT_EQ(socket.state(), static_cast<int>(SocketState::Closed));
}

} // namespace
} // namespace kavex
