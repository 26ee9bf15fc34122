// A typical order of the real trading window on the Qt platform against the demo game
// server program: an entry line from the Ask cell, quantity, limit and type edited in the
// cell editor, TRANSMIT, the server's reports through PreSubm., Submitted and Filled, the
// execution, the holding in the Bestand cell and the new result; and a limit order far
// from the market that keeps working until it is cancelled. Every line the client logs on
// the way is checked in its exact form.
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

class TypicalOrderRun : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.start());
        writeFileAtomically(client.folder.path(OrderReports::kExecutionSoundFile), "RIFF");
        // The status label as each incoming line is logged, that is before its message is handled.
        client.beforeLoad = [this](OrderForm& f) {
            f.orderClient().incoming().setObserver(
                [this, &f](int) { statusWhenLogged.push_back(f.statusLine.text()); });
        };
        form = &client.start("demo1");
        ASSERT_TRUE(waitFor([&] { return data().InstrumentCount() > 0 && data().instruments.at(1).Last > 0; },
                            10000));
        ASSERT_EQ(data().instruments.at(1).Ticker, "KDX");
        // The login burst ends with the welcome file transfer; the tests look at what follows.
        ASSERT_TRUE(waitFor([&] { return incoming().contains("IN:@FIE=DEMO1"); }));
    }

    TradingData& data() { return form->data(); }
    CellGrid& grid() { return form->orderGridCells(); }
    TextList& incoming() { return form->orderClient().incoming(); }
    TextList& outgoing() { return form->orderClient().outgoing(); }
    void click(int row, int set, int logical) {
        form->gridActions().mouseDown(row, form->columns().map(set, logical), false);
    }
    int orderRow(int32_t userId) {
        const int32_t n = data().orderBook.findByOrderUserId(userId);
        return n == 0 ? 0 : data().gridRows.SuchRow(n, RowOpenOrder);
    }
    std::string statusCell(int32_t userId) {
        const int row = orderRow(userId);
        return row == 0 ? "" : grid().text(row, form->columns().map(1, 12));
    }
    bool waitFor(const std::function<bool()>& condition, uint32_t ms = 5000) {
        return client.waitFor(condition, ms);
    }

    // The entry line the Ask cell of instrument 1 inserts (grid row 4).
    void newBuyLine() {
        click(2, 0, 9);
        ASSERT_EQ(data().gridRows.at(4).kind, RowEntryLine);
    }
    void edit(int logical, int item) {
        click(4, 1, logical);
        form->gridActions().chooseEditorItem(item);
    }
    void type(int logical, const std::string& text) {
        click(4, 1, logical);
        form->gridActions().setEditorText(text);
        form->gridActions().commitEditor();
    }

    // No failure or unexpected line anywhere, whatever else the run did.
    void expectNoTroubleLogged() {
        // A first run has no preset file yet; that is the instrument list's failure line.
        for (const std::string& line : form->protocol_.lines()) {
            EXPECT_TRUE(!line.starts_with("F:") || line == "F:WS_SI File not found") << line;
            EXPECT_FALSE(line.starts_with("Keine Order")) << line;
        }
        for (const std::string& line : incoming().lines()) {
            EXPECT_FALSE(line.starts_with("F:")) << line;
            EXPECT_FALSE(line.starts_with("Unbekannter Befehl:")) << line;
        }
        // Only the server's welcome annotation was shown, with the time in front.
        static const std::regex annotation(
            "\\d\\d:\\d\\d:\\d\\d Willkommen demo1! Die Datei KAVEXDEMO.BIN wird übertragen\\.");
        for (const std::string& line : form->messages_.lines())
            EXPECT_TRUE(std::regex_match(line, annotation)) << line;
        EXPECT_TRUE(client.prompts.asked.empty());
    }

    QtEventLoop loop;
    test::DemoServer server{loop};
    test::DemoClient client{loop, server.discoveryUrl()};
    OrderForm* form = nullptr;
    std::vector<std::string> statusWhenLogged;
};

