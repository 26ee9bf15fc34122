// The bridge of the real trading window on the Qt platform against the demo game server
// program: a connection from another address is refused, then the example front-end
// identifies, lists the instruments, places a limit order and cancels it.
#include "base/files.h"
#include "demo_server.h"
#include "platform/qt/qt_http_get.h"
#include "platform/qt/qt_tcp_client.h"
#include "platform/qt/qt_tcp_listener.h"
#include "support/fakes.h"
#include "trading_window/order_form.h"

#include <QTcpSocket>
#include <QTemporaryDir>

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
    QTemporaryDir serverFolder, clientFolder;
    test::DemoServer server(loop, serverFolder.path());
    ASSERT_TRUE(server.start(KAVEX_SERVER_PROGRAM));

    WorkingDirectory folder(clientFolder.path().toStdString());
    const quint16 bridgePort = test::freePort();
    Settings settings;
    settings.userName = "demo3";
    settings.password = "demo";
    settings.bridgePort = std::to_string(bridgePort);
    writeTextLines(folder.path(SettingsFile::kSettingsName), SettingsFile::settingsLines(settings));

    QtTcpClient socket;
    QtTcpListener bridgeSocket;
    QtHttpGet http{2000};
    test::FakeSound sound;
    test::FakeSystemServices system;
    test::FakePrompts prompts;
    test::ImmediateDialogs dialogs;
    DiscoverySites sites;
    sites.primary = "http://127.0.0.1:" + std::to_string(server.webPort) + "/";
    sites.mirror = sites.primary;
    OrderFormPlatform platform{
        loop, socket, http, sound, system, prompts, dialogs, folder, "kavex", NumberLocale{'.'}, sites, {}};
    platform.bridgeSocket = &bridgeSocket;
    OrderForm form(platform);
    form.endProgram = [] {};
    form.orderClient().Command1_Click(); // the demo server's address from its discovery document
    form.Form_Load();
    TradingData& data = form.data();
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return data.InstrumentCount() > 0; }, 10000));
    EXPECT_EQ(form.settings().bridgeAddress, "127.0.0.1");
    EXPECT_EQ(bridgeSocket.localPort(), bridgePort);

    // Another address of this machine is not the configured one.
    QTcpSocket stranger;
    stranger.bind(QHostAddress("127.0.0.2"), 0);
    stranger.connectToHost(QHostAddress::LocalHost, bridgePort);
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return form.bridgeLog.contains("Falsche Client IP!"); }, 3000));
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return stranger.state() == QAbstractSocket::UnconnectedState; }, 3000));
    EXPECT_FALSE(form.bridge().connected());
    EXPECT_EQ(bridgeSocket.state(), static_cast<int>(SocketState::Listening));

    QProcess example;
    example.setProcessChannelMode(QProcess::MergedChannels);
    example.start("python3", {QString::fromStdString(kExample.string()), "--port",
                              QString::number(bridgePort), "--user", "USER", "--limit", "1"});
    QByteArray output;
    ASSERT_TRUE(test::waitUntil(
        loop,
        [&] {
            output += example.readAll();
            return example.state() == QProcess::NotRunning;
        },
        20000))
        << output.toStdString();
    output += example.readAll();
    EXPECT_EQ(example.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("KDX.FUT")) << output.toStdString();
    EXPECT_TRUE(output.contains("cancelled")) << output.toStdString();

    // The client's side of it: a negative order number, cancelled at the server.
    int cancelled = 0;
    for (int n = 1; n <= data.orderBook.count(); ++n)
        if (data.orderBook.at(n).orderUserId < 0 && data.orderBook.at(n).status == StatusCancelled)
            ++cancelled;
    EXPECT_EQ(cancelled, 1);
    EXPECT_TRUE(form.bridgeLog.contains("IN:USER;USER"));
    EXPECT_TRUE(
        form.bridgeLog.contains("Listen  " + std::to_string(bridgePort))); // again, after the front-end left
}

#else

TEST(BridgeServerRun, NeedsTheDemoServerProgram) {
    GTEST_SKIP() << "kavex-server is not part of this build";
}

#endif

} // namespace
} // namespace kavex
