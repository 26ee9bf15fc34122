// The Qt platform pieces on their own: exact bytes on the socket, state numbers,
// arrivals during a handler that processes events, the HTTP fetch's failures, the
// event loop's timers and waits, and the machine identifier.
#include "loopback_servers.h"

#include "base/failure.h"
#include "platform/qt/machine_id.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_http_get.h"
#include "platform/qt/qt_system_services.h"
#include "platform/qt/qt_tcp_client.h"
#include "platform/socket_state.h"

#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace kavex {
namespace {

bool waitUntil(QtEventLoop& loop, const std::function<bool()>& condition, uint32_t limitMs = 3000) {
    uint32_t start = loop.tickCount();
    while (!condition()) {
        if (loop.tickCount() - start > limitMs) return false;
        loop.waitForEvents(20);
    }
    return true;
}

// A TCP client connected to a server socket in the same process.
struct Link {
    Link() {
        server.listen(QHostAddress::LocalHost, 0);
        client.setEvents({[this] { ++connects; }, [this] { ++peerCloses; },
                          [this](const std::string& d) { errors.push_back(d); },
                          [this](std::size_t) { onArrival(); }});
    }
    bool open() {
        client.connect("127.0.0.1", server.serverPort());
        if (!waitUntil(loop, [&] { return connects == 1 && server.hasPendingConnections(); })) return false;
        peer.reset(server.nextPendingConnection());
        return true;
    }
    void onArrival() {
        std::string bytes;
        client.readAll(bytes);
        arrivals.push_back(bytes);
        if (duringArrival) duringArrival();
    }

