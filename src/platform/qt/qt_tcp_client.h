#pragma once
// The server link on QTcpSocket. Bytes go to and from the socket unchanged (the
// callers convert between UTF-8 and the wire code page); nothing passes through
// QString.
//
// State numbers follow SocketState: after the peer has closed the state is 8 and after
// an error 9, until the socket is closed or connected again.
//
// Qt does not report new data while a data-arrival handler is still running (a handler
// that processes pending events, say); data that came in meanwhile is delivered as a
// further arrival as soon as the handler returns, so nothing waits for the next packet.
#include "platform/tcp_client.h"

#include <QTcpSocket>

namespace kavex {

class QtTcpClient : public TcpClient {
  public:
    QtTcpClient();
    ~QtTcpClient() override;

    void setEvents(Events events) override { events_ = std::move(events); }
    void close() override;
    // Throws Failure for a port outside 0..65535.
    void connect(const std::string& host, int remotePort, int localPort = 0) override;
    int state() const override;
    void send(std::string_view bytes) override;
    void readAll(std::string& out) override;

  private:
    void onReadyRead();
    void onError(QAbstractSocket::SocketError error);

    QTcpSocket socket_;
    Events events_;
    bool peerClosed_ = false;
    bool failed_ = false;
    unsigned reads_ = 0;
};

} // namespace kavex
