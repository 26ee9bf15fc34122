#pragma once
// The orders known to the server, numbers 1..count.
//
// Lookups behave like a scan from number 1 upward (first match wins, 0 when none) but
// run through hash indexes on `orderUserId` and `orderId`. Records are therefore
// changed only through this class, which keeps the indexes in step; readers get const
// references and must not keep them across a message, since a full list rebuilds the
// table.
#include "model/first_match_index.h"
#include "model/order.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kavex {

class OrderBook {
  public:
    static constexpr int32_t kGrowth = 100;

    int32_t count() const { return static_cast<int32_t>(orders_.size()); }
    // Starts at 0 and grows in steps of 100; a full list sets it to the list's length.
    int32_t capacity() const { return capacity_; }
    bool valid(int number) const { return number >= 1 && number <= count(); }

    // Checked: a number outside 1..count fails with "Subscript out of range".
    const Order& at(int number) const;

    // Adds an order behind the last one and returns its number.
    int32_t append(Order order);
    // Replaces record `number` completely (checked).
    void replace(int number, Order order);
    // Runs `change` on record `number` (checked) and re-indexes it when a key changed,
    // also when `change` fails half-way.
    template <class Change> void update(int number, Change&& change);
    // A full order list: the table becomes exactly these orders, capacity = count.
    void replaceAll(std::vector<Order> orders);

    // Lowest number whose orderUserId is exactly `orderUserId`; 0 when none.
    int32_t findByOrderUserId(int32_t orderUserId) const { return byUserId_.first(orderUserId); }
    // Lowest number whose orderId equals `orderId` padded or cut to 8 characters.
    int32_t findByOrderId(std::string_view orderId) const;
    int32_t findByOrderId(const FixedText<8>& orderId) const { return byOrderId_.first(orderId.str()); }

  private:
    Order& record(int number);
    void index(int number);
    void unindex(int number);
    void rekey(int number, int32_t oldUserId, const FixedText<8>& oldOrderId);

    std::vector<Order> orders_; // orders_[n - 1] is order n
    int32_t capacity_ = 0;
    FirstMatchIndex<int32_t> byUserId_;
    FirstMatchIndex<std::string> byOrderId_;
};

template <class Change> void OrderBook::update(int number, Change&& change) {
    Order& order = record(number);
    const int32_t oldUserId = order.orderUserId;
    const FixedText<8> oldOrderId = order.orderId;
    try {
        change(order);
    } catch (...) {
        rekey(number, oldUserId, oldOrderId);
        throw;
    }
    rekey(number, oldUserId, oldOrderId);
}

} // namespace kavex