    QtEventLoop loop;
    QTcpServer server;
    QtTcpClient client;
    std::unique_ptr<QTcpSocket> peer;
    int connects = 0, peerCloses = 0;
    std::vector<std::string> errors, arrivals;
    std::function<void()> duringArrival;
};

std::string allByteValues() {
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes.push_back(static_cast<char>(b));
    return bytes;
}

TEST(QtTcpClient, CarriesEveryByteValueUnchangedBothWays) {
    Link link;
    ASSERT_TRUE(link.open());
    EXPECT_EQ(link.client.state(), static_cast<int>(SocketState::Connected));
    link.client.send(allByteValues());
    ASSERT_TRUE(waitUntil(link.loop, [&] { return link.peer->bytesAvailable() >= 256; }));
    QByteArray atPeer = link.peer->readAll();
    EXPECT_EQ(atPeer.toStdString(), allByteValues());

    link.peer->write(atPeer);
    std::string received;
    ASSERT_TRUE(waitUntil(link.loop, [&] {
        received.clear();
        for (const std::string& a : link.arrivals)
            received += a;
        return received.size() >= 256;
    }));
    EXPECT_EQ(received, allByteValues());
}

TEST(QtTcpClient, ReportsPeerCloseRefusalAndTheStateNumbers) {
    Link link;
    EXPECT_EQ(link.client.state(), static_cast<int>(SocketState::Closed));
    EXPECT_THROW(link.client.send("x"), Failure);
    EXPECT_THROW(link.client.connect("127.0.0.1", 70000), Failure);
    ASSERT_TRUE(link.open());

    link.peer->close();
    ASSERT_TRUE(waitUntil(link.loop, [&] { return link.peerCloses == 1; }));
    EXPECT_TRUE(link.errors.empty()) << "a close by the peer is no error";
    EXPECT_EQ(link.client.state(), static_cast<int>(SocketState::Closing));
    link.client.close();
    EXPECT_EQ(link.client.state(), static_cast<int>(SocketState::Closed));

    quint16 unused = link.server.serverPort();
    link.server.close();
    link.client.connect("127.0.0.1", unused);
    ASSERT_TRUE(waitUntil(link.loop, [&] { return !link.errors.empty(); }));
    EXPECT_EQ(link.client.state(), static_cast<int>(SocketState::Error));
    EXPECT_EQ(link.peerCloses, 1);
}

TEST(QtTcpClient, DataArrivingWhileAHandlerProcessesEventsFollowsRightAfterIt) {
    Link link;
    ASSERT_TRUE(link.open());
    link.duringArrival = [&] {
        if (link.arrivals.size() != 1) return;
        link.peer->write("second");
        link.peer->flush();
        // The handler waits; the new bytes come in meanwhile but must not be lost.
        waitUntil(
            link.loop, [] { return false; }, 300);
    };
    link.peer->write("first");
    ASSERT_TRUE(waitUntil(
        link.loop, [&] { return link.arrivals.size() == 2; }, 2000));
    EXPECT_EQ(link.arrivals, (std::vector<std::string>{"first", "second"}));
}

TEST(QtHttpGet, ReturnsTheBodyAsTextAndEmptyTextOnAnyFailure) {
    test::LoopbackWebServer web;
    web.documents["/ip.html"] = "m\xFC"
                                "nchen.example.net:4100\r\n";
    std::string base = "http://127.0.0.1:" + std::to_string(web.port());
    QtHttpGet http(500);
    EXPECT_EQ(http.get(base + "/ip.html"), "münchen.example.net:4100\r\n");
    EXPECT_EQ(http.get(base + "/missing.html"), "");
    EXPECT_EQ(http.get("http://127.0.0.1:1/ip.html"), "");
    EXPECT_EQ(http.get("not a url"), "");
    EXPECT_EQ(web.requests.size(), 2u);
}

TEST(QtHttpGet, AServerThatNeverAnswersCostsOnlyTheTimeout) {
    test::LoopbackWebServer web;
    web.answer = false;
    QtEventLoop loop;
    QtHttpGet http(400);
    uint32_t start = loop.tickCount();
    EXPECT_EQ(http.get("http://127.0.0.1:" + std::to_string(web.port()) + "/ip.html"), "");
    uint32_t took = loop.tickCount() - start;
    EXPECT_GE(took, 350u);
    EXPECT_LT(took, 1500u);
}

TEST(QtEventLoop, TimersFireAndStopAndWaitsSleepTheirTime) {
    QtEventLoop loop;
    int once = 0, repeated = 0;
    loop.startTimer(
        30, [&] { ++once; }, true);
    EventLoop::TimerId id = 0;
    id = loop.startTimer(10, [&] {
        if (++repeated == 3) loop.stopTimer(id);
    });
    ASSERT_TRUE(waitUntil(
        loop, [&] { return once == 1 && repeated == 3; }, 2000));
    uint32_t start = loop.tickCount();
    loop.waitForEvents(150);
    while (loop.tickCount() - start < 150)
        loop.waitForEvents(static_cast<int>(150 - (loop.tickCount() - start)));
    EXPECT_LT(loop.tickCount() - start, 400u);
    EXPECT_EQ(once, 1);
    EXPECT_EQ(repeated, 3);
}

TEST(MachineId, FoldsTheIdentifierToASignedDecimal) {
    EXPECT_EQ(machineIdText(foldMachineId("80000000000000000000000000000000")), "-2147483648");
    EXPECT_EQ(machineIdText(foldMachineId("00000001000000020000000400000008\n")), "15");
    EXPECT_EQ(machineIdText(foldMachineId("ffffffff")), "-1");
    EXPECT_EQ(machineIdText(foldMachineId("")), "0");
    EXPECT_EQ(machineIdText(0xA2B3C4D5u), "-1565276971");

    QFile file("/etc/machine-id");
    if (!file.open(QIODevice::ReadOnly)) GTEST_SKIP() << "no /etc/machine-id here";
    QByteArray id = file.readAll();
    QtSystemServices system;
    EXPECT_EQ(system.machineId(), machineIdText(foldMachineId(id.toStdString())));
}

} // namespace
} // namespace kavex
