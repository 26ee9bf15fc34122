#pragma once
// The execution grid on the tab "Executions": the row list built from the executions in
// one of three orders, and the drawing of its rows into the grid control.
#include "base/numbers.h"
#include "model/execution_rows.h"

#include <cstdint>
#include <string>

namespace kavex {

class CellGrid;
class FailureLog;
class OrderGridColumns;
struct Execution;
struct TradingData;

class ExecutionGrid {
  public:
    // Entries of the order list under the grid.
    enum Order { ByInstrument = 0, OldestFirst = 1, NewestFirst = 2 };

    ExecutionGrid(TradingData& data, CellGrid& grid, const OrderGridColumns& columns, FailureLog& log,
                  NumberLocale locale);

    // Rebuilds the row list in the selected order: by instrument (each instrument's
    // executions followed by a separator row), or by execution number, oldest or newest
    // first.
    void rebuildRows();

    // Clears the grid and draws the titles and every entry.
    void redrawAll();
    // The execution rows of one instrument.
    void redrawInstrument(int instrument);
    // One entry.
    void redrawEntry(int entry);

    // The order list's selection; -1 when nothing is selected, which counts as entry 0.
    void selectOrder(int entry);
    int selectedOrder() const { return selectedOrder_; }

    // A change of the order list or the "Grid Refresh" button: rebuild and redraw all.
    void refresh();
    // A known execution was replaced: redraw its row if it has one.
    void executionReplaced(int32_t execution);

    const ExecutionRows& rows() const { return rows_; }

    // The texts of an execution row, columns 1 to 15.
    std::string cellText(const Execution& e, int32_t number, int column) const;
    // "hh:mm:ss" from a time text of at least 5 characters, "-" from a shorter one.
    static std::string timeText(const std::string& text);

  private:
    template <class Drawing> void redraw(Drawing&& drawing);
    void drawTitles();
    void drawEntry(int entry, int referenceHeight);
    void setBackground(int row, int column, int colour);

    TradingData& data_;
    CellGrid& grid_;
    const OrderGridColumns& columns_;
    FailureLog& log_;
    NumberLocale locale_;
    ExecutionRows rows_;
    int selectedOrder_ = 0;
};

} // namespace kavex
