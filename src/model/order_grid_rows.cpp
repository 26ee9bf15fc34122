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
    exact_.clear();
    orderRows_.clear();
    dirty_ = false;
    indexRow(1);
}

void OrderGridRows::grow() {
    // The new last index must stay below the capacity.
    if (count_ >= capacity()) rows_.resize(rows_.size() + static_cast<std::size_t>(kGrowth));
}

int32_t OrderGridRows::append(OrderGridRow row) {
    ++count_;
    grow();
    rows_[static_cast<std::size_t>(count_)] = row;
    if (!dirty_) indexRow(count_);
    return count_;
}

void OrderGridRows::InsertRow(int p, int16_t kind) {
    if (p < 0 || p > count_) failSubscript();
    ++count_;
    grow();
    for (int32_t i = count_; i > p + 1; --i)
        rows_[static_cast<std::size_t>(i)] = rows_[static_cast<std::size_t>(i - 1)];
    rows_[static_cast<std::size_t>(p + 1)].kind = kind;
    dirty_ = true;
}

void OrderGridRows::DeleteRow(int p) {
    if (p < 0 || p > count_) failSubscript();
    for (int32_t i = p; i < count_; ++i)
        rows_[static_cast<std::size_t>(i)] = rows_[static_cast<std::size_t>(i + 1)];
    --count_;
    dirty_ = true;
}

void OrderGridRows::set(int index, OrderGridRow row) {
    if (index < 0 || index > count_) failSubscript();
    if (!dirty_) unindexRow(index);
    rows_[static_cast<std::size_t>(index)] = row;
    if (!dirty_) indexRow(index);
}

void OrderGridRows::setKind(int index, int16_t kind) {
    if (index < 0 || index > count_) failSubscript();
    OrderGridRow row = rows_[static_cast<std::size_t>(index)];
    row.kind = kind;
    set(index, row);
}

void OrderGridRows::indexRow(int32_t index) const {
    if (index < 1) return; // lookups start at row 1
    const OrderGridRow& r = rows_[static_cast<std::size_t>(index)];
    exact_.add(exactKey(r.kind, r.number()), index);
    if (r.kind >= RowOpenOrder) orderRows_.add(r.number(), index);
}

void OrderGridRows::unindexRow(int32_t index) const {
    if (index < 1) return;
    const OrderGridRow& r = rows_[static_cast<std::size_t>(index)];
    exact_.remove(exactKey(r.kind, r.number()), index);
    if (r.kind >= RowOpenOrder) orderRows_.remove(r.number(), index);
}

void OrderGridRows::ensureIndex() const {
    if (!dirty_) return;
    exact_.clear();
    orderRows_.clear();
    exact_.reserve(static_cast<std::size_t>(count_));
    dirty_ = false;
    for (int32_t i = 1; i <= count_; ++i)
        indexRow(i);
}

int32_t OrderGridRows::SuchRow(int32_t number, int16_t kind) const {
    ensureIndex();
    return kind == RowOpenOrder ? orderRows_.first(number) : exact_.first(exactKey(kind, number));
}

} // namespace kavex
