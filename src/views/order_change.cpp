#include "views/order_change.h"

#include "base/failure.h"
#include "base/numbers.h"
#include "model/trading_data.h"
#include "trading/order_events.h"
#include "trading/order_placement.h"
#include "views/grid_actions.h"
#include "views/grid_columns.h"
#include "views/order_grid.h"

#include <vector>

namespace kavex {
namespace {

constexpr const char* kTag = "OrderChange ";

} // namespace

OrderChanges::OrderChanges(TradingData& data, GridActions& actions, OrderPlacement& placement,
                           OrderGrid& orderGrid, const OrderGridColumns& columns, UserMessages& messages,
                           FailureLog& log)
    : data_(data), actions_(actions), placement_(placement), orderGrid_(orderGrid), columns_(columns),
      messages_(messages), log_(log) {}

void OrderChanges::request(int orderBookNumber, std::optional<int32_t> quantity, std::optional<float> limit) {
    guard(log_, kTag, [&] {
        const Order& o = data_.orderBook.at(orderBookNumber);
        auto waiting = pending_.find(o.orderUserId);
        if (waiting == pending_.end() && !isCancellable(o.status)) return;
        Change change = waiting == pending_.end() ? Change{o.quantity, o.limit1} : waiting->second;
        change.quantity = quantity.value_or(change.quantity);
        change.limit = limit.value_or(change.limit);
        if (waiting == pending_.end() && change.quantity == o.quantity && change.limit == o.limit1) return;
        pending_[o.orderUserId] = change;
        if (waiting == pending_.end()) placement_.cancelOrder(orderBookNumber);
    });
    redraw(orderBookNumber);
}

void OrderChanges::statusChanged(int orderBookNumber) {
    Change change{};
    int16_t status = 0;
    int32_t filled = 0;
    bool waiting = false;
    guard(log_, kTag, [&] {
        const Order& o = data_.orderBook.at(orderBookNumber);
        auto it = pending_.find(o.orderUserId);
        if (it == pending_.end() || !isFinished(o.status)) return;
        waiting = true;
        change = it->second;
        status = o.status;
        filled = o.filled;
        pending_.erase(it);
    });
    if (!waiting) return;
    if (status == StatusFilled) return messages_.showError(kFilledFirst);
    // Filled in part before the cancel: only the rest goes out again.
    change.quantity = change.quantity > filled ? change.quantity - filled : 0;
    if (change.quantity == 0) return messages_.showError(kFilledFirst);
    sendReplacement(orderBookNumber, change);
}

void OrderChanges::cancelRefused() {
    std::vector<int32_t> dropped;
    for (const auto& [userId, change] : pending_)
        dropped.push_back(userId);
    pending_.clear();
    for (int32_t userId : dropped)
        redraw(data_.orderBook.findByOrderUserId(userId));
    if (!dropped.empty()) messages_.showError(kCancelRefused);
}

std::string OrderChanges::pendingText(int orderBookNumber) const {
    if (!data_.orderBook.valid(orderBookNumber)) return {};
    auto it = pending_.find(data_.orderBook.at(orderBookNumber).orderUserId);
    if (it == pending_.end()) return {};
    return "Ändern: " + std::to_string(it->second.quantity) + " @" + strSingle(it->second.limit);
}

void OrderChanges::sendReplacement(int orderBookNumber, const Change& change) {
    // The replacement is composed as the user would: a new entry line from the quote
    // cell of the order's side, then its "TRANSMIT".
    const Order old = data_.orderBook.at(orderBookNumber);
    const int instrumentRow = data_.gridRows.findRow(old.instrumentNumber, RowInstrument);
    if (instrumentRow == 0) return messages_.showError("Order nicht gesendet: Wertpapier nicht im Grid");
    const bool buy = old.side.trimmed() == "BUY";
    actions_.selectCell(instrumentRow,
                        columns_.map(OrderGridColumns::kInstrumentSet,
                                     buy ? OrderGridColumns::kAskColumn : OrderGridColumns::kBidColumn));
    actions_.clickSelectedCell(0);
    const int row = actions_.lastInsertedRow();
    if (row == 0) return;
    guard(log_, kTag, [&] {
        Order& line = data_.entryLines.at(data_.gridRows.at(row).ref);
        line.quantity = change.quantity;
        line.orderType = old.orderType.str();
        line.limit1 = change.limit;
        line.limit2 = old.limit2;
        orderGrid_.redrawRow(row);
    });
    guard(log_, kTag, [&] { placement_.transmitRow(row); });
}

void OrderChanges::redraw(int orderBookNumber) {
    skipOnFailure([&] {
        const int row = data_.gridRows.findRow(orderBookNumber, RowOpenOrder);
        if (row > 0) orderGrid_.redrawRow(row);
    });
}

} // namespace kavex
