#pragma once
// The right-click menus of the order grid: on an instrument row the closing commands, on
// an entry line or on a plain server order the bracket commands; other rows are refused
// with a message. The chosen command finds its row again by the instrument, entry line or
// order it was opened on.
#include "views/popup_menu.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kavex {

class Brackets;
class Closing;
class FailureLog;
class Prompts;
struct TradingData;

class GridContextMenu {
  public:
    static constexpr const char* kReverse = "Position Drehen";
    static constexpr const char* kClose = "Position Glattstellen";
    static constexpr const char* kPriceAlarm = "Alarm bei...";

    GridContextMenu(TradingData& data, Brackets& brackets, Closing& closing, Prompts& prompts,
                    FailureLog& log);

    // A right click on grid cell (row, col).
    void openContextMenu(int row, int col);

    PopupMenu& menu() { return menu_; }
    // "Alarm bei..." on an instrument row; the entry is there when this is set.
    std::function<void(int instrument)> setPriceAlarm;

  private:
    void openInstrumentMenu(int instrument);
    void openBracketMenu(const std::string& header, bool serverOrder, std::function<int()> currentRow);
    std::function<void()> onRow(std::function<int()> currentRow, std::function<void(int row)> command);

    TradingData& data_;
    Brackets& brackets_;
    Closing& closing_;
    Prompts& prompts_;
    FailureLog& log_;
    PopupMenu menu_;
};

} // namespace kavex
