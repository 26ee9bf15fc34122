// The client program as a user starts it: `kavex` on the offscreen platform, in a fresh
// working directory whose settings name a demo player, against the demo server program
// on free loopback ports. The autostart countdown logs in by itself; the program shows
// the instruments with their prices and, when it ends, writes its settings and the
// price-history files.
#include "demo_server.h"

#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

namespace kavex {
namespace {

#if defined(KAVEX_SERVER_PROGRAM) && defined(KAVEX_CLIENT_PROGRAM)

// A client program in a fresh folder of its own, logged in as `user`.
struct ClientRun {
    ClientRun(const test::DemoServer& server, const std::string& user, const QStringList& extra) {
        Settings settings;
        settings.userName = user;
        settings.password = "demo";
        settings.serverHost = "127.0.0.1";
        settings.bridgePort = bridgePort; // free, as other runs may be going on
        writeTextLines(folder() / SettingsFile::kSettingsName, SettingsFile::settingsLines(settings));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        const QString asan = env.value("ASAN_OPTIONS");
        env.insert("ASAN_OPTIONS", asan.isEmpty() ? "detect_leaks=0" : asan + ":detect_leaks=0");
        process.setProcessEnvironment(env);
        process.start(KAVEX_CLIENT_PROGRAM,
                      QStringList{"--workdir", dir.path(), "--port", QString::number(server.gamePort),
                                  "--discovery", QString::fromStdString(server.discoveryUrl())} +
                          extra);
    }
    std::filesystem::path folder() const { return dir.path().toStdString(); }
    std::vector<std::string> lines(const std::string& name) const { return readTextLines(folder() / name); }

    const std::string bridgePort = std::to_string(test::freePort());
    QTemporaryDir dir;
    QProcess process;
};

TEST(ClientProgram, LogsInByAutostartShowsPricesAndSavesOnTheWay) {
    QtEventLoop loop;
    test::DemoServer server(loop);
    ASSERT_TRUE(server.start());
    ClientRun run(server, "demo1", {"--seconds", "10", "--print-grid"});
    QProcess& client = run.process;
    const std::filesystem::path folder = run.folder();
    ASSERT_TRUE(client.waitForFinished(40000)) << client.readAllStandardError().toStdString();
    EXPECT_EQ(client.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(client.exitCode(), 0);

    // The grid as shown before the end: every instrument row has a bid and an ask.
    const QStringList rows = QString::fromUtf8(client.readAllStandardOutput()).split('\n');
    int quoted = 0, instruments = 0;
    for (const QString& row : rows) {
        const QStringList c = row.split(" | ");
        if (c.size() < 10 || c[1].isEmpty() || c[1].compare("Ticker", Qt::CaseInsensitive) == 0) continue;
        ++instruments;
        const double bid = c[8].trimmed().toDouble(), ask = c[9].trimmed().toDouble();
        if (bid > 0 && ask >= bid) ++quoted;
    }
    EXPECT_GT(instruments, 0);
    EXPECT_EQ(quoted, instruments);

    // On the way out: the settings as they were, and one history file per instrument.
    const std::vector<std::string> ini = readTextLines(folder / SettingsFile::kSettingsName);
    EXPECT_EQ((std::vector<std::string>{ini.at(0), ini.at(13), ini.at(21)}),
              (std::vector<std::string>{"\"demo1\"", "demo", run.bridgePort}));
    for (int n = 1; n <= instruments + 1; ++n)
        EXPECT_EQ(std::filesystem::exists(folder / ("K" + std::to_string(n) + ".dat")), n <= instruments);
}


// SIGTERM, SIGINT and SIGHUP save exactly what "ENDE" saves, and the program ends with
// code 0. A second signal that comes during the save waits for it: the files are written
// once and whole, and no temporary of the save is left.
TEST(ClientProgram, ASignalSavesSettingsPresetsAndHistoriesAsEndeDoes) {
    QtEventLoop loop;
    test::DemoServer server(loop);
    ASSERT_TRUE(server.start());
    ClientRun ende(server, "demo1", {"--seconds", "10"}); // closes its window as "ENDE" does
    ClientRun term(server, "demo2", {});
    ClientRun interrupt(server, "demo3", {});
    ClientRun hangup(server, "demo4", {});
    test::pause(loop, 10000); // past the autostart countdown, with prices flowing
    ::kill(static_cast<pid_t>(term.process.processId()), SIGTERM);
    ::kill(static_cast<pid_t>(interrupt.process.processId()), SIGINT);
    ::kill(static_cast<pid_t>(hangup.process.processId()), SIGHUP);
    test::pause(loop, 5);
    ::kill(static_cast<pid_t>(term.process.processId()), SIGTERM);
    ::kill(static_cast<pid_t>(hangup.process.processId()), SIGINT);

    std::vector<std::string> endeIni;
    std::string endePresets;
    int instruments = 0;
    for (ClientRun* run : {&ende, &term, &interrupt, &hangup}) {
        ASSERT_TRUE(run->process.waitForFinished(40000));
        EXPECT_EQ(std::make_pair(run->process.exitStatus(), run->process.exitCode()),
                  std::make_pair(QProcess::NormalExit, 0))
            << run->process.readAllStandardError().toStdString();
        std::vector<std::string> ini = run->lines(SettingsFile::kSettingsName);
        ASSERT_EQ(ini.size(), 24u);
        EXPECT_EQ(ini[14], "kavex.col");
        ini[0] = ini[21] = ""; // the user and the bridge port differ by design
        const std::string presets = readFileBytes(run->folder() / SettingsFile::kPresetName);
        if (run == &ende) {
            endeIni = ini;
            endePresets = presets;
            while (std::filesystem::exists(ende.folder() / ("K" + std::to_string(instruments + 1) + ".dat")))
                ++instruments;
            EXPECT_GT(instruments, 0);
            EXPECT_EQ(std::count(presets.begin(), presets.end(), '\n'), 5 * instruments);
        }
        EXPECT_EQ(ini, endeIni);
        EXPECT_EQ(presets, endePresets);
        for (int n = 1; n <= instruments + 1; ++n) {
            const std::string name = "K" + std::to_string(n) + ".dat";
            if (n > instruments)
                EXPECT_FALSE(std::filesystem::exists(run->folder() / name));
            else
                EXPECT_EQ(run->lines(name).size(), 3000u) << name;
        }
        for (const auto& entry : std::filesystem::directory_iterator(run->folder()))
            EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << entry.path();
    }
}

#endif

} // namespace
} // namespace kavex
