#pragma once
// The order grid: the row list built from instruments, entry lines and orders, and the
// drawing of quote rows and order lines into the grid control.
#include "base/numbers.h"
#include "views/cell_grid.h"

#include <cstdint>
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

class OrderGrid {
  public:
    OrderGrid(TradingData& data, CellGrid& grid, const OrderGridColumns& columns, const ColourRoles& colours,
              const Settings& settings, EventLoop& loop, FailureLog& protocol, NumberLocale locale);

    // Rebuilds the row list: per instrument its quote row, a separator, its entry lines
    // (oldest first) and its orders (newest first; finished ones only when shown).
    void BuildOrderGrid();

    // mode 0: clear and draw every row; 1: the quote row of instrument `arg`; 2: grid row `arg`.
    void zeigOrderGrid(int mode, int arg);

    // Takes a free entry line for the instrument, limit at the ask for "BUY" and at the
    // bid otherwise, type "MKT"; returns its number.
    int32_t MachneueLeerzeile(int instrument, const std::string& side, int32_t quantity);

  private:
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
    FailureLog& protocol_;
    NumberLocale locale_;
    int referenceHeight_ = 0;
    std::string scratch_; // a cell text being built; reused so that no row allocates
    std::string timeText_;
    int64_t timeSecond_ = -1; // the second of the clock timeText_ shows
};

} // namespace kavex
