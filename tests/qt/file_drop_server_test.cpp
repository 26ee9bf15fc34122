// The file-drop interface of the real trading window on the Qt platform against the demo
// game server program: a shell script drops request files, the server fills one order,
// and a second file cancels a working order by the number the first one listed.
#include "base/files.h"
#include "demo_server.h"
#include "platform/qt/qt_http_get.h"
#include "platform/qt/qt_tcp_client.h"
#include "support/fakes.h"
#include "trading_window/order_form.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace kavex {
namespace {

#ifdef KAVEX_SERVER_PROGRAM

namespace fs = std::filesystem;

// Runs a shell command in the folder, as a user's script would.
void shell(const QString& folder, const QString& command) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start("/bin/sh", {"-c", command});
    ASSERT_TRUE(p.waitForFinished(5000));
    ASSERT_EQ(p.exitCode(), 0);
}

// The order numbers of "KAVEXREM.ORD" by reference.
std::map<std::string, int> listedOrders(const fs::path& file) {
    std::map<std::string, int> ids;
    std::error_code ec;
    if (!fs::exists(file, ec)) return ids;
    static const std::regex line("\"([^\"]*)\";\\s*(-?[0-9]+)\\s*");
    for (const std::string& text : readTextLines(file)) {
        std::smatch m;
        if (std::regex_match(text, m, line)) ids[m[1]] = std::stoi(m[2]);
    }
    return ids;
}

TEST(FileDropServerRun, EchoedRequestsTradeAndCancelByTheListedNumber) {
    QtEventLoop loop;
    QTemporaryDir serverFolder, clientFolder;
    test::DemoServer server(loop, serverFolder.path());
    ASSERT_TRUE(server.start(KAVEX_SERVER_PROGRAM));

    const QString folderText = clientFolder.path();
    WorkingDirectory folder(folderText.toStdString());
    Settings settings;
    settings.userName = "demo1";
    settings.password = "demo";
    settings.asciiRemote = 1;
    writeTextLines(folder.path(SettingsFile::kSettingsName), SettingsFile::settingsLines(settings));

    QtTcpClient socket;
    QtHttpGet http{2000};
    test::FakeSound sound;
    test::FakeSystemServices system;
    test::FakePrompts prompts;
    test::ImmediateDialogs dialogs;
    DiscoverySites sites;
    sites.primary = "http://127.0.0.1:" + std::to_string(server.webPort) + "/";
    sites.mirror = sites.primary;
    OrderForm form(OrderFormPlatform{
        loop, socket, http, sound, system, prompts, dialogs, folder, "kavex", NumberLocale{'.'}, sites, {}});
    form.endProgram = [] {};
    form.orderClient().Command1_Click(); // the demo server's address from its discovery document
    form.Form_Load();
    TradingData& data = form.data();
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return data.InstrumentCount() > 0 && data.instruments.at(1).Bid > 0; }, 10000));
    ASSERT_TRUE(form.fileDrop().active());
    const std::string code = data.instruments.at(1).ZeltickerCode;
    const int farBelow = static_cast<int>(data.instruments.at(1).Bid / 2);

    shell(folderText, QString::fromStdString("echo '@PO;" + code + ";0;BUY;MKT;2;0;0;FILL1' > KAVEXREM.TXT"));
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return !fs::exists(folder.path(FileDrop::kRequestFile)); }, 5000));
    shell(folderText, QString::fromStdString("echo '@PO;" + code + ";0;BUY;LMT;1;" +
                                             std::to_string(farBelow) + ";0;WORK1' > KAVEXREM.TXT"));
    std::map<std::string, int> ids;
    ASSERT_TRUE(test::waitUntil(
        loop,
        [&] {
            ids = listedOrders(folder.path(FileDrop::kOrderIdFile));
            return ids.size() == 2;
        },
        5000));
    ASSERT_LT(ids["FILL1"], 0);
    ASSERT_LT(ids["WORK1"], 0);
    auto status = [&](int id) {
        int n = data.orderBook.findByOrderUserId(id);
        return n == 0 ? -1 : data.orderBook.at(n).status;
    };
    EXPECT_TRUE(test::waitUntil(
        loop, [&] { return status(ids["FILL1"]) == StatusFilled; }, 5000));
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return status(ids["WORK1"]) == StatusSubmitted; }, 5000));

    shell(folderText,
          QString::fromStdString("echo '@CO;" + std::to_string(ids["WORK1"]) + "' > KAVEXREM.TXT"));
    EXPECT_TRUE(test::waitUntil(
        loop, [&] { return status(ids["WORK1"]) == StatusCancelled; }, 5000));
    EXPECT_EQ(status(ids["FILL1"]), StatusFilled);

    // "@GL" closes the holding, as the GLATT button does.
    auto holding = [&] {
        int number = positionOf(data.PositionIndex, 1);
        return number == 0 ? 0 : data.positionList.at(number).holding;
    };
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return holding() > 0; }, 5000));
    shell(folderText, "echo '@GL' > KAVEXREM.TXT");
    EXPECT_TRUE(test::waitUntil(
        loop, [&] { return holding() == 0; }, 5000));

    const std::vector<std::string> protocolLines = readTextLines(folder.path(FileDrop::kProtocolFile));
    ASSERT_EQ(protocolLines.size(), 4u);
    EXPECT_TRUE(protocolLines[2].ends_with(" @CO;" + std::to_string(ids["WORK1"])));
    EXPECT_FALSE(fs::exists(folder.path(FileDrop::kWorkFile)));
    EXPECT_EQ(listedOrders(folder.path(FileDrop::kOrderIdFile)).size(),
              2u); // the closing order is the user's
}

#else

TEST(FileDropServerRun, NeedsTheDemoServerProgram) {
    GTEST_SKIP() << "kavex-server is not part of this build";
}

#endif

} // namespace
} // namespace kavex
