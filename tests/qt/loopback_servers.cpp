#include "loopback_servers.h"

#include "base/cp1252.h"
#include "protocol/wire.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <algorithm>
#include <memory>

namespace kavex::test {

LoopbackWebServer::LoopbackWebServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            auto request = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
                *request += socket->readAll();
                if (request->contains("\r\n\r\n")) serve(socket, *request);
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

void LoopbackWebServer::serve(QTcpSocket* socket, const QByteArray& request) {
    std::string path = request.split(' ').value(1).toStdString();
    requests.push_back(path);
    if (!answer) return;
    auto it = documents.find(path);
    bool found = it != documents.end();
    QByteArray body = found ? QByteArray::fromStdString(it->second) : QByteArray("Not found");
    socket->write("HTTP/1.1 " + QByteArray(found ? "200 OK" : "404 Not Found") +
                  "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
                  "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}

LoopbackGameServer::LoopbackGameServer(std::string instruments) : instruments_(std::move(instruments)) {
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { accept(); });
    QObject::connect(&heartbeat_, &QTimer::timeout, &heartbeat_, [this] {
        for (QTcpSocket* client : clients_)
            if (!silenced_.count(client)) send(client, "@=");
    });
    clock_.start();
    heartbeat_.start(200);
}

LoopbackGameServer::~LoopbackGameServer() {
    stop();
}

bool LoopbackGameServer::start(quint16 port) {
    if (!server_.listen(QHostAddress::LocalHost, port)) return false;
    port_ = server_.serverPort();
    return true;
}

void LoopbackGameServer::silenceOpenSessions() {
    silenced_.insert(clients_.begin(), clients_.end());
}

void LoopbackGameServer::stop() {
    server_.close();
    std::vector<QTcpSocket*> clients;
    clients.swap(clients_);
    silenced_.clear();
    for (QTcpSocket* client : clients) {
        client->disconnect();
        client->abort();
        client->deleteLater();
    }
}

void LoopbackGameServer::accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        ++sessions;
        acceptTimes.push_back(now());
        clients_.push_back(socket);
        auto buffer = std::make_shared<std::string>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            QByteArray bytes = socket->readAll();
            buffer->append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
            for (std::size_t end; (end = buffer->find(wire::kEnd)) != std::string::npos;) {
                std::size_t start = buffer->rfind(wire::kStart, end);
                std::string message = cp1252::toUtf8(buffer->substr(start + 1, end - start - 1));
                buffer->erase(0, end + 1);
                handle(socket, message);
            }
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
            ++closedByClient;
            clients_.erase(std::remove(clients_.begin(), clients_.end(), socket), clients_.end());
            silenced_.erase(socket);
            socket->deleteLater();
        });
        send(socket, "!;ID");
    }
}

void LoopbackGameServer::handle(QTcpSocket* socket, const std::string& message) {
    received.push_back(message);
    if (silenced_.count(socket)) return;
    if (message.starts_with("TTUSER=")) {
        send(socket, "!;USER");
    } else if (message.starts_with("@U=")) {
        std::size_t percent = message.find('%'), slash = message.find("/OCHD=");
        if (message.substr(percent + 1, slash - percent - 1) != password) {
            send(socket, "@MSG=FALSCHES PAßWORT");
            return;
        }
        send(socket, "@WELCOME");
        send(socket, "@SI=" + instruments_);
        send(socket, "~1;101.5;0.5;10;0.25;20");
    }
}

void LoopbackGameServer::send(QTcpSocket* socket, const std::string& utf8Message) {
    std::string bytes = cp1252::fromUtf8(wire::frame(utf8Message));
    socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

} // namespace kavex::test