TEST_F(TypicalOrderRun, LoginLinesAndTheWelcome) {
    // The login as the connection window logs it, up to the last user order number.
    const Lines& in = incoming().lines();
    const auto welcome = std::find(in.begin(), in.end(), "IN:@WELCOME");
    ASSERT_NE(welcome, in.end());
    ASSERT_GE(in.end() - welcome, 4);
    EXPECT_EQ(Lines(in.begin(), welcome + 3),
              (Lines{"WS connected!", "IN:!;ID", "ID", "OUT:demo1", "IN:!;USER", "Server verlangt USER",
                     "OUT:demo1", "IN:@WELCOME", "IN:@UD=KV0001", "IN:@LI=0"}));
    EXPECT_TRUE(welcome[3].starts_with("IN:@SI=KDX;KDX.FUT;EUR;")) << welcome[3];
    // The outgoing list: the last order number, the instrument list line by line.
    ASSERT_TRUE(waitFor([&] { return outgoing().size() >= 33; }));
    const Lines& out = outgoing().lines();
    EXPECT_EQ(out[0], "LI->0");
    EXPECT_TRUE(out[1].starts_with("KDX;KDX.FUT;EUR;")) << out[1];
    EXPECT_TRUE(out[24].starts_with("LHB;LHB.XKV;EUR;")) << out[24];
    // The account figures of the login, one field a line.
    EXPECT_TRUE(std::regex_match(out[25], std::regex("\\d{8}"))) << out[25];
    EXPECT_EQ(Lines(out.begin() + 26, out.begin() + 33),
              (Lines{"demo1", " 100000", " 0", " 0", "1", "1", " 0"}));
    EXPECT_EQ(form->accountCodeLabel.text(), "UID:KV0001");
    // The welcome text, shown once "@WELCOME" was handled.
    const auto ud = static_cast<std::size_t>(welcome - in.begin()) + 1;
    ASSERT_GT(statusWhenLogged.size(), ud);
    EXPECT_EQ(statusWhenLogged[ud], "Willkommen beim Rozivodizez Demo-Server");
    expectNoTroubleLogged();
}

TEST_F(TypicalOrderRun, AMarketOrderIsFilledAndTheHoldingAndResultAppear) {
    const std::size_t inBefore = incoming().size(), outBefore = outgoing().size();

    newBuyLine();
    edit(6, 1); // Stck: "2"
    click(4, 1, 7);
    const std::string limitText = form->gridActions().editor().items.at(12); // two steps above Last
    form->gridActions().chooseEditorItem(12);
    EXPECT_EQ(grid().text(4, form->columns().map(1, 9)), "LMT"); // a limit makes it a limit order
    edit(9, 0);                                                  // Typ: "MKT"
    EXPECT_EQ(grid().text(4, form->columns().map(1, 7)), limitText);

    // The status cell of the order line as each report arrives, before it is handled.
    std::vector<std::string> states;
    incoming().setObserver([&](int) {
        const std::string s = statusCell(1);
        if (!s.empty() && (states.empty() || states.back() != s)) states.push_back(s);
    });
    click(4, 1, 10); // TRANSMIT
    EXPECT_NE(data().gridRows.at(4).kind, RowEntryLine) << "the entry line is gone";
    ASSERT_EQ(outgoing().size(), outBefore + 1);
    EXPECT_EQ(outgoing().back(), "OUT:\x01@PO=KV0001;1;1;BUY ;MKT;2;" + limitText + "; 0;0;0\x02");

    auto holdingRow = [&]() -> const Position* {
        const int number = positionOf(data().PositionIndex, 1);
        return number == 0 ? nullptr : &data().positionList.at(number);
    };
    ASSERT_TRUE(waitFor([&] { return holdingRow() != nullptr && holdingRow()->holding == 2; }));
    ASSERT_TRUE(waitFor([&] { return statusCell(1) == "Filled "; }));
    incoming().setObserver(nullptr);
    EXPECT_EQ(states, (Lines{"PreSubm.", "Submitted", "Filled "}));

    // The server's reports as the incoming list shows them.
    const Lines in = linesFrom(incoming(), inBefore);
    ASSERT_GE(in.size(), 8u);
    std::smatch m;
    static const std::regex openOrder(
        "IN:@OO=1;1;(\\d{8});BUY;2;MKT; 0; 0;3;0;2; 0;(\\d{6});(\\d{6});DAY;1;0;0;NEU;1;0");
    ASSERT_TRUE(std::regex_match(in[0], m, openOrder)) << in[0];
    const std::string date = m[1];
    static const std::regex submitted("IN:@OS=1;1;4;\\d{6};0;2; 0;NEU;1; 0");
    EXPECT_TRUE(std::regex_match(in[1], submitted)) << in[1];
    static const std::regex execution(
        "IN:@EX=KV0001;1;1;1;EUR;1;\\d{6};BUY;2; (\\d+(\\.5)?); (\\d+(\\.5)?); 5; 0");
    ASSERT_TRUE(std::regex_match(in[2], m, execution)) << in[2];
    const std::string priceText = m[1];
    const float price = std::stof(priceText);
    EXPECT_EQ(std::stof(m[3]), 2 * 25 * price) << "amount: quantity x price x multiplier";
    const std::regex filled("IN:@OS=1;1;6;\\d{6};2;0; " + priceText + ";AUSGEF\\.;1; 0");
    EXPECT_TRUE(std::regex_match(in[3], filled)) << in[3];
    EXPECT_TRUE(in[4].starts_with("IN:@SUD=")) << in[4];
    EXPECT_TRUE(in[5].starts_with("IN:@SUK=" + date + ";demo1;")) << in[5];
    EXPECT_TRUE(in[6].starts_with("IN:@SUP=")) << in[6];
    EXPECT_TRUE(in[7].starts_with("IN:@PI=")) << in[7];

    // The outgoing list: the order sent, the open order's 21 fields one a line, the
    // account figures' fields one a line; status, execution and holdings add nothing.
    const Lines out = linesFrom(outgoing(), outBefore);
    Lines expected{outgoing().lines()[outBefore]};
    for (const std::string& field : fieldsOf(in[0].substr(7)))
        expected.push_back(field);
    for (const std::string& field : fieldsOf(in[5].substr(8)))
        expected.push_back(field);
    EXPECT_EQ(out, expected);
    EXPECT_EQ(expected.size(), 1u + 21u + 8u);

    // The holding: "+2" in the Bestand cell on the next refresh tick; the open result at
    // the last price in G/V.
    EXPECT_EQ(holdingRow()->sumCost, 2 * 25 * price);
    EXPECT_TRUE(waitFor([&] { return grid().text(2, form->columns().map(0, 14)) == "+2"; }));
    EXPECT_TRUE(waitFor([&] {
        const float last = data().instruments.at(1).Last;
        return grid().text(2, form->columns().map(0, 15)) == strSingle(2 * 25 * (last - price));
    })) << grid().text(2, form->columns().map(0, 15));

    // The account: today's result from the user data, in the result label.
    const float today = parseSingle(fieldsOf(in[4].substr(8)).at(0));
    EXPECT_EQ(data().account.todayResult, today);
    EXPECT_EQ(form->resultLabel.text().rfind("Heute +-: " + strSingleTrimmed(today) + " = ", 0), 0u)
        << form->resultLabel.text();
    EXPECT_LT(today, 0) << "bought at the ask and paid the commission";

    // The execution: listed in the execution grid, with the execution sound.
    ASSERT_EQ(data().executionList.count(), 1);
    EXPECT_EQ(form->executionGridCells().text(1, 4), "KDX");
    ASSERT_EQ(client.sound.played.size(), 1u);
    EXPECT_TRUE(client.sound.played[0].ends_with(OrderReports::kExecutionSoundFile))
        << client.sound.played[0];
    expectNoTroubleLogged();
}

