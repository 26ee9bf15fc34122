#include "model/order_grid_rows.h"

#include "base/failure.h"

#include <algorithm>

namespace kavex {

OrderGridRows::OrderGridRows()
    : rows_(static_cast<std::size_t>(kInitialCapacity)), ids_(static_cast<std::size_t>(kInitialCapacity)),
      indexOfId_(1, 0) {}

const OrderGridRow& OrderGridRows::at(int index) const {
    if (index < 0 || index > count_) failSubscript();
    return rows_[static_cast<std::size_t>(index)];
}

void OrderGridRows::reset() {
    rows_.assign(static_cast<std::size_t>(kInitialCapacity), OrderGridRow{});
    ids_.assign(static_cast<std::size_t>(kInitialCapacity), 0);
    indexOfId_.assign(1, 0);
    count_ = 1;
    index_.clear();
    ids_[1] = newId(1);
    index_.add(keyOf(rows_[1]), ids_[1]);
}

void OrderGridRows::grow() {
    // The new last index must stay below the capacity.
    if (count_ >= capacity()) {
        rows_.resize(rows_.size() + static_cast<std::size_t>(kGrowth));
        ids_.resize(rows_.size(), 0);
    }
}

int32_t OrderGridRows::newId(int32_t index) {
    indexOfId_.push_back(index);
    return static_cast<int32_t>(indexOfId_.size() - 1);
}

void OrderGridRows::renumber(int32_t from) {
    for (int32_t i = std::max(from, 1); i <= count_; ++i)
        indexOfId_[static_cast<std::size_t>(ids_[static_cast<std::size_t>(i)])] = i;
}

int32_t OrderGridRows::append(OrderGridRow row) {
    ++count_;
    grow();
    const auto i = static_cast<std::size_t>(count_);
    rows_[i] = row;
    ids_[i] = newId(count_);
    index_.add(keyOf(row), ids_[i]);
    return count_;
}

void OrderGridRows::insertRow(int p, int16_t kind) {
    if (p < 0 || p > count_) failSubscript();
    ++count_;
    grow();
    const auto at = static_cast<std::size_t>(p + 1);
    const auto end = static_cast<std::size_t>(count_);
    std::copy_backward(rows_.begin() + at, rows_.begin() + end, rows_.begin() + end + 1);
    std::copy_backward(ids_.begin() + at, ids_.begin() + end, ids_.begin() + end + 1);
    rows_[at].kind = kind;
    ids_[at] = newId(p + 1);
    index_.add(keyOf(rows_[at]), ids_[at]);
    renumber(p + 2);
}

void OrderGridRows::deleteRow(int p) {
    if (p < 0 || p > count_) failSubscript();
    if (p >= 1) {
        const int32_t id = ids_[static_cast<std::size_t>(p)];
        index_.remove(keyOf(rows_[static_cast<std::size_t>(p)]), id);
        indexOfId_[static_cast<std::size_t>(id)] = 0;
    }
    const auto from = static_cast<std::size_t>(p);
    const auto end = static_cast<std::size_t>(count_) + 1;
    std::copy(rows_.begin() + from + 1, rows_.begin() + end, rows_.begin() + from);
    std::copy(ids_.begin() + from + 1, ids_.begin() + end, ids_.begin() + from);
    --count_;
    if (p == 0 && ids_[0] != 0) { // row 1 moved to row 0, which is not indexed
        index_.remove(keyOf(rows_[0]), ids_[0]);
        indexOfId_[static_cast<std::size_t>(ids_[0])] = 0;
        ids_[0] = 0;
    }
    renumber(p);
}

void OrderGridRows::set(int index, OrderGridRow row) {
    if (index < 0 || index > count_) failSubscript();
    OrderGridRow& r = rows_[static_cast<std::size_t>(index)];
    const int64_t oldKey = keyOf(r);
    r = row;
    if (index < 1 || keyOf(row) == oldKey) return;
    const int32_t id = ids_[static_cast<std::size_t>(index)];
    index_.remove(oldKey, id);
    index_.add(keyOf(row), id);
}

void OrderGridRows::setKind(int index, int16_t kind) {
    if (index < 0 || index > count_) failSubscript();
    OrderGridRow row = rows_[static_cast<std::size_t>(index)];
    row.kind = kind;
    set(index, row);
}

int32_t OrderGridRows::findRow(int32_t number, int16_t kind) const {
    // A finished-line lookup wants that exact kind among the order rows of the number.
    int32_t first = 0;
    index_.forEach(keyOf(kind, number), [&](int32_t id) {
        const int32_t r = indexOfId_[static_cast<std::size_t>(id)];
        if (r == 0 || (first != 0 && r >= first)) return;
        if (kind > RowOpenOrder && rows_[static_cast<std::size_t>(r)].kind != kind) return;
        first = r;
    });
    return first;
}

} // namespace kavex
