#include "platform/qt/qt_tcp_client.h"

#include "base/failure.h"
#include "platform/socket_state.h"

#include <QHostAddress>

namespace kavex {

QtTcpClient::QtTcpClient() {
    QObject::connect(&socket_, &QTcpSocket::connected, &socket_, [this] {
        if (events_.connected) events_.connected();
    });
    QObject::connect(&socket_, &QTcpSocket::readyRead, &socket_, [this] { onReadyRead(); });
    QObject::connect(&socket_, &QTcpSocket::errorOccurred, &socket_,
                     [this](QAbstractSocket::SocketError error) { onError(error); });
}

QtTcpClient::~QtTcpClient() {
    events_ = {};
    socket_.abort();
}

void QtTcpClient::close() {
    peerClosed_ = failed_ = false;
    if (socket_.state() == QAbstractSocket::UnconnectedState) return;
    socket_.flush();
    // At once, so that a new connect can follow directly.
    socket_.abort();
}

void QtTcpClient::connect(const std::string& host, int remotePort, int localPort) {
    if (remotePort < 0 || remotePort > 65535 || localPort < 0 || localPort > 65535)
        throw Failure("Invalid argument");
    close();
    if (localPort != 0 && !socket_.bind(QHostAddress::Any, static_cast<quint16>(localPort)))
        throw Failure(socket_.errorString().toStdString());
    socket_.connectToHost(QString::fromUtf8(host.data(), static_cast<qsizetype>(host.size())),
                          static_cast<quint16>(remotePort));
}

int QtTcpClient::state() const {
    auto s = [](SocketState state) { return static_cast<int>(state); };
    switch (socket_.state()) {
    case QAbstractSocket::UnconnectedState:
        return failed_       ? s(SocketState::Error)
               : peerClosed_ ? s(SocketState::Closing)
                             : s(SocketState::Closed);
    case QAbstractSocket::HostLookupState:
        return s(SocketState::ResolvingHost);
    case QAbstractSocket::ConnectingState:
        return s(SocketState::Connecting);
    case QAbstractSocket::ConnectedState:
        return peerClosed_ ? s(SocketState::Closing) : s(SocketState::Connected);
    case QAbstractSocket::BoundState:
        return s(SocketState::Open);
    case QAbstractSocket::ListeningState:
        return s(SocketState::Listening);
    case QAbstractSocket::ClosingState:
        return s(SocketState::Closing);
    }
    return s(SocketState::Error);
}

void QtTcpClient::send(std::string_view bytes) {
    if (socket_.state() != QAbstractSocket::ConnectedState) throw Failure("Socket is not connected");
    if (socket_.write(bytes.data(), static_cast<qint64>(bytes.size())) < 0)
        throw Failure(socket_.errorString().toStdString());
}

void QtTcpClient::readAll(std::string& out) {
    ++reads_;
    QByteArray data = socket_.readAll();
    out.append(data.constData(), static_cast<std::size_t>(data.size()));
}

void QtTcpClient::onReadyRead() {
    // Goes on while the handler keeps reading and data is left (see the header).
    while (events_.dataArrival && socket_.bytesAvailable() > 0) {
        unsigned readsBefore = reads_;
        skipOnFailure([&] { events_.dataArrival(static_cast<std::size_t>(socket_.bytesAvailable())); });
        if (reads_ == readsBefore) break;
    }
}

void QtTcpClient::onError(QAbstractSocket::SocketError error) {
    // The peer closing is a close event, not an error.
    if (error == QAbstractSocket::RemoteHostClosedError) {
        peerClosed_ = true;
        if (events_.closedByPeer) events_.closedByPeer();
        return;
    }
    failed_ = true;
    if (events_.error) events_.error(socket_.errorString().toStdString());
}

} // namespace kavex
