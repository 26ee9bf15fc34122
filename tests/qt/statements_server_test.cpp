// The trading window on the Qt platform against the demo game server program: the
// transferred demo file is byte-identical to the server's own, and a missing statement is
// asked for, arrives and is shown when chosen in the drop-down.
#include "community/file_transfer.h"
#include "demo_server.h"
#include "gui/statements_panel.h"

#include <QComboBox>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace kavex {
namespace {

#ifdef KAVEX_SERVER_PROGRAM

TEST(StatementsServerRun, TheDemoFileArrivesIntactAndAMissingStatementIsFetched) {
    QtEventLoop loop;
    test::DemoServer server(loop);
    ASSERT_TRUE(server.start());
    test::DemoClient client(loop, server.discoveryUrl());
    Client& app = client.start("demo2", {}, [](ClientPlatform& p) { p.locale = NumberLocale{','}; });
    TradingData& data = app.data();
    ASSERT_TRUE(
        client.waitFor([&] { return data.instrumentCount() >= 2 && !data.account.kontoText1.empty(); }));

    // The demo file arrives after the login messages and matches the server's original.
    ASSERT_TRUE(client.waitFor([&] { return app.fileTransfer().stage() == 3; }));
    const std::string original = client.folder.path("original.bin").string();
    ASSERT_EQ(std::system(("'" KAVEX_SERVER_PROGRAM "' --write-demo-file '" + original + "'").c_str()), 0);
    const std::string received = readFileBytes(client.folder.path("KAVEXDEMO.BIN"));
    EXPECT_EQ(received, readFileBytes(original));
    EXPECT_EQ(received.size(), 16504u);

    // The statement of the last weekday (today's on a weekday). The account opened today,
    // so the start date is moved a week back to have weekdays to ask for on a weekend too.
    Statements& statements = app.statements();
    StatementsPanel panel(statements);
    statements.fillStatementList();
    auto day = static_cast<int32_t>(dayNumber(loop.now()));
    data.account.kontoText1 = Statements::statementFileName("", day - 7).substr(0, 8); // its yyyymmdd
    while (day % 7 == 0 || day % 7 == 1)                                               // Saturday, Sunday
        --day;
    const std::string wanted = Statements::statementFileName(data.account.accountCode.str(), day);
    statements.AuszuegeAnfordern_Click();
    const auto& files = statements.files.lines();
    ASSERT_TRUE(client.waitFor([&] { return std::find(files.begin(), files.end(), wanted) != files.end(); }))
        << wanted;
    const int index = static_cast<int>(std::find(files.begin(), files.end(), wanted) - files.begin());
    EXPECT_EQ(panel.choice()->currentIndex(), -1);
    panel.choice()->setCurrentIndex(index);
    emit panel.choice()->activated(index);
    EXPECT_EQ(statements.selected(), index);
    ASSERT_GE(statements.statement.size(), 5u);
    EXPECT_EQ(statements.statement.back(), Statements::kEndLine);
}

#endif

} // namespace
} // namespace kavex
