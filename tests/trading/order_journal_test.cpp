// The order journal: its lines for an order's life and for each origin, a crash in the
// middle of a burst, the repair of a torn last line, and the daily and size rotation.
#include "base/files.h"
#include "support/temp_dir.h"
#include "support/trading_fixture.h"
#include "trading/order_journal.h"
#include "trading/order_journal_feed.h"
#include "trading/order_reports.h"
#include "views/closing.h"
#include "views/external_gate.h"
#include "views/external_orders.h"

#include <algorithm>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace kavex {
namespace {

using Texts = std::vector<std::string>;

class Journal : public ::testing::Test, public test::TradingFixture {
  protected:
    Journal() {
        loop.setDateTime({2026, 12, 7, 10, 11, 12, 0});
        journal.open();
        placement.journal = [this](std::string_view e, const Order& o, std::string_view t, int line) {
            feed.orderEvent(e, o, t, line);
        };
        reports.hooks.statusChanged = [this](const Order& o) { feed.orderEvent("status", o, ""); };
        reports.hooks.filled = [this](const Execution& e) { feed.fill(e); };
        reports.hooks.rejected = [this](std::string_view e, std::string_view b) { feed.rejection(e, b); };
    }
    // The UTF-8 lines after the header, without the time.
    Texts lines() const {
        const std::string bytes = readFileBytes(dir.root / OrderJournal::kFileName);
        Texts out;
        for (std::size_t at = bytes.find("\r\n") + 2; at < bytes.size(); at = bytes.find("\r\n", at) + 2)
            out.push_back(bytes.substr(at + 23, bytes.find("\r\n", at) - at - 23));
        return out;
    }

