#include "platform/qt/qt_tcp_listener.h"

#include "base/failure.h"
#include "platform/socket_state.h"

#include <QHostAddress>

namespace kavex {
namespace {

int number(SocketState state) {
    return static_cast<int>(state);
}

std::string addressText(const QHostAddress& address) {
    // A v4 peer of a v6 socket shows as ::ffff:a.b.c.d; the settings hold a.b.c.d.
    bool v4 = false;
    const quint32 ip = address.toIPv4Address(&v4);
    return (v4 ? QHostAddress(ip) : address).toString().toStdString();
}

} // namespace

QtTcpListener::QtTcpListener() {
    server_.setMaxPendingConnections(1);
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { onNewConnection(); });
    QObject::connect(&server_, &QTcpServer::acceptError, &server_, [this](QAbstractSocket::SocketError) {
        failed_ = true;
        if (events_.error) events_.error(server_.errorString().toStdString());
    });
}

QtTcpListener::~QtTcpListener() {
    events_ = {};
    dropConnection();
    delete pending_;
}

void QtTcpListener::listen(int port, const std::string& address) {
    if (port < 0 || port > 65535) throw Failure("Invalid argument");
    close();
    QHostAddress host(QHostAddress::Any);
    if (address != kAllInterfaces && !host.setAddress(QString::fromStdString(address)))
        throw Failure("Invalid address " + address);
    failed_ = false;
    if (!server_.listen(host, static_cast<quint16>(port))) {
        failed_ = true;
        throw Failure(server_.errorString().toStdString());
    }
}

void QtTcpListener::onNewConnection() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        socket->setParent(nullptr);
        pending_ = socket;
        if (events_.connectionRequest)
            skipOnFailure([&] { events_.connectionRequest(static_cast<long>(socket->socketDescriptor())); });
        if (pending_ == socket) {
            // Not accepted: dropped without a word.
            pending_ = nullptr;
            socket->abort();
            socket->deleteLater();
        }
    }
}

void QtTcpListener::accept() {
    if (!pending_) throw Failure("No connection request");
    server_.close();
    dropConnection();
    connection_ = pending_;
    pending_ = nullptr;
    peerClosed_ = failed_ = false;
    QObject::connect(connection_, &QTcpSocket::readyRead, connection_, [this] { onReadyRead(); });
    QObject::connect(connection_, &QTcpSocket::errorOccurred, connection_,
                     [this](QAbstractSocket::SocketError error) { onError(error); });
    if (connection_->bytesAvailable() > 0)
        QMetaObject::invokeMethod(
            connection_, [this] { onReadyRead(); }, Qt::QueuedConnection);
}

void QtTcpListener::dropConnection() {
    if (!connection_) return;
    QTcpSocket* socket = connection_;
    connection_ = nullptr;
    QObject::disconnect(socket, nullptr, nullptr, nullptr);
    socket->flush();
    socket->abort();
    socket->deleteLater();
}

void QtTcpListener::close() {
    // A pending request survives, so that a handler can stop listening and then accept it.
    server_.close();
    dropConnection();
    peerClosed_ = failed_ = false;
}

int QtTcpListener::state() const {
    if (connection_) {
        if (failed_) return number(SocketState::Error);
        if (peerClosed_) return number(SocketState::Closing);
        switch (connection_->state()) {
        case QAbstractSocket::ConnectedState:
            return number(SocketState::Connected);
        case QAbstractSocket::ClosingState:
            return number(SocketState::Closing);
        default:
            return number(SocketState::Closed);
        }
    }
    if (server_.isListening()) return number(SocketState::Listening);
    return failed_ ? number(SocketState::Error) : number(SocketState::Closed);
}

std::string QtTcpListener::remoteAddress() const {
    if (pending_) return addressText(pending_->peerAddress());
    if (connection_) return addressText(connection_->peerAddress());
    return {};
}

std::string QtTcpListener::localAddress() const {
    if (connection_) return addressText(connection_->localAddress());
    if (server_.isListening()) return addressText(server_.serverAddress());
    return "127.0.0.1";
}

int QtTcpListener::localPort() const {
    if (connection_) return connection_->localPort();
    return server_.isListening() ? server_.serverPort() : 0;
}

void QtTcpListener::send(std::string_view bytes) {
    if (!connection_ || connection_->state() != QAbstractSocket::ConnectedState)
        throw Failure("Socket is not connected");
    if (connection_->write(bytes.data(), static_cast<qint64>(bytes.size())) < 0)
        throw Failure(connection_->errorString().toStdString());
}

void QtTcpListener::readAll(std::string& out) {
    ++reads_;
    if (!connection_) return;
    QByteArray data = connection_->readAll();
    out.append(data.constData(), static_cast<std::size_t>(data.size()));
}

void QtTcpListener::onReadyRead() {
    // As on the server link: goes on while the handler reads and data is left.
    while (connection_ && events_.dataArrival && connection_->bytesAvailable() > 0) {
        unsigned readsBefore = reads_;
        skipOnFailure([&] { events_.dataArrival(static_cast<std::size_t>(connection_->bytesAvailable())); });
        if (reads_ == readsBefore) break;
    }
}

void QtTcpListener::onError(QAbstractSocket::SocketError error) {
    if (error == QAbstractSocket::RemoteHostClosedError) {
        peerClosed_ = true;
        if (events_.closedByPeer) events_.closedByPeer();
        return;
    }
    failed_ = true;
    if (events_.error && connection_) events_.error(connection_->errorString().toStdString());
}

} // namespace kavex
