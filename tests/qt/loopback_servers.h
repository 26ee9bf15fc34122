#pragma once
// Small servers on 127.0.0.1 for the Qt tests: a web server for discovery documents
// and a game server that leads the login, sends the instruments and heartbeats, and
// can fall silent or go away.
#include <QElapsedTimer>
#include <QObject>
#include <QTcpServer>
#include <QTimer>

#include <map>
#include <set>
#include <string>
#include <vector>

class QTcpSocket;

namespace kavex::test {

class LoopbackWebServer {
  public:
    LoopbackWebServer();
    quint16 port() const { return server_.serverPort(); }
    std::map<std::string, std::string> documents; // path -> body (bytes as sent)
    std::vector<std::string> requests;            // paths asked for
    bool answer = true;                           // false: accept, read, never answer

  private:
    void serve(QTcpSocket* socket, const QByteArray& request);
    QTcpServer server_;
};

class LoopbackGameServer {
  public:
    explicit LoopbackGameServer(std::string instruments);
    ~LoopbackGameServer();

    bool start(quint16 port = 0); // 0: any free port
    quint16 port() const { return port_; }
    // Goes away as a killed server would: stops listening and drops every connection.
    void stop();

    // The sessions open now get no more heartbeats or answers; later ones are served.
    void silenceOpenSessions();
    // Milliseconds on the server's own clock.
    qint64 now() const { return clock_.elapsed(); }

    std::vector<std::string> received; // message texts from clients, in order (UTF-8)
    int sessions = 0;                  // connections accepted so far
    std::vector<qint64> acceptTimes;   // now() of each accept
    int closedByClient = 0;
    std::string password = "geheim";

  private:
    void accept();
    void handle(QTcpSocket* socket, const std::string& message);
    void send(QTcpSocket* socket, const std::string& utf8Message);

    QTcpServer server_;
    QTimer heartbeat_;
    QElapsedTimer clock_;
    std::set<QTcpSocket*> silenced_;
    quint16 port_ = 0;
    std::string instruments_;
    std::vector<QTcpSocket*> clients_;
};

} // namespace kavex::test
