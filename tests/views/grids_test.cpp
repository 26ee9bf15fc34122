// The order grid drawn from the tables: row kinds and order, entry, finished and bracket
// rows and partial redraws; and the execution grid: grouping,
// cell texts in the user's number form and unknown instruments.
#include "support/trading_fixture.h"
#include "views/execution_grid.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace kavex {
namespace {

using Lines = std::vector<std::string>;

// The texts of the given columns of one grid row, or of its first sixteen columns.
Lines rowTexts(const CellGrid& grid, int row, std::vector<int> cols = {}) {
    if (cols.empty())
        for (int c = 0; c <= 15; ++c)
            cols.push_back(c);
    Lines out;
    for (int c : cols)
        out.push_back(grid.text(row, c));
    return out;
}

// The trading fixture's grid in the user's number form, SAP quoted 99.5 to 100.5.
class OrderGridTest : public ::testing::Test, protected test::TradingFixture {
  protected:
    OrderGridTest() : TradingFixture(NumberLocale{','}) {
        data.instruments.at(1).Bid = 99.5f;
        data.instruments.at(1).Ask = 100.5f;
        data.instruments.at(1).Last = 100;
    }
    Order order(int instrument, int16_t status, const char* side = "BUY", int16_t role = BracketPlain) {
        Order o;
        o.bracketRole = role;
        o.instrumentNumber = static_cast<int16_t>(instrument);
        o.status = status;
        o.side = side;
        o.orderType = "LMT";
        o.quantity = 10;
        return o;
    }
    const std::string& text(int row, int col) const { return grid.text(row, col); }
    Lines texts(int row, std::vector<int> cols) const { return rowTexts(grid, row, std::move(cols)); }
};

TEST_F(OrderGridTest, EntryLinesOldestFirstAboveOrdersNewestFirst) {
    int a = orderGrid.newEntryLine(1, "BUY", 10);
    int b = orderGrid.newEntryLine(1, "SEL", 5);
    data.orderBook.append(order(1, StatusSubmitted));
    data.orderBook.append(order(2, StatusPreSubm));
    data.orderBook.append(order(1, StatusPendSubm, "SEL"));
    rebuild();
    EXPECT_EQ(kinds(), (std::vector<int>{1, 0, 2, 2, 3, 3, 1, 0, 3}));
    EXPECT_EQ((std::vector<int32_t>{data.gridRows.at(4).ref, data.gridRows.at(5).ref, data.gridRows.at(6).ref,
                                    data.gridRows.at(7).ref}),
              (std::vector<int32_t>{a, b, 3, 1}));
    // Entry line: limit at the ask for a buy, at the bid for a sell, market type.
    EXPECT_EQ(data.entryLines.at(b).limit1, 99.5f);
    EXPECT_EQ(texts(4, {3, 4, 5, 7, 9, 10, 11}), // the limit in the locale form
              (Lines{"-", "DAY", "BUY ", "100,5", "MKT", "TRANSMIT", "DELETE"}));
    EXPECT_EQ(texts(7, {10, 11, 12, 14}), (Lines{"-", "CANCEL", "Submitted", " 0 -  0"}));
}

TEST_F(OrderGridTest, ANewOrderGetsTheRowARebuildWouldGiveIt) {
    orderGrid.newEntryLine(1, "BUY", 10);
    orderGrid.newEntryLine(2, "SEL", 5);
    data.orderBook.append(order(1, StatusSubmitted));
    data.orderBook.append(order(2, StatusPreSubm));
    rebuild();
    auto allTexts = [&] {
        std::vector<Lines> out;
        for (int r = 0; r < grid.rows(); ++r)
            out.push_back(rowTexts(grid, r, {1, 2, 3, 5, 9, 11, 12, 17}));
        return out;
    };
    const int16_t statuses[] = {StatusPendSubm, StatusCancelled, StatusSubmitted, 99};
    for (int16_t status : statuses) {
        for (int instrument : {1, 2, 9}) { // 9: not in the grid
            data.orderBook.append(order(instrument, status, "SEL"));
            orderGrid.orderAdded(data.orderBook.count());
        }
    }
    orderGrid.refreshRowTraces();
    const std::vector<int> added = kinds();
    const std::vector<Lines> shown = allTexts();
    rebuild();
    EXPECT_EQ(added, kinds());
    EXPECT_EQ(shown, allTexts());
}

TEST_F(OrderGridTest, BracketChildrenShowTheirTypeOrOffset) {
    Order child = order(1, StatusSubmitted, "BUY", BracketStopChild);
    child.limit1 = -2.5f;
    child.activeFlag = 1;
    data.orderBook.append(child);
    data.orderBook.append(order(1, StatusSubmitted)); // limit 0
    data.orderBook.append(order(1, StatusSubmitted, "BUY", BracketMain));
    data.orderBook.append(order(1, StatusPreSubm, "BUY", BracketLimitChild));
    rebuild();
    // Newest first: waiting child, main, plain, active child.
    EXPECT_EQ(text(4, 9), "BR:LMT");
    EXPECT_EQ(texts(6, {7, 9}), (Lines{"0", "LMT"}));
    EXPECT_EQ(text(7, 7), "Offset: 2.5");
    EXPECT_EQ(text(7, 17).substr(0, 2), "Z7");
}

TEST_F(OrderGridTest, AQuoteRedrawDrawsOnlyItsRowReportsOnlyChangedCellsAndTheTimeFollowsTheClock) {
    Position held;
    held.instrumentNumber = 1;
    held.holding = 5;
    setPositionOf(data.positionIndex, 1, data.positionList.add(held));
    data.account.kontoValue8 = 1500;
    data.defaultInstrument = 1;
    data.orderBook.append(order(1, StatusSubmitted));
    rebuild();
    std::vector<CellGrid::Change> changes;
    grid.setObserver([&](const CellGrid::Change& c) { changes.push_back(c); });
    orderGrid.redrawInstrument(1);
    EXPECT_TRUE(changes.empty()); // nothing new: not even the colours drawn over each other

    data.instruments.at(1).Bid = 98;
    data.orderBook.update(1, [](Order& o) { o.quantity = 99; });
    orderGrid.redrawInstrument(1);
    EXPECT_EQ(text(2, 8), " 98");
    EXPECT_EQ(text(4, 6), "10");   // the order line was not redrawn
    ASSERT_EQ(changes.size(), 1u); // collected while redraw was off, reported once
    const CellGrid::Change& c = changes[0];
    EXPECT_EQ(std::make_tuple(c.firstRow, c.lastRow, c.firstCol, c.lastCol), std::make_tuple(2, 2, 8, 8));
    orderGrid.redrawRow(4);
    EXPECT_EQ(text(4, 6), "99");
    loop.setDateTime({2026, 12, 7, 9, 29, 59, 500}); // the clock was set back: the time follows it
    orderGrid.redrawInstrument(1);
    EXPECT_EQ(text(2, 12), "09:29:59");
}

TEST_F(OrderGridTest, ABrokenDescriptorIsLoggedTheRestIsStillDrawnAndNoInstrumentsLeaveTheTitles) {
    data.orderBook.append(order(1, StatusSubmitted));
    orderGrid.rebuildRows();
    data.orderBook.replaceAll({}); // the row now refers to an order that is gone
    orderGrid.redrawAll();
    EXPECT_EQ(log.lines(), (Lines{"F:ZeigOrderGridSubscript out of range"}));
    EXPECT_EQ(text(5, 1), "BMW");
    EXPECT_TRUE(grid.redraw());
    data.instruments.reset(0); // without instruments only the two title rows remain
    rebuild();
    EXPECT_EQ(grid.rows(), 2);
}

class ExecutionGridTest : public ::testing::Test {
  protected:
    ExecutionGridTest() {
        columns.setUp(colours);
        data.instruments.reset(3);
        for (int n = 1; n <= 3; ++n) {
            Instrument& i = data.instruments.at(n);
            i.Ticker = "T" + std::to_string(n);
            i.ZeltickerCode = "Z" + std::to_string(n);
            i.Name = "Name " + std::to_string(n);
            i.Currency = "EUR";
        }
    }
    // Executions of instruments 3, 1, 3 in this order (execution numbers 1, 2, 3).
    void threeExecutions() {
        add(3, "E1", 1.5f, 10, "093015");
        add(1, "E2", 0, -2, "");
        add(3, "E3", -0.25f, 0, "  1");
    }
    void add(int16_t instrument, const std::string& id, float commission, float profit,
             const std::string& time) {
        Execution e;
        e.instrumentNumber = instrument;
        e.executionId = id;
        e.orderId = "O" + id;
        e.action = "BOT";
        e.quantity = 100;
        e.price = 101.5f;
        e.amount = 10150;
        e.commission = commission;
        e.profit = profit;
        e.execTime = time;
        data.executionList.append(e);
    }
    // Column 1 of every grid row below the titles ("" for separators).
    Lines firstColumn() const {
        Lines out;
        for (int r = 1; r < cells.rows(); ++r)
            out.push_back(cells.text(r, 1));
        return out;
    }
    Lines row(int r, std::vector<int> cs = {}) const { return rowTexts(cells, r, std::move(cs)); }

