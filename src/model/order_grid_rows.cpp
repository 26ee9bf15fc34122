#include "model/order_grid_rows.h"

#include "base/failure.h"

namespace kavex {

OrderGridRows::OrderGridRows() : rows_(static_cast<std::size_t>(kInitialCapacity)) {}

const OrderGridRow& OrderGridRows::at(int index) const {
    if (index < 0 || index > count_) failSubscript();
    return rows_[static_cast<std::size_t>(index)];
}

void OrderGridRows::reset() {
    rows_.assign(static_cast<std::size_t>(kInitialCapacity), OrderGridRow{});
    count_ = 1;
    index_.clear();
    index_.add(keyOf(rows_[1]), 1);
    dirty_ = false;
}

void OrderGridRows::grow() {
    // The new last index must stay below the capacity.
    if (count_ >= capacity()) rows_.resize(rows_.size() + static_cast<std::size_t>(kGrowth));
}

int32_t OrderGridRows::append(OrderGridRow row) {
    ++count_;
    grow();
    rows_[static_cast<std::size_t>(count_)] = row;
    if (!dirty_) index_.add(keyOf(row), count_);
    return count_;
}

void OrderGridRows::insertRow(int p, int16_t kind) {
    if (p < 0 || p > count_) failSubscript();
    ++count_;
    grow();
    for (int32_t i = count_; i > p + 1; --i)
        rows_[static_cast<std::size_t>(i)] = rows_[static_cast<std::size_t>(i - 1)];
    rows_[static_cast<std::size_t>(p + 1)].kind = kind;
    dirty_ = true;
}

void OrderGridRows::deleteRow(int p) {
    if (p < 0 || p > count_) failSubscript();
    for (int32_t i = p; i < count_; ++i)
        rows_[static_cast<std::size_t>(i)] = rows_[static_cast<std::size_t>(i + 1)];
    --count_;
    dirty_ = true;
}

void OrderGridRows::set(int index, OrderGridRow row) {
    if (index < 0 || index > count_) failSubscript();
    OrderGridRow& r = rows_[static_cast<std::size_t>(index)];
    const int64_t oldKey = keyOf(r);
    r = row;
    if (dirty_ || index < 1 || keyOf(row) == oldKey) return;
    index_.remove(oldKey, index);
    index_.add(keyOf(row), index);
}

void OrderGridRows::setKind(int index, int16_t kind) {
    if (index < 0 || index > count_) failSubscript();
    OrderGridRow row = rows_[static_cast<std::size_t>(index)];
    row.kind = kind;
    set(index, row);
}

void OrderGridRows::ensureIndex() const {
    if (!dirty_) return;
    index_.clear();
    index_.reserve(static_cast<std::size_t>(count_));
    for (int32_t i = 1; i <= count_; ++i)
        index_.add(keyOf(rows_[static_cast<std::size_t>(i)]), i);
    dirty_ = false;
}

int32_t OrderGridRows::findRow(int32_t number, int16_t kind) const {
    ensureIndex();
    if (kind <= RowOpenOrder) return index_.first(keyOf(kind, number));
    // A finished-line lookup wants that exact kind among the order rows of the number.
    return index_.firstWhere(keyOf(kind, number),
                             [&](int32_t r) { return rows_[static_cast<std::size_t>(r)].kind == kind; });
}

} // namespace kavex
