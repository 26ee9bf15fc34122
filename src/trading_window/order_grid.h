#pragma once
// The order grid: the row list built from instruments, entry lines and orders, and the
// drawing of quote rows and order lines into the grid control.
#include "base/numbers.h"

#include <cstdint>
#include <string>

namespace kavex {

class CellGrid;
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
    void setCell(int row, int set, int logical, std::string text);
    void setColour(int row, int set, int logical, int colour);
    int cellColumn(int set, int logical) const;

    TradingData& data_;
    CellGrid& grid_;
    const OrderGridColumns& columns_;
    const ColourRoles& colours_;
    const Settings& settings_;
    EventLoop& loop_;
    FailureLog& protocol_;
    NumberLocale locale_;
    int referenceHeight_ = 0;
};

} // namespace kavex
