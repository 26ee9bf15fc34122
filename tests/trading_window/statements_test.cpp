#include "base/cp1252.h"
#include "base/files.h"
#include "model/trading_data.h"
#include "protocol/wire.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "trading_window/order_form.h"
#include "trading_window/statements.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
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
    TextList protocol;
    std::vector<int32_t> requested;
    Statements statements{data,    folder,   loop,
                          printer, protocol, [this](int32_t d) { requested.push_back(d); }};
};

TEST_F(StatementsTest, TheDropDownListsStatementFilesAndShowsOneOrAll) {
    file("ACC120240301K.TXT", {"Auszug Freitag", "Summe 1,5"});
    file("ACC120240304K.txt", {"Auszug Montag"});
    file("notes.txt", {"no statement"});
    statements.FillAuszug();
    EXPECT_EQ(statements.files.lines(), (Lines{"ACC120240301K.TXT", "ACC120240304K.txt"}));

    statements.Combo7_Click(1);
    EXPECT_EQ(statements.statement.lines(), (Lines{"Auszug Montag", Statements::kEndLine}));
    statements.Combo7_Click(0); // without "Anhängen" the list shows only the chosen statement
    EXPECT_EQ(statements.statement.lines(), (Lines{"Auszug Freitag", "Summe 1,5", Statements::kEndLine}));

    statements.Anhaengen_Click(true);
    EXPECT_EQ(statements.statement.lines(), (Lines{"Auszug Freitag", "Summe 1,5", Statements::kEndLine,
                                                   "Auszug Montag", Statements::kEndLine}));
    EXPECT_EQ(std::string(Statements::kEndLine), std::string(38, '-'));
    statements.Anhaengen_Click(false); // unticking changes nothing
    EXPECT_EQ(statements.statement.size(), 5u);
    EXPECT_TRUE(protocol.empty());
}

TEST_F(StatementsTest, AFileThatCannotBeReadLeavesTheListClearedAndIsLogged) {
    file("ACC120240301K.TXT", {"x"});
    statements.FillAuszug();
    statements.Combo7_Click(0);
    fs::remove(dir.root / "ACC120240301K.TXT");
    statements.Combo7_Click(0);
    EXPECT_TRUE(statements.statement.empty());
    EXPECT_EQ(protocol.lines(), (Lines{"F:Combo7_Click File not found"}));
}

TEST_F(StatementsTest, DeletingRemovesTheChosenFileAndRefillsTheDropDown) {
    file("ACC120240301K.TXT", {"a"});
    file("ACC120240304K.TXT", {"b"});
    statements.FillAuszug();
    statements.AuszugLoeschen_Click(); // nothing chosen: nothing deleted
    EXPECT_EQ(statements.files.size(), 2u);
    statements.Combo7_Click(0);
    statements.AuszugLoeschen_Click();
    EXPECT_EQ(statements.files.lines(), (Lines{"ACC120240304K.TXT"}));
    EXPECT_FALSE(fs::exists(dir.root / "ACC120240301K.TXT"));
}

TEST_F(StatementsTest, OnlyMissingWeekdaysAreRequested) {
    data.account.kontoText1 = "20240301"; // the Friday before
    statements.AuszuegeAnfordern_Click();
    EXPECT_EQ(requested, (std::vector<int32_t>{day(2024, 3, 1), day(2024, 3, 4)}));
    requested.clear();
    file(Statements::statementFileName("ACC1  ", day(2024, 3, 1)), {"x"});
    EXPECT_TRUE(fs::exists(dir.root / "ACC120240301K.TXT"));
    statements.AuszuegeAnfordern_Click();
    EXPECT_EQ(requested, (std::vector<int32_t>{day(2024, 3, 4)}));
}

