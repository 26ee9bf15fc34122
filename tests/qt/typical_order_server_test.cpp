// A typical order of the real trading window on the Qt platform against the demo game
// server program: an entry line edited in the cell editor, TRANSMIT, the reports through
// PreSubm., Submitted and Filled, the holding and the new result; the login lines and the
// lines logged for the order in their exact form. (Cancels run in the file-drop run.)
#include "base/numbers.h"
#include "base/split_fields.h"
#include "demo_server.h"

#include <gtest/gtest.h>

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

Lines fieldsOf(std::string_view text) {
    Fields f = SplitFields(text, ";", 100);
    Lines out;
    for (int i = 1; i <= f.count(); ++i)
        out.emplace_back(f[i]);
    return out;
}

TEST(TypicalOrderRun, LoginLinesTheWelcomeAndAMarketOrderFilledWithItsHoldingAndResult) {
    QtEventLoop loop;
    test::DemoServer server(loop);
    ASSERT_TRUE(server.start());
    std::vector<std::string> statusWhenLogged;
    test::DemoClient client(loop, server.discoveryUrl());
    writeFileAtomically(client.folder.path(OrderReports::kExecutionSoundFile), "RIFF");
    // The status label as each incoming line is logged, that is before its message is handled.
    client.beforeLoad = [&](Client& f) {
        f.orderClient().incoming().setObserver(
            [&](int) { statusWhenLogged.push_back(f.controls().statusLine.text()); });
    };
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
    const auto ud = static_cast<std::size_t>(welcome - login.begin()) + 1; // the line after "@WELCOME"
    // The outgoing list: the last order number, the instrument list line by line, then the
    // account figures of the login, one field a line.
    ASSERT_TRUE(client.waitFor([&] { return outgoing.size() >= 33; }));
    EXPECT_EQ(outgoing.lines()[0], "LI->0");
    EXPECT_TRUE(std::regex_match(outgoing.lines()[25], std::regex("\\d{8}"))) << outgoing.lines()[25];
    EXPECT_EQ(Lines(outgoing.lines().begin() + 26, outgoing.lines().begin() + 33),
              (Lines{"demo1", " 100000", " 0", " 0", "1", "1", " 0"}));
    EXPECT_EQ(app.controls().accountCodeLabel.text(), "UID:KV0001");
    // The welcome text, shown once "@WELCOME" was handled.
    ASSERT_GT(statusWhenLogged.size(), ud);
    EXPECT_EQ(statusWhenLogged[ud], "Willkommen beim Rozivodizez Demo-Server");

    // The order: an entry line from the Ask of instrument 1 on row 4, edited and transmitted.
    const std::size_t inBefore = incoming.size(), outBefore = outgoing.size();
    auto click = [&](int row, int set, int logical) {
        app.gridActions().mouseDown(row, app.columns().map(set, logical), false);
    };
    auto edit = [&](int logical, int item) {
        click(4, 1, logical);
        app.gridActions().chooseEditorItem(item);
    };
    auto statusCell = [&](int32_t userId) {
        const int32_t n = data.orderBook.findByOrderUserId(userId);
        const int row = n == 0 ? 0 : data.gridRows.findRow(n, RowOpenOrder);
        return row == 0 ? std::string() : grid.text(row, app.columns().map(1, 12));
    };
    click(2, 0, 9);
    edit(6, 1); // Stck: "2"
    click(4, 1, 7);
    const std::string limitText = app.gridActions().editor().items.at(12); // two steps above Last
    app.gridActions().chooseEditorItem(12);
    edit(9, 0); // Typ: "MKT"

    // The status cell of the order line as each report arrives, before it is handled.
    std::vector<std::string> states;
    incoming.setObserver([&](int) {
        const std::string s = statusCell(1);
        if (!s.empty() && (states.empty() || states.back() != s)) states.push_back(s);
    });
    click(4, 1, 10); // TRANSMIT
    EXPECT_EQ(outgoing.back(), "OUT:\x01@PO=KV0001;1;1;BUY ;MKT;2;" + limitText + "; 0;0;0\x02");

    auto holdingRow = [&]() -> const Position* {
        const int number = positionOf(data.positionIndex, 1);
        return number == 0 ? nullptr : &data.positionList.at(number);
    };
    ASSERT_TRUE(client.waitFor([&] { return holdingRow() != nullptr && holdingRow()->holding == 2; }));
    ASSERT_TRUE(client.waitFor([&] { return statusCell(1) == "Filled "; }));
    incoming.setObserver(nullptr);
    EXPECT_EQ(states, (Lines{"PreSubm.", "Submitted", "Filled "}));

    // The reports as the incoming list shows them: open, submitted, execution, filled, account.
    const Lines in = linesFrom(incoming, inBefore);
    ASSERT_GE(in.size(), 6u);
    EXPECT_TRUE(in[0].starts_with("IN:@OO=1;1;")) << in[0];
    std::smatch m;
    static const std::regex execution(
        "IN:@EX=KV0001;1;1;1;EUR;1;\\d{6};BUY;2; (\\d+(\\.5)?); (\\d+(\\.5)?); 5; 0");
    ASSERT_TRUE(std::regex_match(in[2], m, execution)) << in[2];
    const float price = std::stof(m[1]);
    EXPECT_EQ(std::stof(m[3]), 2 * 25 * price) << "amount: quantity x price x multiplier";
    ASSERT_TRUE(in[4].starts_with("IN:@SUD=")) << in[4];

    // Outgoing: the order sent, then the open order's and the account figures' fields one a line.
    const Lines out = linesFrom(outgoing, outBefore);
    Lines expected{outgoing.lines()[outBefore]};
    for (const std::string& field : fieldsOf(in[0].substr(7)))
        expected.push_back(field);
    for (const std::string& field : fieldsOf(in[5].substr(8)))
        expected.push_back(field);
    EXPECT_EQ(out, expected);
    EXPECT_EQ(expected.size(), 1u + 21u + 8u);

    // The holding in the Bestand cell, the open result at the last price in G/V.
    EXPECT_EQ(holdingRow()->sumCost, 2 * 25 * price);
    EXPECT_TRUE(client.waitFor([&] { return grid.text(2, app.columns().map(0, 14)) == "+2"; }));
    EXPECT_TRUE(client.waitFor([&] {
        const float last = data.instruments.at(1).Last;
        return grid.text(2, app.columns().map(0, 15)) == strSingle(2 * 25 * (last - price));
    })) << grid.text(2, app.columns().map(0, 15));

    const float today = parseSingle(fieldsOf(in[4].substr(8)).at(0));
    EXPECT_EQ(data.account.todayResult, today);
    EXPECT_EQ(app.controls().resultLabel.text().rfind("Heute +-: " + strSingleTrimmed(today) + " = ", 0), 0u)
        << app.controls().resultLabel.text();
    EXPECT_LT(today, 0) << "bought at the ask and paid the commission";

    EXPECT_EQ(app.executionGridCells().text(1, 4), "KDX");
    EXPECT_EQ(client.sound.played, Lines{client.folder.path(OrderReports::kExecutionSoundFile).string()});

    // No failure or unexpected line anywhere. A first run has no preset file yet; that is the
    // instrument list's failure line.
    for (const std::string& line : app.controls().log.lines())
        EXPECT_TRUE((!line.starts_with("F:") || line == "F:WS_SI File not found") &&
                    !line.starts_with("Keine Order"))
            << line;
    for (const std::string& line : incoming.lines())
        EXPECT_FALSE(line.starts_with("F:") || line.starts_with("Unbekannter Befehl:")) << line;
    // Only the server's welcome annotation was shown, with the time in front.
    static const std::regex annotation(
        "\\d\\d:\\d\\d:\\d\\d Willkommen demo1! Die Datei KAVEXDEMO.BIN wird übertragen\\.");
    for (const std::string& line : app.controls().messages.lines())
        EXPECT_TRUE(std::regex_match(line, annotation)) << line;
    EXPECT_TRUE(client.prompts.asked.empty());
}

#endif

} // namespace
} // namespace kavex
