// The bridge's listening socket on Qt over loopback: the address it listens at, refusals
// to listen or send, a request accepted after the listener closed, bytes both ways, the
// peer's close and the state numbers. (A request left unaccepted is the stranger in the
// bridge's run against the server program.)
#include "base/failure.h"
#include "demo_server.h"
#include "platform/qt/qt_tcp_listener.h"
#include "platform/socket_state.h"

#include <QTcpSocket>

#include <gtest/gtest.h>

namespace kavex {
namespace {

int number(SocketState s) {
    return static_cast<int>(s);
}

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
    EXPECT_EQ(listener.localAddress(), "127.0.0.1");
    EXPECT_EQ(listener.state(), number(SocketState::Closed));
    EXPECT_THROW(listener.listen(0, "no address"), Failure);
    EXPECT_THROW(listener.send("x"), Failure);
    listener.listen(0, "127.0.0.1");
    const quint16 port = static_cast<quint16>(listener.localPort());
    EXPECT_EQ(listener.state(), number(SocketState::Listening));
    QtTcpListener second;
    EXPECT_THROW(second.listen(port, "127.0.0.1"), Failure); // the port is taken

    auto wait = [&](const std::function<bool()>& condition) {
        return test::waitUntil(loop, condition, 3000);
    };
    const std::string request = "USER;\xC4\x42\x43";
    QTcpSocket front;
    front.connectToHost(QHostAddress::LocalHost, port);
    front.write(request.c_str()); // sent before the accept: not lost
    ASSERT_TRUE(
        wait([&] { return listener.state() == number(SocketState::Connected) && received.size() == 8; }));
    EXPECT_EQ(received, request);
    listener.send("WHOISIT\x80");
    ASSERT_TRUE(wait([&] { return front.bytesAvailable() == 8; }));
    EXPECT_EQ(front.readAll(), QByteArray("WHOISIT\x80"));

    front.disconnectFromHost();
    ASSERT_TRUE(wait([&] { return peerCloses == 1; }));
    EXPECT_EQ(listener.state(), number(SocketState::Closing));
    listener.close();
    EXPECT_EQ(listener.state(), number(SocketState::Closed));
    EXPECT_EQ(peerCloses, 1); // closing from this side raises no event
}

} // namespace
} // namespace kavex
