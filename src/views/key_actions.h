#pragma once
// What the trading window's keys do: the buttons' actions (BUY/SELL MARKET, CANCEL Alle,
// TRANS Alle, GLATT), reversing the holding of the DEFAULT instrument, moving the DEFAULT
// mark to the instrument above or below, and stepping the default quantity. A key does
// nothing while the grid's in-cell editor is open or the view says that another input
// (a dialog, the chat) has the keyboard.
#include "views/key_bindings.h"

#include <functional>
#include <string_view>

namespace kavex {

class Closing;
class GridActions;
class OrderGridColumns;
class Prompts;
class TradingWindow;
struct TradingData;

class KeyActions {
  public:
    KeyActions(TradingWindow& window, GridActions& actions, Closing& closing, TradingData& data,
               const OrderGridColumns& columns, const KeyBindings& bindings, Prompts& prompts);

    // A key pressed in the trading window; false when it ran nothing.
    bool press(std::string_view key);
    void run(KeyAction action);

    // Set by the view: true while a dialog or the chat input has the keyboard.
    std::function<bool()> otherInputFocused;

  private:
    void reverseDefault();
    void moveDefault(int step);
    void stepQuantity(int step);

    TradingWindow& window_;
    GridActions& actions_;
    Closing& closing_;
    TradingData& data_;
    const OrderGridColumns& columns_;
    const KeyBindings& bindings_;
    Prompts& prompts_;
};

} // namespace kavex
