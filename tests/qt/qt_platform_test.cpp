// The Qt platform pieces on their own: exact bytes on the socket, state numbers,
// arrivals during a handler that processes events, the HTTP fetch's failures, the
// event loop's quick day number, and the machine identifier.
#include "base/failure.h"
#include "demo_server.h"
#include "platform/qt/machine_id.h"
#include "platform/qt/qt_system_services.h"
#include "platform/socket_state.h"

#include <QFile>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <cmath>

namespace kavex {
namespace {

bool waitUntil(QtEventLoop& loop, const std::function<bool()>& condition) {
    return test::waitUntil(loop, condition, 3000);
}

// Serves `body` at /ip.html and "404" elsewhere; with `answer` false it reads the
// request and never answers.
struct WebServer {
    WebServer() {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            QTcpSocket* socket = server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                const bool found = socket->readAll().split(' ').value(1) == "/ip.html";
                ++requests;
                if (!answer) return;
                const QByteArray text = found ? QByteArray::fromStdString(body) : "Not found";
                socket->write(QByteArray("HTTP/1.1 ") + (found ? "200 OK" : "404 Not Found") +
                              "\r\nContent-Length: " + QByteArray::number(text.size()) +
                              "\r\nConnection: close\r\n\r\n" + text);
                socket->disconnectFromHost();
            });
        });
    }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(server.serverPort()) + path;
    }
    QTcpServer server;
    std::string body;
    int requests = 0;
    bool answer = true;
};

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

TEST(QtTcpClient, SendsEveryByteValueAndReportsPeerCloseRefusalAndTheStateNumbers) {
    std::string allBytes;
    for (int b = 0; b < 256; ++b)
        allBytes.push_back(static_cast<char>(b));
    Link link;
    EXPECT_EQ(link.client.state(), static_cast<int>(SocketState::Closed));
    EXPECT_THROW(link.client.send("x"), Failure);
    EXPECT_THROW(link.client.connect("127.0.0.1", 70000), Failure);
    ASSERT_TRUE(link.open());
    EXPECT_EQ(link.client.state(), static_cast<int>(SocketState::Connected));
    link.client.send(allBytes);
    ASSERT_TRUE(waitUntil(link.loop, [&] { return link.peer->bytesAvailable() >= 256; }));
    EXPECT_EQ(link.peer->readAll().toStdString(), allBytes);

    link.peer->close();
    ASSERT_TRUE(waitUntil(link.loop, [&] { return link.peerCloses == 1; }));
    EXPECT_TRUE(link.errors.empty()) << "a close by the peer is no error";
    EXPECT_EQ(link.client.state(), static_cast<int>(SocketState::Closing));
    link.client.close();
    EXPECT_EQ(link.client.state(), static_cast<int>(SocketState::Closed));

    const quint16 unused = link.server.serverPort();
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
        test::pause(link.loop, 300); // the new bytes come in meanwhile but must not be lost
    };
    link.peer->write("first");
    ASSERT_TRUE(waitUntil(link.loop, [&] { return link.arrivals.size() == 2; }));
    EXPECT_EQ(link.arrivals, (std::vector<std::string>{"first", "second"}));
}

TEST(QtHttpGet, ReturnsTheBodyAsTextAndEmptyTextOnAnyFailure) {
    WebServer web;
    web.body = "m\xFC"
               "nchen.example.net:4100\r\n"; // the body's bytes are Latin-1
    QtHttpGet http(400);
    EXPECT_EQ(http.get(web.url("/ip.html")), "münchen.example.net:4100\r\n");
    EXPECT_EQ(http.get(web.url("/missing.html")), "");
    EXPECT_EQ(http.get("http://127.0.0.1:1/ip.html"), "");
    EXPECT_EQ(http.get("not a url"), "");
    EXPECT_EQ(web.requests, 2);

    // A server that never answers costs only the timeout.
    web.answer = false;
    QtEventLoop loop;
    const uint32_t start = loop.tickCount();
    EXPECT_EQ(http.get(web.url("/ip.html")), "");
    const uint32_t took = loop.tickCount() - start;
    EXPECT_GE(took, 350u);
    EXPECT_LT(took, 1500u);
}

// Timers and waits run in every test against the server program.
TEST(QtEventLoop, TheQuickDayNumberAgreesWithTheLocalTimeToTheSecond) {
    QtEventLoop loop;
    EXPECT_LT(std::fabs(loop.nowDayNumber() - dayNumber(loop.now())) * 86400.0, 1.0);
}

TEST(MachineId, FoldsTheIdentifierToASignedDecimal) {
    const std::pair<const char*, const char*> rows[] = {{"80000000000000000000000000000000", "-2147483648"},
                                                        {"00000001000000020000000400000008\n", "15"},
                                                        {"ffffffff", "-1"},
                                                        {"", "0"}};
    for (const auto& [id, text] : rows)
        EXPECT_EQ(machineIdText(foldMachineId(id)), text) << id;
    EXPECT_EQ(machineIdText(0xA2B3C4D5u), "-1565276971");

    QFile file("/etc/machine-id");
    if (!file.open(QIODevice::ReadOnly)) GTEST_SKIP() << "no /etc/machine-id here";
    QByteArray id = file.readAll();
    QtSystemServices system;
    EXPECT_EQ(system.machineId(), machineIdText(foldMachineId(id.toStdString())));
}

} // namespace
} // namespace kavex
