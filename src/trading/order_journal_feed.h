#pragma once
// Turns the order logic's events into journal lines: the order's fields, its instrument's
// ticker and its origin; a fill with the order it belongs to.
#include "model/order.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>

namespace kavex {

class OrderJournal;
struct JournalLine;
struct Execution;
struct TradingData;

class OrderJournalFeed {
  public:
    OrderJournalFeed(OrderJournal& journal, const TradingData& data);

    // "@PO", "@CO", "refused", "status" for an order or an entry line; an entry line that
    // has no user order number yet takes the origin of `line`.
    void orderEvent(std::string_view event, const Order& order, std::string_view text, int line = 0);
    void fill(const Execution& execution);
    // "@OR", "@CR": the server's text, led by the user order number when it names one.
    void rejection(std::string_view event, std::string_view body);

  private:
    JournalLine lineOf(std::string_view event, const Order& order, int line) const;

    OrderJournal& journal_;
    const TradingData& data_;
    // What was sent, by user order number: a refused order never reaches the order book.
    std::unordered_map<int32_t, Order> sent_;
};

} // namespace kavex
