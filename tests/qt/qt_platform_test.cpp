// The Qt platform pieces on their own: exact bytes on the client and listening sockets,
// state numbers, arrivals during a handler that processes events, the HTTP fetch's
// failures, the machine identifier and the printer.
#include "base/failure.h"
#include "demo_server.h"
#include "platform/qt/machine_id.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/qt_system_services.h"
#include "platform/qt/qt_tcp_listener.h"
#include "platform/socket_state.h"
#include "support/fake_event_loop.h"
#include "support/temp_dir.h"
#include "views/statements.h"

#include <QFile>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <cstdlib>

namespace kavex {
namespace {

bool waitUntil(QtEventLoop& loop, const std::function<bool()>& condition) {
    return test::waitUntil(loop, condition, 3000);
}

int number(SocketState s) {
    return static_cast<int>(s);
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
    EXPECT_THROW(link.client.send("x"), Failure);
    EXPECT_THROW(link.client.connect("127.0.0.1", 70000), Failure);
    ASSERT_TRUE(link.open());
    EXPECT_EQ(link.client.state(), number(SocketState::Connected));
    link.client.send(allBytes);
    ASSERT_TRUE(waitUntil(link.loop, [&] { return link.peer->bytesAvailable() >= 256; }));
    EXPECT_EQ(link.peer->readAll().toStdString(), allBytes);

    link.peer->close();
    ASSERT_TRUE(waitUntil(link.loop, [&] { return link.peerCloses == 1; }));
    EXPECT_TRUE(link.errors.empty()) << "a close by the peer is no error";
    EXPECT_EQ(link.client.state(), number(SocketState::Closing));
    link.client.close();
    EXPECT_EQ(link.client.state(), number(SocketState::Closed));

    const quint16 unused = link.server.serverPort();
    link.server.close();
    link.client.connect("127.0.0.1", unused);
    ASSERT_TRUE(waitUntil(link.loop, [&] { return !link.errors.empty(); }));
    EXPECT_EQ(link.client.state(), number(SocketState::Error));
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

    // A server that never answers costs only the timeout.
    web.answer = false;
    QtEventLoop loop;
    const uint32_t start = loop.tickCount();
    EXPECT_EQ(http.get(web.url("/ip.html")), "");
    const uint32_t took = loop.tickCount() - start;
    EXPECT_GE(took, 350u);
    EXPECT_LT(took, 1500u);
}

TEST(MachineId, FoldsTheIdentifierToASignedDecimal) {
    const std::pair<const char*, const char*> rows[] = {{"80000000000000000000000000000000", "-2147483648"},
                                                        {"00000001000000020000000400000008\n", "15"},
                                                        {"", "0"}};
    for (const auto& [id, text] : rows)
        EXPECT_EQ(machineIdText(foldMachineId(id)), text) << id;

    QFile file("/etc/machine-id");
    if (!file.open(QIODevice::ReadOnly)) GTEST_SKIP() << "no /etc/machine-id here";
    QByteArray id = file.readAll();
    QtSystemServices system;
    EXPECT_EQ(system.machineId(), machineIdText(foldMachineId(id.toStdString())));
}

// A request left unaccepted is the stranger in the bridge's run against the server program.
TEST(QtTcpListener, AcceptsARequestAfterClosingAndCarriesBytesBothWays) {
    QtEventLoop loop;
    QtTcpListener listener;
    std::string received;
    int peerCloses = 0;
    listener.setEvents({[&](long) {
                            listener.close(); // the request outlives the closed listener
                            EXPECT_EQ(listener.state(), number(SocketState::Closed));
                            listener.accept();
                        },
                        [&] { ++peerCloses; }, [](const std::string&) {},
                        [&](std::size_t) { listener.readAll(received); }});
    EXPECT_THROW(listener.listen(0, "no address"), Failure);
    EXPECT_THROW(listener.send("x"), Failure);
    listener.listen(0, "127.0.0.1");
    const quint16 port = static_cast<quint16>(listener.localPort());
    EXPECT_EQ(listener.state(), number(SocketState::Listening));
    QtTcpListener second;
    EXPECT_THROW(second.listen(port, "127.0.0.1"), Failure); // the port is taken

    const std::string request = "USER;\xC4\x42\x43";
    QTcpSocket front;
    front.connectToHost(QHostAddress::LocalHost, port);
    front.write(request.c_str()); // sent before the accept: not lost
    ASSERT_TRUE(waitUntil(
        loop, [&] { return listener.state() == number(SocketState::Connected) && received.size() == 8; }));
    EXPECT_EQ(received, request);
    listener.send("WHOISIT\x80");
    ASSERT_TRUE(waitUntil(loop, [&] { return front.bytesAvailable() == 8; }));
    EXPECT_EQ(front.readAll(), QByteArray("WHOISIT\x80"));

    front.disconnectFromHost();
    ASSERT_TRUE(waitUntil(loop, [&] { return peerCloses == 1; }));
    EXPECT_EQ(listener.state(), number(SocketState::Closing));
    listener.close();
    EXPECT_EQ(listener.state(), number(SocketState::Closed));
    EXPECT_EQ(peerCloses, 1); // closing from this side raises no event
}

// A statement printed to a PDF file carries its heading and every line, over two pages.
TEST(QtPrinter, AStatementPrintedToPdfCarriesItsLines) {
    if (std::system("pdftotext -v >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    test::TempDir dir;
    WorkingDirectory folder(dir.root);
    std::vector<std::string> lines = {"Kontoauszug ACC9 vom 01.03.2024", "Gebühren 1,50 €"};
    for (int i = 1; i <= 120; ++i) // enough lines for a second page
        lines.push_back("Position " + std::to_string(i));
    writeTextLines(dir.root / "ACC920240301K.TXT", lines);

    const std::filesystem::path pdf = dir.root / "auszug.pdf";
    QtPrinter printer(QString::fromStdString(pdf.string()));
    test::FakeEventLoop loop;
    loop.setDateTime({2024, 3, 4, 14, 5, 9});
    TradingData data;
    TextList log;
    Statements statements(data, folder, loop, printer, log, nullptr);
    statements.fillStatementList();
    statements.showStatement(0);
    statements.print();
    EXPECT_TRUE(log.empty());

    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-enc", "UTF-8", QString::fromStdString(pdf.string()), "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(10000));
    const std::string text = pdftotext.readAllStandardOutput().toStdString();
    for (const std::string& expected : {std::string("Ausdruck vom 03-04-2024 14:05:09"), lines[0], lines[1],
                                        std::string("Position 120"), std::string(Statements::kEndLine)})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n--- in ---\n" << text;
    EXPECT_LT(text.find("Position 1\n"), text.find("Position 120"));
    EXPECT_NE(text.find('\f'), text.rfind('\f')); // more than one page
}

} // namespace
} // namespace kavex
