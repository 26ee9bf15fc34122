// The bridge of the real trading window on the Qt platform against the demo game server
// program: a connection from another address is refused, then the example front-end
// identifies, lists the instruments, places a limit order and cancels it.
#include "demo_server.h"
#include "platform/qt/qt_tcp_listener.h"

#include <QTcpSocket>

#include <gtest/gtest.h>

#include <filesystem>

namespace kavex {
namespace {

#ifdef KAVEX_SERVER_PROGRAM

const std::filesystem::path kExample =
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "tools" / "bridge-example" /
    "bridge_example.py";

TEST(BridgeServerRun, TheExampleFrontEndPlacesAndCancelsAndAStrangerIsRefused) {
    QtEventLoop loop;
    test::DemoServer server(loop);
    ASSERT_TRUE(server.start());
    const quint16 bridgePort = test::freePort();
    QtTcpListener bridgeSocket;
    test::DemoClient client(loop, server.discoveryUrl());
    Client& app = client.start(
        "demo3", [&](Settings& s) { s.bridgePort = std::to_string(bridgePort); },
        [&](ClientPlatform& p) { p.bridgeSocket = &bridgeSocket; });
    TradingData& data = app.data();
    ASSERT_TRUE(client.waitFor([&] { return data.instrumentCount() > 0; }));
    EXPECT_EQ(bridgeSocket.localPort(), bridgePort);

    // Another address of this machine is not the configured one.
    QTcpSocket stranger;
    stranger.bind(QHostAddress("127.0.0.2"), 0);
    stranger.connectToHost(QHostAddress::LocalHost, bridgePort);
    ASSERT_TRUE(client.waitFor([&] { return app.controls().bridgeLog.contains("Falsche Client IP!"); }));
    ASSERT_TRUE(client.waitFor([&] { return stranger.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_EQ(bridgeSocket.state(), static_cast<int>(SocketState::Listening));

    QProcess example;
    example.setProcessChannelMode(QProcess::MergedChannels);
    example.start("python3", {QString::fromStdString(kExample.string()), "--port",
                              QString::number(bridgePort), "--user", "USER", "--limit", "1"});
    QByteArray output;
    ASSERT_TRUE(client.waitFor(
        [&] {
            output += example.readAll();
            return example.state() == QProcess::NotRunning;
        },
        20000))
        << output.toStdString();
    output += example.readAll();
    SCOPED_TRACE(output.toStdString());
    EXPECT_EQ(example.exitCode(), 0);
    EXPECT_TRUE(output.contains("KDX.FUT") && output.contains("cancelled"));

    // The client's side of it: a negative order number, cancelled at the server.
    int cancelled = 0;
    for (int n = 1; n <= data.orderBook.count(); ++n)
        if (data.orderBook.at(n).orderUserId < 0 && data.orderBook.at(n).status == StatusCancelled)
            ++cancelled;
    EXPECT_EQ(cancelled, 1);
    // Listening again after the front-end left.
    EXPECT_TRUE(app.controls().bridgeLog.contains("Listen  " + std::to_string(bridgePort)));
}

#endif

} // namespace
} // namespace kavex
