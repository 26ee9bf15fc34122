#pragma once
// What the order logic publishes. It changes the tables (entry lines, the order book, the
// grid's row list) and then says what changed; the order grid subscribes and redraws
// the rows concerned, the trading window shows the messages. The order logic never
// calls a window.
#include <string>

namespace kavex {

class OrderEvents {
  public:
    virtual ~OrderEvents() = default;
    // Entry lines or orders came or went: the grid's row list is built again.
    virtual void rowListChanged() = 0;
    // Every row may have changed.
    virtual void allRowsChanged() = 0;
    // The quote row of one instrument changed (its holding, its profit).
    virtual void instrumentChanged(int instrument) = 0;
    // The order or entry line shown in grid row `row` changed.
    virtual void rowChanged(int row) = 0;
    // The entry line shown in grid row `row` went out (or was refused) and left the row list.
    virtual void entryRowRemoved(int row) = 0;
    // A new order joined the order book: its row (if it gets one) is added where a rebuild
    // of the row list would put it, without rebuilding.
    virtual void orderAdded(int orderBookNumber) = 0;
};

// Messages for the user: the status line, the list "Meldungen..." and the message window.
class UserMessages {
  public:
    virtual ~UserMessages() = default;
    virtual void showError(const std::string& text) = 0;
    // A note in the status line (and so in "Meldungen..."), without the message window.
    virtual void showNote(const std::string& text) = 0;
};

} // namespace kavex
