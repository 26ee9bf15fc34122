#pragma once
// The demo game server program on loopback for end-to-end runs of the trading window on
// the Qt platform, and a dialog host that answers the start-up dialogs at once.
#include "dialogs/login_dialogs.h"
#include "platform/qt/qt_event_loop.h"

#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>

#include <functional>
#include <memory>

namespace kavex::test {

inline bool waitUntil(QtEventLoop& loop, const std::function<bool()>& condition, uint32_t limitMs) {
    const uint32_t start = loop.tickCount();
    while (!condition()) {
        if (loop.tickCount() - start > limitMs) return false;
        loop.waitForEvents(20);
    }
    return true;
}

inline quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

class DemoServer {
  public:
    DemoServer(QtEventLoop& loop, const QString& folder) : loop_(loop), folder_(folder) {}
    ~DemoServer() {
        if (!process_) return;
        process_->kill();
        process_->waitForFinished(3000);
    }
    bool start(const QString& program) {
        process_ = std::make_unique<QProcess>();
        process_->setWorkingDirectory(folder_);
        process_->setProcessChannelMode(QProcess::MergedChannels);
        process_->start(program,
                        {"--port", QString::number(gamePort), "--http-port", QString::number(webPort)});
        QByteArray output;
        return waitUntil(
            loop_,
            [&] {
                output += process_->readAll();
                return output.contains("discovery on");
            },
            5000);
    }
    const quint16 gamePort = freePort();
    const quint16 webPort = freePort();

  private:
    QtEventLoop& loop_;
    QString folder_;
    std::unique_ptr<QProcess> process_;
};

// Confirms the credentials as they are and starts the autostart dialog at once.
struct ImmediateDialogs : DialogHost {
    void runModal(GibPW& d) override { d.OK_Click(); }
    void runModal(FTimer& d) override { d.Start_Click(); }
};

} // namespace kavex::test
