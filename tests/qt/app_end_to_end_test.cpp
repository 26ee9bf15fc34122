// The client program as a user starts it: `kavex` on the offscreen platform, in a fresh
// working directory whose settings name a demo player, against the demo server program
// on free loopback ports. The autostart countdown logs in by itself; the program shows
// the instruments with their prices and, when it ends, writes its settings and the
// price-history files.
#include "demo_server.h"

#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <filesystem>

namespace kavex {
namespace {

#if defined(KAVEX_SERVER_PROGRAM) && defined(KAVEX_CLIENT_PROGRAM)

TEST(ClientProgram, LogsInByAutostartShowsPricesAndSavesOnTheWay) {
    QtEventLoop loop;
    test::DemoServer server(loop);
    ASSERT_TRUE(server.start());
    QTemporaryDir clientDir;

    Settings settings;
    settings.userName = "demo1";
    settings.password = "demo";
    settings.serverHost = "127.0.0.1";
    settings.bridgePort = std::to_string(test::freePort()); // free, as other runs may be going on
    const std::filesystem::path folder = clientDir.path().toStdString();
    writeTextLines(folder / SettingsFile::kSettingsName, SettingsFile::settingsLines(settings));

    QProcess client;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    // In sanitizer builds, what the platform libraries keep until exit is not this test's business.
    const QString asan = env.value("ASAN_OPTIONS");
    env.insert("ASAN_OPTIONS", asan.isEmpty() ? "detect_leaks=0" : asan + ":detect_leaks=0");
    client.setProcessEnvironment(env);
    client.start(KAVEX_CLIENT_PROGRAM,
                 {"--workdir", clientDir.path(), "--port", QString::number(server.gamePort), "--discovery",
                  QString::fromStdString(server.discoveryUrl()), "--seconds", "10", "--print-grid"});
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
              (std::vector<std::string>{"\"demo1\"", "demo", settings.bridgePort}));
    for (int n = 1; n <= instruments + 1; ++n)
        EXPECT_EQ(std::filesystem::exists(folder / ("K" + std::to_string(n) + ".dat")), n <= instruments);
}

#endif

} // namespace
} // namespace kavex
