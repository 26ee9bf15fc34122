// A typical order of the real trading window on the Qt platform against the demo game
// server program: the login lines in their exact form, an entry line edited in the cell
// editor, TRANSMIT, the reports in their order and the holding; then the welcome file,
// byte-identical to the server's own, and a missing statement asked for, received and shown. (Cancels run in
// the file-drop run.)
#include "demo_server.h"
#include "gui/statements_panel.h"

#include <QComboBox>

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

namespace kavex {
namespace {

#ifdef KAVEX_SERVER_PROGRAM

using Lines = std::vector<std::string>;

// The lines of `list` from `first` on, heartbeats left out.
Lines linesFrom(const TextList& list, std::size_t first) {
    Lines out;
    for (std::size_t i = first; i < list.size(); ++i) {
        const std::string& line = list.lines()[i];
        if (line != "IN:@HB" && line != "IN:@Heartbeat" && line != "IN:!;HB" && line != "Heartbeat")
            out.push_back(line);
    }
    return out;
}

TEST(TypicalOrderRun, LoginLinesAMarketOrderFilledTheWelcomeFileAndAFetchedStatement) {
    QtEventLoop loop;
    test::DemoServer server(loop);
    ASSERT_TRUE(server.start());
    test::DemoClient client(loop, server.discoveryUrl());
    Client& app = client.start("demo1");
    TradingData& data = app.data();
    CellGrid& grid = app.orderGridCells();
    TextList& incoming = app.orderClient().incoming();
    TextList& outgoing = app.orderClient().outgoing();
    ASSERT_TRUE(
        client.waitFor([&] { return data.instrumentCount() > 0 && data.instruments.at(1).Last > 0; }));
    // The login burst ends with the welcome file transfer.
    ASSERT_TRUE(client.waitFor([&] { return incoming.contains("IN:@FIE=DEMO1"); }));

    const Lines& login = incoming.lines();
    const auto welcome = std::find(login.begin(), login.end(), "IN:@WELCOME");
    ASSERT_GE(login.end() - welcome, 3);
    EXPECT_EQ(Lines(login.begin(), welcome + 3),
              (Lines{"WS connected!", "IN:!;ID", "ID", "OUT:demo1", "IN:!;USER", "Server verlangt USER",
                     "OUT:demo1", "IN:@WELCOME", "IN:@UD=KV0001", "IN:@LI=0"}));

    // The order: an entry line from the Ask of instrument 1 on row 4, edited and transmitted.
    const std::size_t inBefore = incoming.size();
    auto click = [&](int row, int set, int logical) {
        app.gridActions().mouseDown(row, app.columns().map(set, logical), false);
    };
    click(2, 0, 9);
    click(4, 1, 6);
    app.gridActions().chooseEditorItem(1); // Stck: "2"
    click(4, 1, 7);
    const std::string limitText = app.gridActions().editor().items.at(12); // two steps above Last
    app.gridActions().chooseEditorItem(12);
    click(4, 1, 9);
    app.gridActions().chooseEditorItem(0); // Typ: "MKT"

    click(4, 1, 10); // TRANSMIT
    EXPECT_EQ(outgoing.back(), "OUT:\x01@PO=KV0001;1;1;BUY ;MKT;2;" + limitText + "; 0;0;0\x02");
    ASSERT_TRUE(client.waitFor([&] { return grid.text(2, app.columns().map(0, 14)) == "+2"; }));
    ASSERT_TRUE(client.waitFor([&] { return linesFrom(incoming, inBefore).size() >= 5; }));

    // The reports as the incoming list shows them: open, submitted, execution, filled, account.
    const Lines in = linesFrom(incoming, inBefore);
    EXPECT_TRUE(in[0].starts_with("IN:@OO=1;1;")) << in[0];
    std::smatch m;
    static const std::regex execution(
        "IN:@EX=KV0001;1;1;1;EUR;1;\\d{6};BUY;2; (\\d+(\\.5)?); (\\d+(\\.5)?); 5; 0");
    ASSERT_TRUE(std::regex_match(in[2], m, execution)) << in[2];
    const float price = std::stof(m[1]);
    EXPECT_EQ(std::stof(m[3]), 2 * 25 * price) << "amount: quantity x price x multiplier";
    EXPECT_TRUE(in[4].starts_with("IN:@SUD=")) << in[4];

    // The welcome file matches the server's original.
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
    statements.requestStatements();
    const auto& files = statements.files.lines();
    ASSERT_TRUE(client.waitFor([&] { return std::find(files.begin(), files.end(), wanted) != files.end(); }))
        << wanted;
    const int index = static_cast<int>(std::find(files.begin(), files.end(), wanted) - files.begin());
    panel.choice()->setCurrentIndex(index);
    emit panel.choice()->activated(index);
    EXPECT_EQ(statements.selected(), index);
    ASSERT_GE(statements.statement.size(), 5u);
    EXPECT_EQ(statements.statement.back(), Statements::kEndLine);

    // No failure or unexpected line anywhere. A first run has no preset file yet; that is the
    // instrument list's failure line.
    for (const std::string& line : app.controls().log.lines())
        EXPECT_TRUE((!line.starts_with("F:") || line == "F:WS_SI File not found") &&
                    !line.starts_with("Keine Order"))
            << line;
    for (const std::string& line : incoming.lines())
        EXPECT_FALSE(line.starts_with("F:") || line.starts_with("Unbekannter Befehl:")) << line;
    // Only the welcome, the server's welcome annotation and the order's notes were shown,
    // with the time in front.
    static const std::regex shown("\\d\\d:\\d\\d:\\d\\d (Willkommen demo1! Die Datei KAVEXDEMO.BIN wird "
                                  "übertragen\\.|Order 1 (platziert|ausgeführt): KDX BUY 2 MKT( zu [0-9.]+)?)");
    for (const std::string& line : app.controls().messages.lines())
        EXPECT_TRUE(line == "Willkommen beim Rozivodizez Demo-Server" || std::regex_match(line, shown))
            << line;
    EXPECT_TRUE(client.prompts.asked.empty());
}

#endif

} // namespace
} // namespace kavex
