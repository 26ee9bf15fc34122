// The statements tab: listing, showing, appending and deleting statement
// files, and which days are requested from the server.
#include "base/files.h"
#include "model/trading_data.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "views/statements.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kavex {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

int32_t day(int y, int m, int d) {
    return static_cast<int32_t>(dayNumber({y, m, d}));
}

class StatementsTest : public ::testing::Test {
  protected:
    StatementsTest() {
        data.account.accountCode = "ACC1";
        loop.setDateTime({2024, 3, 4, 14, 5, 9}); // a Monday
    }
    void file(const std::string& name, const Lines& lines) { writeTextLines(dir.root / name, lines); }

    test::TempDir dir;
    WorkingDirectory folder{dir.root};
    test::FakeEventLoop loop;
    test::FakePrinter printer;
    TradingData data;
    TextList log;
    std::vector<int32_t> requested;
    Statements statements{data, folder, loop, printer, log, [this](int32_t d) { requested.push_back(d); }};
};

TEST_F(StatementsTest, TheDropDownListsStatementFilesShowsOneOrAllAndDeletesTheChosenOne) {
    file("ACC120240301K.TXT", {"Auszug Freitag", "Summe 1,5"});
    file("ACC120240304K.txt", {"Auszug Montag"});
    file("notes.txt", {"no statement"});
    statements.fillStatementList();
    EXPECT_EQ(statements.files.lines(), (Lines{"ACC120240301K.TXT", "ACC120240304K.txt"}));

    statements.showStatement(1);
    statements.showStatement(0); // without "Anhängen" the list shows only the chosen statement
    EXPECT_EQ(statements.statement.lines(), (Lines{"Auszug Freitag", "Summe 1,5", Statements::kEndLine}));
    statements.setAppendAll(true);
    EXPECT_EQ(statements.statement.lines(), (Lines{"Auszug Freitag", "Summe 1,5", Statements::kEndLine,
                                                   "Auszug Montag", Statements::kEndLine}));
    EXPECT_TRUE(log.empty());

    statements.deleteStatement(); // deletes the statement shown last
    EXPECT_EQ(statements.files.lines(), (Lines{"ACC120240301K.TXT"}));
    EXPECT_FALSE(fs::exists(dir.root / "ACC120240304K.txt"));
}

TEST_F(StatementsTest, NothingChosenDeletesNothingAndAFileThatCannotBeReadClearsTheListAndIsLogged) {
    file("ACC120240301K.TXT", {"a"});
    statements.fillStatementList();
    statements.deleteStatement();
    EXPECT_TRUE(fs::exists(dir.root / "ACC120240301K.TXT"));
    statements.showStatement(0);
    fs::remove(dir.root / "ACC120240301K.TXT");
    statements.showStatement(0);
    EXPECT_TRUE(statements.statement.empty());
    EXPECT_EQ(log.lines(), (Lines{"F:Combo7_Click File not found"}));
}

TEST_F(StatementsTest, RequestsReachBackAtMostAHundredDays) {
    for (const char* start : {"20000101", "", "garbage"}) {
        SCOPED_TRACE(start);
        requested.clear();
        data.account.kontoText1 = start;
        statements.requestStatements();
        ASSERT_FALSE(requested.empty());
        // 100 days back is Saturday 25 November; the weekend is skipped.
        EXPECT_EQ(requested.front(), day(2023, 11, 27));
        EXPECT_EQ(requested.back(), day(2024, 3, 4));
        EXPECT_EQ(requested.size(), 71u); // 101 days less 15 weekends
    }
    // Before the first trading day of the game nothing is asked for.
    loop.setDateTime({2004, 9, 21, 10, 0, 0});
    data.account.kontoText1 = "20040101";
    requested.clear();
    statements.requestStatements();
    EXPECT_EQ(requested, (std::vector<int32_t>{Statements::kFirstDay, Statements::kFirstDay + 1}));
}

} // namespace
} // namespace kavex
