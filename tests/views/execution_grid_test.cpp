// The execution grid: its three orders, cell texts in the user's number form, partial
// redraws, and executions of unknown instruments.
#include "model/trading_data.h"
#include "views/cell_grid.h"
#include "base/text_list.h"
#include "views/colour_roles.h"
#include "views/execution_grid.h"
#include "views/grid_columns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kavex {
namespace {

using Lines = std::vector<std::string>;

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
    // The given columns of row r, or all sixteen.
    Lines row(int r, std::vector<int> cs = {}) const {
        if (cs.empty())
            for (int c = 0; c <= 15; ++c)
                cs.push_back(c);
        Lines out;
        for (int c : cs)
            out.push_back(cells.text(r, c));
        return out;
    }

    TradingData data;
    ColourRoles colours;
    OrderGridColumns columns;
    CellGrid cells;
    TextList log;
    ExecutionGrid grid{data, cells, columns, log, NumberLocale{','}};
};

TEST_F(ExecutionGridTest, TheThreeOrdersOfTheList) {
    threeExecutions();
    grid.selectOrder(ExecutionGrid::ByInstrument);
    // Instrument 2 has no executions: neither rows nor a separator.
    EXPECT_EQ(firstColumn(), (Lines{"ENr2", "", "ENr1", "ENr3", ""}));
    EXPECT_EQ(grid.rows().at(3).kind, ExRowSeparator);
    grid.selectOrder(ExecutionGrid::OldestFirst);
    EXPECT_EQ(firstColumn(), (Lines{"ENr1", "ENr2", "ENr3"}));
    grid.selectOrder(ExecutionGrid::NewestFirst);
    EXPECT_EQ(firstColumn(), (Lines{"ENr3", "ENr2", "ENr1"}));
    grid.selectOrder(-1); // no selection counts as the first entry
    EXPECT_EQ(firstColumn(), (Lines{"ENr2", "", "ENr1", "ENr3", ""}));
    EXPECT_TRUE(log.empty());
}

TEST_F(ExecutionGridTest, CellTextsInTheUsersNumberForm) {
    threeExecutions();
    grid.selectOrder(ExecutionGrid::OldestFirst);
    EXPECT_EQ(cells.text(0, 3), "Stück");
    EXPECT_EQ(row(1), (Lines{"1", "ENr1", "BOT", "100", "T3", "Z3", "Name 3", "101,5", "10150", "EUR",
                             "09:30:15", "E1      ", "OE1     ", "-1,5", "10", "8,5"}));
    // Time, commission, result: commission 0 makes the time "overnight"; a negative commission
    // shows two minus signs; a short time text is cut as it comes.
    EXPECT_EQ(row(2, {10, 13, 15}), (Lines{"overnight", "-0", "-2"}));
    EXPECT_EQ(row(3, {10, 13, 15}), (Lines{"1::1", "--0,25", "0,25"}));
    EXPECT_EQ(ExecutionGrid::timeText("1234"), "-");
    EXPECT_EQ(ExecutionGrid::timeText(" 1234 "), "12:34:34");
}

TEST_F(ExecutionGridTest, OneRowAndOneInstrumentRedraws) {
    threeExecutions();
    grid.selectOrder(ExecutionGrid::ByInstrument);
    // A replaced execution redraws only its own row.
    Execution changed = data.executionList.at(3);
    changed.quantity = 7;
    data.executionList.replace(3, changed);
    cells.setText(3, 3, "untouched");
    grid.executionReplaced(3);
    EXPECT_EQ((Lines{cells.text(3, 3), cells.text(4, 3)}), (Lines{"untouched", "7"}));
    grid.executionReplaced(99); // no row: nothing drawn
    // Mode 1 draws the execution rows of one instrument.
    cells.setText(1, 3, "x");
    cells.setText(3, 3, "x");
    grid.ZeigExecutionGrid(1, 3);
    EXPECT_EQ((Lines{cells.text(1, 3), cells.text(3, 3)}), (Lines{"x", "100"}));
    EXPECT_TRUE(log.empty());
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