TEST_F(StatementsTest, RequestsReachBackAtMostAHundredDays) {
    for (const char* start : {"20000101", "", "garbage"}) {
        SCOPED_TRACE(start);
        requested.clear();
        data.account.kontoText1 = start;
        statements.AuszuegeAnfordern_Click();
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
    statements.AuszuegeAnfordern_Click();
    EXPECT_EQ(requested, (std::vector<int32_t>{Statements::kFirstDay, Statements::kFirstDay + 1}));
}

TEST_F(StatementsTest, PrintingHasAHeaderAnEmptyLineAndTheListedLines) {
    file("ACC120240301K.TXT", {"Zeile 1", "Gebühr"});
    statements.FillAuszug();
    statements.Combo7_Click(0);
    statements.Drucken_Click();
    EXPECT_EQ(printer.lines,
              (Lines{"Ausdruck vom 03-04-2024 14:05:09", "", "Zeile 1", "Gebühr", Statements::kEndLine}));
    EXPECT_EQ(printer.documents, 1);
}

// The trading window end to end: executions fill the grid, a statement document fills
// the drop-down, and statement requests go to the server only while it is connected.
class StatementsInTradingWindow : public ::testing::Test {
  protected:
    StatementsInTradingWindow() {
        writeTextLines(dir.root / "Kavex.Ini", {"\"anna\"", "\"127.0.0.1\"", " 1 ", "\"\"", "\"\"", " 0 ", "",
                                                "", " 0 ", " 0 ", " 0 ", " 0 ", " 0 ", "pw", ""});
        loop.setDateTime({2024, 3, 4, 9, 0, 0});
        form = std::make_unique<OrderForm>(OrderFormPlatform{loop,
                                                             socket,
                                                             http,
                                                             sound,
                                                             system,
                                                             prompts,
                                                             dialogs,
                                                             folder,
                                                             "kavex",
                                                             NumberLocale{','},
                                                             {},
                                                             {},
                                                             &printer});
        form->endProgram = [] {};
        form->Form_Load();
    }
    void serverSends(const std::string& text) { socket.deliver(cp1252::fromUtf8(wire::frame(text))); }
    void at(int64_t ms, std::function<void()> action) {
        loop.startTimer(static_cast<int>(ms - loop.elapsedMs()), std::move(action), true);
    }
    void logIn() {
        at(5060, [this] { socket.acceptConnection(); });
        at(5070, [this] { serverSends("!;ID"); });
        at(5080, [this] { serverSends("!;USER"); });
        at(5090, [this] { serverSends("@UD=ACC9"); });
        at(5100, [this] { serverSends("@SI=SAP;DE0007164600;EUR;100;99.5;10;100.5;20;SAP SE;1;0;0"); });
        loop.advance(6000);
    }
    Lines sentTexts() const {
        Lines out;
        for (const std::string& s : socket.sent)
            out.push_back(s.substr(1, s.size() - 2));
        return out;
    }

    test::TempDir dir;
    WorkingDirectory folder{dir.root};
    test::FakeEventLoop loop;
    test::FakeTcpClient socket;
    test::FakeHttpGet http;
    test::FakeSound sound;
    test::FakeSystemServices system;
    test::FakePrompts prompts;
    test::FakePrinter printer;
    test::ScriptedDialogs dialogs{loop};
    std::unique_ptr<OrderForm> form;
};

TEST_F(StatementsInTradingWindow, ExecutionsDocumentsAndRequestsThroughTheServerLink) {
    Statements& statements = form->statements();
    form->data().account.kontoText1 = "20240301";
    statements.AuszuegeAnfordern_Click(); // not connected: nothing is sent
    EXPECT_TRUE(socket.sent.empty());

    logIn();
    serverSends("@SD=FILE=ACC920240301K.TXT;Auszug 01.03.2024;Summe 12,5");
    EXPECT_EQ(statements.files.lines(), (Lines{"ACC920240301K.TXT"}));
    socket.sent.clear();
    statements.AuszuegeAnfordern_Click();
    EXPECT_EQ(sentTexts(), (Lines{"@GKO=" + std::to_string(day(2024, 3, 4))}));

    serverSends("@EX=ACC9;O1;R1;1;EUR;X1;093000;BOT;10;100.5;1005;1.5;0");
    CellGrid& grid = form->executionGridCells();
    ASSERT_GE(grid.rows(), 3);
    EXPECT_EQ(grid.text(1, 1), "ENr1");
    EXPECT_EQ(grid.text(1, 4), "SAP");
    form->executionGrid().selectOrder(ExecutionGrid::NewestFirst);
    EXPECT_EQ(grid.rows(), 2);

    statements.Combo7_Click(0);
    statements.Drucken_Click();
    EXPECT_EQ(printer.lines.at(2), "Auszug 01.03.2024");
}

} // namespace
} // namespace kavex