    TradingData data;
    ColourRoles colours;
    OrderGridColumns columns;
    CellGrid cells;
    TextList log;
    ExecutionGrid grid{data, cells, columns, log, NumberLocale{','}};
};

TEST_F(ExecutionGridTest, GroupedByInstrumentWithASeparatorAfterEachInstrumentThatHasExecutions) {
    threeExecutions();
    grid.selectOrder(ExecutionGrid::ByInstrument);
    // Instrument 2 has no executions: neither rows nor a separator.
    EXPECT_EQ(firstColumn(), (Lines{"ENr2", "", "ENr1", "ENr3", ""}));
    EXPECT_TRUE(log.empty());
}

TEST_F(ExecutionGridTest, CellTextsInTheUsersNumberForm) {
    threeExecutions();
    grid.selectOrder(ExecutionGrid::OldestFirst);
    EXPECT_EQ(row(1), (Lines{"1", "ENr1", "BOT", "100", "T3", "Z3", "Name 3", "101,5", "10150", "EUR",
                             "09:30:15", "E1      ", "OE1     ", "-1,5", "10", "8,5"}));
    // Time, commission, result: commission 0 makes the time "overnight"; a negative commission
    // shows two minus signs; a short time text is cut as it comes.
    EXPECT_EQ(row(2, {10, 13, 15}), (Lines{"overnight", "-0", "-2"}));
    EXPECT_EQ(row(3, {10, 13, 15}), (Lines{"1::1", "--0,25", "0,25"}));
    EXPECT_EQ(ExecutionGrid::timeText("1234"), "-");
    EXPECT_EQ(ExecutionGrid::timeText(" 1234 "), "12:34:34");
}

TEST_F(ExecutionGridTest, AnExecutionOfAnUnknownInstrumentLogsAndTheRestIsDrawn) {
    add(9, "BAD", 1, 0, "120000");
    add(1, "GOOD", 1, 0, "120000");
    grid.selectOrder(ExecutionGrid::OldestFirst);
    EXPECT_EQ(log.size(), 4u); // Ticker, Zelticker, Name, Währung
    EXPECT_EQ(log.lines().front(), "F:ZeigExecutionGridSubscript out of range");
    EXPECT_EQ(row(1, {1, 4}), (Lines{"ENr1", ""}));
    EXPECT_EQ(row(2, {1, 4}), (Lines{"ENr2", "T1"}));
    // Grouped by instrument, the unknown instrument's execution is not listed.
    grid.selectOrder(ExecutionGrid::ByInstrument);
    EXPECT_EQ(firstColumn(), (Lines{"ENr2", ""}));
}

} // namespace
} // namespace kavex
