#pragma once
// The bridge's listening socket on QTcpServer: one connection at a time, listening at
// one address or at all of them. Bytes pass unchanged (the bridge converts the code page).
//
// A connection request is the next socket the server has taken in: the request event
// runs while it waits, the handler may close the listener and accept it, and a request
// the handler leaves is dropped at once, unanswered. State numbers follow SocketState:
// 2 while listening, 7 while connected, 8 after the peer has closed, 9 after an error.
#include "platform/tcp_listener.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace kavex {

class QtTcpListener : public TcpListener {
  public:
    QtTcpListener();
    ~QtTcpListener() override;

    void setEvents(Events events) override { events_ = std::move(events); }
    // Throws Failure for a port outside 0..65535, an address that is not one, or one the
    // system refuses (in use, not an address of this machine).
    void listen(int port, const std::string& address) override;
    void accept() override;
    void close() override;
    int state() const override;
    std::string remoteAddress() const override;
    std::string localAddress() const override;
    int localPort() const override;
    void send(std::string_view bytes) override;
    void readAll(std::string& out) override;

  private:
    void onNewConnection();
    void onReadyRead();
    void onError(QAbstractSocket::SocketError error);
    void dropConnection();

    QTcpServer server_;
    QTcpSocket* pending_ = nullptr;
    QTcpSocket* connection_ = nullptr;
    Events events_;
    bool peerClosed_ = false;
    bool failed_ = false;
    unsigned reads_ = 0;
};

} // namespace kavex
