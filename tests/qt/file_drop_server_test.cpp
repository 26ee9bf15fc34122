// The file-drop interface of the real trading window on the Qt platform against the demo
// game server program: a shell script drops request files, the server fills one order,
// and a second file cancels a working order by the number the first one listed.
#include "demo_server.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace kavex {
namespace {

#ifdef KAVEX_SERVER_PROGRAM

namespace fs = std::filesystem;

// Runs a shell command in the folder, as a user's script would.
void shell(const WorkingDirectory& folder, const std::string& command) {
    QProcess p;
    p.setWorkingDirectory(QString::fromStdString(folder.root().string()));
    p.start("/bin/sh", {"-c", QString::fromStdString(command)});
    ASSERT_TRUE(p.waitForFinished(5000));
    ASSERT_EQ(p.exitCode(), 0);
}

// The order numbers of "KAVEXREM.ORD" by reference.
std::map<std::string, int> listedOrders(const fs::path& file) {
    std::map<std::string, int> ids;
    if (!fs::exists(file)) return ids;
    static const std::regex line("\"([^\"]*)\";\\s*(-?[0-9]+)\\s*");
    for (const std::string& text : readTextLines(file)) {
        std::smatch m;
        if (std::regex_match(text, m, line)) ids[m[1]] = std::stoi(m[2]);
    }
    return ids;
}

TEST(FileDropServerRun, EchoedRequestsTradeAndCancelByTheListedNumber) {
    QtEventLoop loop;
    test::DemoServer server(loop);
    ASSERT_TRUE(server.start());
    test::DemoClient client(loop, server.discoveryUrl());
    Client& app = client.start("demo1", [](Settings& s) { s.asciiRemote = 1; });
    const WorkingDirectory& folder = client.folder;
    TradingData& data = app.data();
    ASSERT_TRUE(client.waitFor([&] { return data.instrumentCount() > 0 && data.instruments.at(1).Bid > 0; }));
    ASSERT_TRUE(app.fileDrop().active());
    const std::string code = data.instruments.at(1).ZeltickerCode;
    const int farBelow = static_cast<int>(data.instruments.at(1).Bid / 2);

    shell(folder, "echo '@PO;" + code + ";0;BUY;MKT;2;0;0;FILL1' > KAVEXREM.TXT");
    ASSERT_TRUE(client.waitFor([&] { return !fs::exists(folder.path(FileDrop::kRequestFile)); }));
    shell(folder,
          "echo '@PO;" + code + ";0;BUY;LMT;1;" + std::to_string(farBelow) + ";0;WORK1' > KAVEXREM.TXT");
    std::map<std::string, int> ids;
    ASSERT_TRUE(client.waitFor([&] {
        ids = listedOrders(folder.path(FileDrop::kOrderIdFile));
        return ids.size() == 2;
    }));
    ASSERT_LT(ids["WORK1"], 0);
    auto status = [&](int id) {
        int n = data.orderBook.findByOrderUserId(id);
        return n == 0 ? -1 : data.orderBook.at(n).status;
    };
    EXPECT_TRUE(client.waitFor([&] { return status(ids["FILL1"]) == StatusFilled; }));
    ASSERT_TRUE(client.waitFor([&] { return status(ids["WORK1"]) == StatusSubmitted; }));

    shell(folder, "echo '@CO;" + std::to_string(ids["WORK1"]) + "' > KAVEXREM.TXT");
    EXPECT_TRUE(client.waitFor([&] { return status(ids["WORK1"]) == StatusCancelled; }));

    // "@GL" closes the holding, as the GLATT button does.
    auto holding = [&] {
        int number = positionOf(data.positionIndex, 1);
        return number == 0 ? 0 : data.positionList.at(number).holding;
    };
    ASSERT_TRUE(client.waitFor([&] { return holding() > 0; }));
    shell(folder, "echo '@GL' > KAVEXREM.TXT");
    EXPECT_TRUE(client.waitFor([&] { return holding() == 0; }));

    EXPECT_EQ(readTextLines(folder.path(FileDrop::kProtocolFile)).size(), 4u);
    EXPECT_EQ(listedOrders(folder.path(FileDrop::kOrderIdFile)).size(), 2u)
        << "the closing order is the user's";
}

#endif

} // namespace
} // namespace kavex
