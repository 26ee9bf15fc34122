// The connection window's widget over the headless model, on the offscreen platform.
#include "model/trading_data.h"
#include "gui/order_client_window.h"
#include "gui/text_list_model.h"
#include "platform/socket_state.h"
#include "session/order_client.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace kavex {
namespace {

struct WindowFixture {
    test::FakeEventLoop loop;
    test::FakeTcpClient socket;
    test::FakeHttpGet http;
    test::FakeSystemServices system;
    TradingData data;
    TextList log;
    std::string user = "demo", host = "game.example.net", password = "pw";
    int16_t keepServer = 0;
    OrderClient client{{loop, socket, http, system, data, log}, {user, host, password, keepServer}};
    OrderClientWindow window{client};
};

TEST(OrderClientWindow, HidesInsteadOfClosingAndFieldsListsButtonsAndDiscoveryReachTheModel) {
    WindowFixture f;
    f.client.show();
    f.window.button("&Ablegen")->click();
    EXPECT_FALSE(f.client.visible());
    f.client.show();
    f.window.close();
    EXPECT_FALSE(f.client.visible());

    f.client.show();
    QLineEdit* host = f.window.hostEdit();
    EXPECT_EQ(host->text(), "game.example.net");
    host->clear();
    QTest::keyClicks(host, "neu.example.net");
    EXPECT_EQ(f.host, "neu.example.net") << "typing updates the settings";
    f.client.setHost("discovered.example.net");
    EXPECT_EQ(host->text(), "discovered.example.net");
    // Without a discovery document (the fake web answers nothing) the host is kept and the
    // port is the default.
    f.client.setPort("4711");
    f.client.discoverServer();
    EXPECT_EQ(host->text(), "discovered.example.net");
    EXPECT_EQ(f.client.portField().text(), "4100");

    f.socket.deliver("\x01"
                     "@KU=1;99\x02\x01@WELCOME\x02");
    EXPECT_EQ(f.window.lastQuoteLabel()->text(), "IN:@KU=1;99");
    QAbstractItemModel* incoming = f.window.incomingView()->model();
    EXPECT_EQ(incoming->data(incoming->index(0, 0)).toString(), "IN:@WELCOME");
    f.client.listDoubleClicked(f.client.incoming()); // a double click empties the list
    EXPECT_EQ(incoming->rowCount(), 0);

    f.socket.socketState = static_cast<int>(SocketState::Connected);
    f.window.button("Time ?")->click();
    EXPECT_EQ(f.socket.sent, (std::vector<std::string>{"\x01@TIMEGET\x02"}));
}

TEST(TextListModel, KeepsTheModelContractWhileLinesAreAddedAndCleared) {
    TextList list;
    list.addLine("before");
    TextListModel model(list);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (int i = 0; i < 50; ++i)
        list.addLine("Zeile " + std::to_string(i) + " äöü");
    EXPECT_EQ(model.rowCount(), 51);
    EXPECT_EQ(model.data(model.index(50, 0)).toString(), "Zeile 49 äöü");
    list.clear();
    list.setLines({"a", "b"});
    EXPECT_EQ(model.rowCount(), 2);
}

} // namespace
} // namespace kavex