TEST_F(TypicalOrderRun, ALimitFarFromTheMarketWorksUntilCancelled) {
    newBuyLine();
    edit(6, 0); // Stck: "1"
    const int far = static_cast<int>(data().instruments.at(1).Bid / 2);
    type(7, std::to_string(far) + ",5"); // typed with a decimal comma
    EXPECT_EQ(grid().text(4, form->columns().map(1, 9)), "LMT");
    click(4, 1, 10);
    EXPECT_EQ(outgoing().back(),
              "OUT:\x01@PO=KV0001;1;1;BUY ;LMT;1; " + std::to_string(far) + ".5; 0;0;0\x02");

    ASSERT_TRUE(waitFor([&] { return statusCell(1) == "Submitted"; }));
    const std::size_t inBefore = incoming().size();
    test::pause(loop, 1500); // prices move; the order keeps working
    EXPECT_EQ(statusCell(1), "Submitted");
    EXPECT_EQ(data().executionList.count(), 0);
    const int row = orderRow(1);
    ASSERT_EQ(grid().text(row, form->columns().map(1, 11)), "CANCEL");
    click(row, 1, 11);
    EXPECT_EQ(outgoing().back(), "OUT:\x01@CO=KV0001;1;1\x02");
    ASSERT_TRUE(waitFor([&] { return statusCell(1) == "Cancelled"; }));
    const Lines in = linesFrom(incoming(), inBefore);
    std::vector<std::string> reports;
    for (const std::string& line : in)
        if (line.starts_with("IN:@OS=")) reports.push_back(line);
    ASSERT_EQ(reports.size(), 2u);
    const std::regex pending("IN:@OS=1;1;2;\\d{6};0;1; 0;STORNO;1; " + std::to_string(far) + "\\.5");
    const std::regex cancelled("IN:@OS=1;1;5;\\d{6};0;1; 0;STORNO;1; " + std::to_string(far) + "\\.5");
    EXPECT_TRUE(std::regex_match(reports[0], pending)) << reports[0];
    EXPECT_TRUE(std::regex_match(reports[1], cancelled)) << reports[1];
    EXPECT_EQ(data().gridRows.at(row).kind, RowFinishedOrder);
    EXPECT_EQ(grid().text(row, form->columns().map(1, 11)), "-");
    EXPECT_EQ(positionOf(data().PositionIndex, 1), 0);
    expectNoTroubleLogged();
}

#endif

} // namespace
} // namespace kavex
