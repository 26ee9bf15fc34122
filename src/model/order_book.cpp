#include "model/order_book.h"

#include "base/failure.h"

#include <algorithm>

namespace kavex {

const Order& OrderBook::at(int number) const {
    if (!valid(number)) failSubscript();
    return orders_[static_cast<std::size_t>(number - 1)];
}

Order& OrderBook::record(int number) {
    if (!valid(number)) failSubscript();
    return orders_[static_cast<std::size_t>(number - 1)];
}

void OrderBook::index(int number) {
    const Order& o = orders_[static_cast<std::size_t>(number - 1)];
    byUserId_.add(o.orderUserId, number);
    byOrderId_.add(o.orderId.str(), number);
}

void OrderBook::unindex(int number) {
    const Order& o = orders_[static_cast<std::size_t>(number - 1)];
    byUserId_.remove(o.orderUserId, number);
    byOrderId_.remove(o.orderId.str(), number);
}

void OrderBook::rekey(int number, int32_t oldUserId, const FixedText<8>& oldOrderId) {
    const Order& o = orders_[static_cast<std::size_t>(number - 1)];
    if (o.orderUserId != oldUserId) {
        byUserId_.remove(oldUserId, number);
        byUserId_.add(o.orderUserId, number);
    }
    if (o.orderId != oldOrderId) {
        byOrderId_.remove(oldOrderId.str(), number);
        byOrderId_.add(o.orderId.str(), number);
    }
}

int32_t OrderBook::append(Order order) {
    if (count() + 1 > capacity_) {
        capacity_ += kGrowth;
        orders_.reserve(static_cast<std::size_t>(capacity_));
    }
    orders_.push_back(std::move(order));
    index(count());
    return count();
}

void OrderBook::replace(int number, Order order) {
    update(number, [&](Order& o) { o = std::move(order); });
}

void OrderBook::replaceAll(std::vector<Order> orders) {
    orders_ = std::move(orders);
    capacity_ = count();
    byUserId_.clear();
    byOrderId_.clear();
    byUserId_.reserve(orders_.size());
    byOrderId_.reserve(orders_.size());
    for (int32_t n = 1; n <= count(); ++n)
        index(n);
}

int32_t OrderBook::findByOrderId(std::string_view orderId) const {
    // Short plain-ASCII ids, the usual case, are padded on the stack.
    constexpr std::size_t width = 8;
    if (orderId.size() <= width && std::all_of(orderId.begin(), orderId.end(),
                                               [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        char padded[width];
        std::fill(std::copy(orderId.begin(), orderId.end(), padded), padded + width, ' ');
        return byOrderId_.first(std::string_view(padded, width));
    }
    return findByOrderId(FixedText<8>(orderId));
}

} // namespace kavex
