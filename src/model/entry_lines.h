#pragma once
// The order lines the user is composing in the order grid, numbers 1..count. Slots are
// reused, never removed; the table grows by 10 slots when none is free.
#include "model/order.h"

#include <cstdint>
#include <vector>

namespace kavex {

class EntryLines {
  public:
    static constexpr int32_t kGrowth = 10;

    int32_t count() const { return static_cast<int32_t>(lines_.size()); }
    bool valid(int number) const { return number >= 1 && number <= count(); }

    // Checked: a number outside 1..count fails with "Subscript out of range".
    Order& at(int number);
    const Order& at(int number) const;

    // First free slot (instrument 0) with its bracket role and parent line cleared; a new
    // slot when none is free.
    int32_t takeFreeSlot();

  private:
    std::vector<Order> lines_; // lines_[n - 1] is line n
};

} // namespace kavex
