// The trading window on the Qt platform against the demo game server program: the
// transferred demo file is byte-identical to the server's own, executions are listed in
// the three orders, and a statement is asked for, shown and printed to a PDF.
// With KAVEX_SCREENSHOT_DIR set, the execution grid and the statement tab are saved there.
#include "base/files.h"
#include "community/file_transfer.h"
#include "demo_server.h"
#include "platform/qt/cell_grid_model.h"
#include "platform/qt/qt_http_get.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/qt_tcp_client.h"
#include "platform/qt/statements_panel.h"
#include "support/fakes.h"
#include "trading_window/order_form.h"

#include <QComboBox>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace kavex {
namespace {

#ifdef KAVEX_SERVER_PROGRAM

constexpr uint32_t kLimitMs = 10000;

std::string pdfText(const std::string& pdf) {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(("pdftotext -enc UTF-8 '" + pdf + "' -").c_str(), "r"),
                                               ::pclose);
    char buffer[4096];
    std::size_t n;
    while (pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
        out.append(buffer, n);
    return out;
}

std::vector<std::string> column(const CellGrid& grid, int col) {
    std::vector<std::string> out;
    for (int r = 1; r < grid.rows(); ++r)
        out.push_back(grid.text(r, col));
    return out;
}

TEST(StatementsServerRun, TransferExecutionsAndAPrintedStatement) {
    QtEventLoop loop;
    QTemporaryDir serverFolder, clientFolder;
    test::DemoServer server(loop, serverFolder.path());
    ASSERT_TRUE(server.start(KAVEX_SERVER_PROGRAM));

    WorkingDirectory folder(clientFolder.path().toStdString());
    Settings settings;
    settings.userName = "demo2";
    settings.password = "demo";
    writeTextLines(folder.path(SettingsFile::kSettingsName), SettingsFile::settingsLines(settings));
    DiscoverySites sites;
    sites.primary = "http://127.0.0.1:" + std::to_string(server.webPort) + "/";
    sites.mirror = sites.primary;
    QtTcpClient socket;
    QtHttpGet http{2000};
    test::FakeSound sound;
    test::FakeSystemServices system;
    test::FakePrompts prompts;
    test::ImmediateDialogs dialogs;
    const std::string pdf = folder.path("auszug.pdf").string();
    QtPrinter printer(QString::fromStdString(pdf));
    OrderForm form(OrderFormPlatform{loop,
                                     socket,
                                     http,
                                     sound,
                                     system,
                                     prompts,
                                     dialogs,
                                     folder,
                                     "kavex",
                                     NumberLocale{','},
                                     sites,
                                     {},
                                     &printer});
    form.endProgram = [] {};
    form.orderClient().Command1_Click();
    form.Form_Load();
    TradingData& data = form.data();
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return data.InstrumentCount() >= 2 && !data.account.kontoText1.empty(); }, kLimitMs));

    // The demo file arrives after the login messages and matches the server's original.
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return form.fileTransfer().stage() == 3; }, kLimitMs));
    const std::string original = folder.path("original.bin").string();
    ASSERT_EQ(std::system(("'" KAVEX_SERVER_PROGRAM "' --write-demo-file '" + original + "'").c_str()), 0);
    EXPECT_EQ(readFileBytes(folder.path("KAVEXDEMO.BIN")), readFileBytes(original));
    EXPECT_EQ(readFileBytes(folder.path("KAVEXDEMO.BIN")).size(), 16504u);

    // A buy of instrument 1 at the ask and a sell of instrument 2 at the bid, both at market.
    GridActions& actions = form.gridActions();
    auto trade = [&](int instrument, int logicalColumn) {
        actions.mouseDown(data.gridRows.SuchRow(instrument, RowInstrument),
                          form.columns().map(0, logicalColumn), false);
        actions.mouseDown(actions.lastInsertedRow(), form.columns().map(1, 10), false);
    };
    trade(1, 9);
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return data.executionList.count() >= 1; }, kLimitMs));
    trade(2, 8);
    ASSERT_TRUE(test::waitUntil(
        loop, [&] { return data.executionList.count() >= 2; }, kLimitMs));

    const CellGrid& grid = form.executionGridCells();
    EXPECT_EQ(column(grid, 1), (std::vector<std::string>{"ENr1", "", "ENr2", ""}));
    EXPECT_EQ(grid.text(1, 4), data.instruments.at(1).Ticker);
    EXPECT_EQ(grid.text(3, 4), data.instruments.at(2).Ticker);
    form.executionGrid().selectOrder(ExecutionGrid::OldestFirst);
    EXPECT_EQ(column(grid, 1), (std::vector<std::string>{"ENr1", "ENr2"}));
    form.executionGrid().selectOrder(ExecutionGrid::NewestFirst);
    EXPECT_EQ(column(grid, 1), (std::vector<std::string>{"ENr2", "ENr1"}));
    EXPECT_NE(grid.text(1, 10), "overnight");

    // The statement of the last weekday (today's on a weekday): asked for because its file
    // is missing, then shown and printed. The account opened today, so the start date is
    // moved a week back to have weekdays to ask for on a weekend too.
    Statements& statements = form.statements();
    StatementsPanel panel(statements);
    statements.FillAuszug();
    auto day = static_cast<int32_t>(dayNumber(loop.now()));
    const LocalDateTime weekBefore = fromDayNumber(day - 7);
    char start[16];
    std::snprintf(start, sizeof start, "%04d%02d%02d", weekBefore.year, weekBefore.month, weekBefore.day);
    data.account.kontoText1 = start;
    while (day % 7 == 0 || day % 7 == 1) // Saturday, Sunday
        --day;
    const std::string wanted = Statements::statementFileName(data.account.accountCode.str(), day);
    statements.AuszuegeAnfordern_Click();
    ASSERT_TRUE(test::waitUntil(
        loop,
        [&] {
            const auto& files = statements.files.lines();
            return std::find(files.begin(), files.end(), wanted) != files.end();
        },
        kLimitMs))
        << wanted;
    const auto& files = statements.files.lines();
    // Chosen in the drop-down as the user does.
    const int index = static_cast<int>(std::find(files.begin(), files.end(), wanted) - files.begin());
    EXPECT_EQ(panel.choice()->currentIndex(), -1);
    panel.choice()->setCurrentIndex(index);
    emit panel.choice()->activated(index);
    EXPECT_EQ(statements.selected(), index);
    ASSERT_GE(statements.statement.size(), 5u);
    EXPECT_EQ(statements.statement.back(), Statements::kEndLine);
    statements.Drucken_Click();
    const std::string text = pdfText(pdf);
    if (std::system("pdftotext -v >/dev/null 2>&1") == 0) {
        EXPECT_NE(text.find("Ausdruck vom "), std::string::npos) << text;
        EXPECT_NE(text.find(statements.statement.lines().front()), std::string::npos) << text;
    }

    const QByteArray dir = qgetenv("KAVEX_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        form.executionGrid().selectOrder(ExecutionGrid::ByInstrument);
        QTableView view;
        auto* model = new CellGridModel(form.executionGridCells(), &view);
        view.setModel(model);
        model->setView(&view);
        model->applyLayout(view);
        view.resize(1100, 200);
        view.grab().save(QString::fromLocal8Bit(dir) + "/execution_grid.png");
        panel.resize(900, 420);
        panel.grab().save(QString::fromLocal8Bit(dir) + "/statement_tab.png");
    }
}

#else

TEST(StatementsServerRun, NeedsTheDemoServerProgram) {
    GTEST_SKIP() << "kavex-server is not part of this build";
}

#endif

} // namespace
} // namespace kavex
