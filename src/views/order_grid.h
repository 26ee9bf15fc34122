#pragma once
// The order grid: the row list built from instruments, entry lines and orders, and the
// drawing of quote rows and order lines into the grid control.
#include "base/numbers.h"
#include "trading/order_events.h"
#include "views/cell_grid.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kavex {

class ColourRoles;
class EventLoop;
class FailureLog;
class OrderGridColumns;
struct Order;
struct Settings;
struct TradingData;

class OrderGrid : public OrderEvents {
  public:
    OrderGrid(TradingData& data, CellGrid& grid, const OrderGridColumns& columns, const ColourRoles& colours,
              const Settings& settings, EventLoop& loop, FailureLog& log, NumberLocale locale);

    // Rebuilds the row list: per instrument its quote row, a separator, its entry lines
    // (oldest first) and its orders (newest first; finished ones only when shown).
    void rebuildRows();

    // Clears the grid and draws the titles and every row.
    void redrawAll();
    // The quote row of one instrument.
    void redrawInstrument(int instrument);
    // One grid row.
    void redrawRow(int row);

    // Takes a free entry line for the instrument, limit at the ask for "BUY" and at the
    // bid otherwise, type "MKT"; returns its number.
    int32_t newEntryLine(int instrument, const std::string& side, int32_t quantity);

    // The tooltip of an order or entry-line row: where the order was made.
    std::string rowToolTip(int row) const;

    // The order logic's events.
    void rowListChanged() override { rebuildRows(); }
    void allRowsChanged() override { redrawAll(); }
    void instrumentChanged(int instrument) override { redrawInstrument(instrument); }
    void rowChanged(int row) override { redrawRow(row); }
    void entryRowRemoved(int row) override { grid_.removeRow(row); }
    void orderAdded(int orderBookNumber) override;

    // The text a working order's status cell shows while a change of it waits; empty: none.
    std::function<std::string(int orderBookNumber)> pendingChangeText;

    // Rows below an added row moved down; the row number in their trace column is
    // brought up to date here, once per refresh pass rather than once per new order.
    void refreshRowTraces();

  private:
    template <class Drawing> void redraw(Drawing&& drawing);
    void drawTrace(int row, int kind, int ref, const Order& order);
    void drawTitles();
    void drawRow(int row);
    void drawSeparator(int row, int referenceHeight);
    void drawInstrumentRow(int row, int instrument);
    void drawOrderLine(int row, int kind, int ref);
    void drawTypeCell(int row, int kind, const Order& order);
    void setCell(int row, int set, int logical, std::string_view text);
    void setSingleCell(int row, int set, int logical, float value);
    void setIntCell(int row, int set, int logical, int64_t value);
    void setColour(int row, int set, int logical, int colour);
    void setCellStyle(int row, int col, CellAlignment alignment, bool bold, float fontSize, int foreground);
    int cellColumn(int set, int logical) const;
    const std::string& timeOfDay();

    TradingData& data_;
    CellGrid& grid_;
    const OrderGridColumns& columns_;
    const ColourRoles& colours_;
    const Settings& settings_;
    EventLoop& loop_;
    FailureLog& log_;
    NumberLocale locale_;
    int referenceHeight_ = 0;
    std::string scratch_; // a cell text being built; reused so that no row allocates
    std::string timeText_;
    int staleTracesFrom_ = 0; // first row whose trace shows an old row number; 0 when none
    int64_t timeSecond_ = -1; // the second of the clock timeText_ shows
};

} // namespace kavex
