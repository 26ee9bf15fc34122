// The frame "Externe Kontrolle Zentrivo" over a bridge on a fake socket: typed settings
// reach the bridge, the buttons act, the labels and the log follow the model.
#include "external/bridge.h"
#include "external/recording_commands.h"
#include "model/trading_data.h"
#include "gui/bridge_frame.h"
#include "protocol/server_sender.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"
#include "model/settings_file.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace kavex {
namespace {

QPushButton* buttonNamed(QWidget& parent, const QString& caption) {
    for (QPushButton* b : parent.findChildren<QPushButton*>())
        if (b->text() == caption) return b;
    return nullptr;
}

TEST(BridgeFrame, TypedSettingsAndButtonsReachTheBridge) {
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
    EXPECT_EQ(frame.findChild<QLabel*>("localAddress")->text(), "127.0.0.1");
    EXPECT_EQ(frame.findChild<QLineEdit*>("testCancel")->text(), "-123");

    auto* port = frame.findChild<QLineEdit*>("port");
    port->clear();
    QTest::keyClicks(port, "4711");
    EXPECT_EQ(settings.bridgePort, "4711");
    buttonNamed(frame, "Listen")->click();
    EXPECT_EQ(socket.listenPort, 4711);
    EXPECT_EQ(socket.listenAddress, "127.0.0.1");
    bridge.statusTick();
    EXPECT_EQ(frame.findChild<QLabel*>("socketState")->text(), "Überwachen");
    EXPECT_EQ(frame.findChild<QListView*>("bridgeLog")->model()->rowCount(), 1);

    QTest::keyClicks(frame.findChild<QLineEdit*>("testOrder"), ";1;BUY;MKT;1;;;T");
    buttonNamed(frame, "Placeorder-Test")->click();
    buttonNamed(frame, "Cancelorder-Test")->click();
    EXPECT_EQ(commands.calls, (std::vector<std::string>{"PO ;1;BUY;MKT;1;;;T", "CO -123"}));
    buttonNamed(frame, "&X")->click();
    EXPECT_EQ(socket.state(), static_cast<int>(SocketState::Closed));
}

} // namespace
} // namespace kavex