    test::TempDir dir;
    Label accountCodeLabel;
    test::FakeSound sound;
    OrderReports reports{data, orderGrid, errors, sound, settings, loop, outgoing, log, accountCodeLabel};
    OrderJournal journal{dir.root, [this] { return loop.now(); }, log};
    OrderJournalFeed feed{journal, data};
    Closing closing{data, actions, placement, orderGrid, settings, prompts, log};
};

TEST_F(Journal, AnOrderIsJournalledFromSendingToItsFillAndARefusalWithItsReason) {
    click(instrumentRow(1), 9, 0);
    placement.transmitRow(actions.lastInsertedRow());
    reports.onOpenOrder("101;A1;R;BUY;1;MKT;150.5;0;3;0;1;0;093000;093001;DAY;1;0;0;I;0;0");
    reports.onOpenOrder("101;A1;R;BUY;1;MKT;150.5;0;3;0;1;0;093000;093001;DAY;1;0;0;I;0;0"); // no change
    reports.onOrderStatus("101;A1;4;093002;0;1;0;I;0;0");
    reports.onExecution("ACC1;A1;EREF;1;EUR;E1;093003;BOT;1;150.75;150.75;2.5;0");
    placement.cancelOrder(1);
    reports.onCancelRejected("101: Order bereits ausgefuehrt");
    click(instrumentRow(1), 8, 0);
    Order& stop = data.entryLines.at(data.gridRows.at(actions.lastInsertedRow()).ref);
    stop.orderType = "STP";
    stop.limit1 = 151;
    placement.transmitRow(actions.lastInsertedRow());
    EXPECT_EQ(lines(),
              (Texts{
                  ";@PO;101;SAP;BUY;MKT;1;150.5;0;PendSubm.;;grid;",
                  ";status;101;SAP;BUY;MKT;1;150.5;0;PreSubm.;;grid;",
                  ";status;101;SAP;BUY;MKT;1;150.5;0;Submitted;;grid;",
                  ";fill;101;SAP;BUY;MKT;1;150.5;0;Submitted;150.75;grid;E1",
                  ";@CO;101;SAP;BUY;MKT;1;150.5;0;Submitted;;grid;",
                  ";@CR;101;SAP;BUY;MKT;1;150.5;0;Submitted;;grid;101: Order bereits ausgefuehrt",
                  ";refused;;SAP;SEL;STP;1;151;0;Cancelled;;grid;Keine STP-Sell Order mit Limit über "
                  "Last-Kurs!",
              }));
}

TEST_F(Journal, EachOrderCarriesWhereItWasMade) {
    settings.confirmation = 0;
    click(instrumentRow(2), 13, 0); // DEFAULT
    actions.quickOrder(0);
    data.positionList.add({1, 5});
    data.positionIndex.at(1) = 1;
    closing.closePosition(instrumentRow(1)); // through the quick button, still a closing order
    reports.onOrderRejected("102: Konto gesperrt");
    ExternalOrders external{data, actions, placement, orderGrid, grid, columns, prompts};
    ExternalOrderGate gate{external, loop};
    gate.origins = &data.origins;
    gate.commandsFor(ExternalOrderGate::Origin::Bridge).placeOrder("SAP;1;BUY;LMT;2;150;0;B-7");
    gate.commandsFor(ExternalOrderGate::Origin::FileDrop).placeOrder("BMW;2;SEL;MKT;1;0;0;F 9");
    EXPECT_EQ(lines(), (Texts{
                           ";@PO;101;BMW;BUY;MKT;1;0;0;PendSubm.;;quick button;",
                           ";@PO;102;SAP;SEL;MKT;5;149.5;0;PendSubm.;;closing;",
                           ";@OR;102;SAP;SEL;MKT;5;149.5;0;PendSubm.;;closing;102: Konto gesperrt",
                           ";@PO;-103;SAP;BUY;LMT;2;150;0;PendSubm.;;bridge:B-7;",
                           ";@PO;-104;BMW;SEL;MKT;1;0;0;PendSubm.;;file-drop:F 9;",
                       }));
}

JournalLine line(const char* event, int32_t order) {
    JournalLine j;
    j.event = event;
    j.order = order;
    return j;
}

TEST(JournalFile, AKilledWriterLeavesWholeLinesAndATornLastLineIsCutOnOpen) {
    test::TempDir dir;
    TextList log;
    const auto clock = [] { return LocalDateTime{2026, 12, 7, 9, 0, 0, 0}; };
    const std::filesystem::path file = dir.root / OrderJournal::kFileName;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        OrderJournal journal(dir.root, clock, log);
        journal.open();
        JournalLine line{"fill", 7, "SAP", "BUY", "LMT", 10, 150.5f, 0, "Filled", 150.25f, "grid", "E"};
        for (int n = 0;; ++n) {
            line.quantity = n;
            journal.write(line);
        }
    }
    while (!std::filesystem::exists(file) || std::filesystem::file_size(file) < 200000)
        usleep(1000);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    std::string bytes = readFileBytes(file);
    const std::size_t whole = bytes.rfind("\r\n") + 2;
    std::istringstream in(bytes.substr(0, whole));
    int n = -1;
    for (std::string line; std::getline(in, line); ++n)
        if (n >= 0) {
            ASSERT_EQ(line, "2026-12-07 09:00:00.000;fill;7;SAP;BUY;LMT;" + std::to_string(n) +
                                ";150.5;0;Filled;150.25;grid;E\r");
        }

    // Whatever the kill left, a torn tail is cut and the next line starts on its own.
    std::ofstream(file, std::ios::app | std::ios::binary) << "2026-12-07 09:00:00.000;fi";
    OrderJournal journal(dir.root, clock, log);
    journal.open();
    journal.write(line("status", 8));
    bytes = readFileBytes(file);
    EXPECT_EQ(bytes.substr(whole), "2026-12-07 09:00:00.000;status;8;;;;0;0;0;;;;\r\n");
    EXPECT_EQ(log.back(), "Journal: 26 Bytes einer Zeile entfernt");
}

TEST(JournalFile, ANewFileStartsEachDayAndPastTheSizeLimitKeepingTheNewest) {
    test::TempDir dir;
    TextList log;
    LocalDateTime now{2026, 12, 7, 23, 59, 0, 0};
    OrderJournal journal(
        dir.root, [&] { return now; }, log, 200, 2);
    journal.open();
    journal.write(line("@PO", 1));
    now = {2026, 12, 8, 0, 0, 1, 0};
    for (int n = 2; n <= 9; ++n)
        journal.write(line("@PO", n)); // the header and two lines fill 200 bytes
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.root))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Texts{"Kavex.Journal.20261208-002.csv", "Kavex.Journal.20261208-003.csv",
                            "Kavex.Journal.csv"}));
    const Texts current = readTextLines(dir.root / OrderJournal::kFileName);
    EXPECT_EQ(current.front(), OrderJournal::kHeader);
    EXPECT_EQ(current.back().substr(0, 30), "2026-12-08 00:00:01.000;@PO;9;");
}

} // namespace
} // namespace kavex
