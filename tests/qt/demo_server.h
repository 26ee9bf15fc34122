#pragma once
// The demo game server program on loopback, and a real trading window in a fresh folder
// that logs in to it with the start-up dialogs answered at once.
#include "base/files.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_http_get.h"
#include "platform/qt/qt_tcp_client.h"
#include "support/client_parts.h"
#include "support/fakes.h"

#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

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

inline void pause(QtEventLoop& loop, uint32_t ms) {
    waitUntil(
        loop, [] { return false; }, ms);
}

inline quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

#ifdef KAVEX_SERVER_PROGRAM

// The server program in a folder of its own; `extra` adds command-line options.
class DemoServer {
  public:
    explicit DemoServer(QtEventLoop& loop) : loop_(loop) {}
    ~DemoServer() { kill(); }
    bool start(const QStringList& extra = {}) {
        process_ = std::make_unique<QProcess>();
        process_->setWorkingDirectory(folder_.path());
        process_->setProcessChannelMode(QProcess::MergedChannels);
        process_->start(KAVEX_SERVER_PROGRAM, QStringList{"--port", QString::number(gamePort), "--http-port",
                                                          QString::number(webPort)} +
                                                  extra);
        QByteArray output;
        return waitUntil(
            loop_,
            [&] {
                output += process_->readAll();
                return output.contains("discovery on");
            },
            5000);
    }
    // As a crash would: no goodbye to anyone.
    void kill() {
        if (!process_) return;
        process_->kill();
        process_->waitForFinished(3000);
        process_.reset();
    }
    std::string discoveryUrl() const { return "http://127.0.0.1:" + std::to_string(webPort) + "/"; }

    const quint16 gamePort = freePort();
    const quint16 webPort = freePort();

  private:
    QtEventLoop& loop_;
    QTemporaryDir folder_;
    std::unique_ptr<QProcess> process_;
};

#endif

// Confirms the credentials as they are and starts the autostart dialog at once.
struct ImmediateDialogs : DialogHost {
    void runModal(CredentialsDialog& d) override {
        ++credentialDialogs;
        d.confirm();
    }
    void runModal(AutostartDialog& d) override { d.start(); }
    int credentialDialogs = 0;
};

// The trading window on the Qt platform in a fresh working folder.
struct DemoClient {
    DemoClient(QtEventLoop& loop, const std::string& discoveryUrl) : loop(loop) {
        sites.primary = sites.mirror = discoveryUrl;
    }
    // Writes the settings of `user` (password "demo", adjusted by `change`), builds the
    // window (after `prepare` has seen the platform) and starts it. Discovery comes first,
    // so that the login goes to this test's server and to no other one on the default port.
    Client& start(const std::string& user, const std::function<void(Settings&)>& change = {},
                  const std::function<void(ClientPlatform&)>& prepare = {}) {
        Settings settings;
        settings.userName = user;
        settings.password = "demo";
        if (change) change(settings);
        writeTextLines(folder.path(SettingsFile::kSettingsName), SettingsFile::settingsLines(settings));
        ClientPlatform platform{loop,    socket,  http,   sound,   system,
                                prompts, dialogs, folder, "kavex", NumberLocale{'.'},
                                sites,   {}};
        if (prepare) prepare(platform);
        app = std::make_unique<Client>(platform);
        app->endProgram = [] {};
        if (beforeLoad) beforeLoad(*app);
        app->orderClient().discoverServer();
        app->load();
        return *app;
    }
    bool waitFor(const std::function<bool()>& condition, uint32_t ms = 10000) {
        return waitUntil(loop, condition, ms);
    }

    QtEventLoop& loop;
    QTemporaryDir dir;
    WorkingDirectory folder{dir.path().toStdString()};
    QtTcpClient socket;
    QtHttpGet http{2000};
    FakeSound sound;
    FakeSystemServices system;
    FakePrompts prompts;
    ImmediateDialogs dialogs;
    DiscoverySites sites;
    std::function<void(Client&)> beforeLoad; // runs between building and starting the window
    std::unique_ptr<Client> app;
};

} // namespace kavex::test
