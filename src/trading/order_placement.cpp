#include "trading/order_placement.h"

#include "base/failure.h"
#include "base/numbers.h"
#include "base/text_list.h"
#include "model/trading_data.h"
#include "protocol/server_sender.h"
#include "protocol/wire.h"
#include "trading/order_events.h"

namespace kavex {
namespace {
constexpr const char* kTag = "PlaceOrder ";
} // namespace

OrderPlacement::OrderPlacement(TradingData& data, ServerSender& sender, UserMessages& messages,
                               OrderEvents& events, TextList& bridgeLog, FailureLog& log)
    : data_(data), sender_(sender), messages_(messages), events_(events), bridgeLog_(bridgeLog), log_(log) {}

std::string OrderPlacement::placeOrderMessage(const Order& o) {
    std::string body = "@PO=";
    body.append(o.accountCode.trimmed()).append(";");
    body.append(std::to_string(o.orderUserId)).append(";");
    body.append(std::to_string(o.instrumentNumber)).append(";");
    body.append(o.side.str()).append(";");
    body.append(o.orderType.str()).append(";");
    body.append(std::to_string(o.quantity)).append(";");
    body.append(strSingle(o.limit1)).append(";");
    body.append(strSingle(o.limit2)).append(";");
    body.append(std::to_string(o.bracketRole)).append(";");
    body.append(std::to_string(o.parentOrderUserId));
    return wire::frame(body);
}

std::string OrderPlacement::cancelOrderMessage(const Order& o) {
    std::string body = "@CO=";
    body.append(o.accountCode.trimmed()).append(";");
    body.append(std::to_string(o.orderUserId)).append(";");
    body.append(o.orderId.trimmed());
    return wire::frame(body);
}

bool OrderPlacement::refuseOffline() const {
    if (!offline()) return false;
    if (refusedOffline) refusedOffline();
    return true;
}

bool OrderPlacement::refusedByCheck(int line, bool fromOtherProgram) {
    if (!checkOrder) return false;
    Order order;
    guard(log_, kTag, [&] { order = data_.entryLines.at(line); });
    lastRefusal_ = checkOrder(order, fromOtherProgram);
    if (lastRefusal_.empty()) return false;
    messages_.showError(lastRefusal_);
    if (journal) guard(log_, kTag, [&] { journal("refused", order, lastRefusal_, line); });
    for (const RefusalObserver& observer : refusalObservers_)
        guard(log_, kTag, [&] { observer(order, lastRefusal_); });
    return true;
}

bool OrderPlacement::placeOrder(int line, int row, bool fromExternal, const std::string& externalRef) {
    lastRefusal_.clear();
    if (refuseOffline()) return false;
    if (refusedByCheck(line, fromExternal)) {
        if (fromExternal) {
            guard(log_, kTag, [&] { freeEntryLine(data_.entryLines.at(line)); });
            guard(log_, kTag, [&] { data_.gridRows.deleteRow(row); });
        }
        return false;
    }
    return sendChecked(line, row, fromExternal, externalRef);
}

bool OrderPlacement::sendChecked(int line, int row, bool fromExternal, const std::string& externalRef) {
    // The number is used up even when the stop check refuses the line.
    // Counted through the checked conversion: past the largest number it fails with "Overflow".
    guard(log_, kTag, [&] {
        data_.account.lastUserOrderId = roundToInt32(static_cast<double>(data_.account.lastUserOrderId) + 1);
    });

    bool refused = false;
    guard(log_, kTag, [&] {
        Order& o = data_.entryLines.at(line);
        if (o.orderType.str() != "STP" || o.bracketRole > BracketMain) return;
        float last = data_.instruments.at(o.instrumentNumber).Last;
        bool buy = o.side.trimmed() == "BUY";
        if (buy ? o.limit1 < last : o.limit1 > last) {
            refused = true;
            // A refused main takes its whole group along: its children never go out alone.
            if (o.bracketRole == BracketMain) freeBracketGroup(line);
            o.status = StatusCancelled;
            const char* reason = buy ? "Keine STP-Buy Order mit Limit unter Last-Kurs!"
                                     : "Keine STP-Sell Order mit Limit über Last-Kurs!";
            if (journal) journal("refused", o, reason, line);
            freeEntryLine(o);
            data_.gridRows.deleteRow(row);
            messages_.showError(reason);
        }
    });
    if (refused) return false;

    guard(log_, kTag, [&] {
        Order& o = data_.entryLines.at(line);
        o.accountCode = data_.account.accountCode.str();
        o.orderUserId = data_.account.lastUserOrderId;
    });
    guard(log_, kTag, [&] {
        const Order& main = data_.entryLines.at(line);
        if (main.bracketRole != BracketMain) return;
        for (int n = 1; n <= data_.entryLines.count(); ++n) {
            Order& child = data_.entryLines.at(n);
            if (child.bracketRole > BracketMain && child.parentLine == line)
                child.parentOrderUserId = main.orderUserId;
        }
    });
    if (fromExternal) {
        guard(log_, kTag, [&] {
            Order& o = data_.entryLines.at(line);
            o.orderUserId = roundToInt32(-static_cast<double>(o.orderUserId));
            if (bridgeNewOrderId) bridgeNewOrderId(externalRef, o.orderUserId);
            if (fileDropNewOrderId) fileDropNewOrderId(externalRef, o.orderUserId);
        });
    }
    guard(log_, kTag, [&] {
        const Order& o = data_.entryLines.at(line);
        std::string message = placeOrderMessage(o);
        if (o.orderUserId < 0) bridgeLog_.addLine(message);
        sender_.send(message);
    });
    guard(log_, kTag, [&] {
        Order& o = data_.entryLines.at(line);
        o.status = StatusPendSubm;
        data_.origins.lineSent(line, o.orderUserId);
        if (journal) journal("@PO", o, "", line);
        freeEntryLine(o);
    });
    guard(log_, kTag, [&] { data_.gridRows.deleteRow(row); });
    return true;
}

int OrderPlacement::findEntryRow(int line) const {
    // Only entry-line rows can hold the line; an order row with the same number is another record.
    const OrderGridRows& rows = data_.gridRows;
    for (int r = rows.rowCount(); r >= 2; --r)
        if (rows.at(r).kind == RowEntryLine && rows.at(r).ref == line) return r;
    return 0;
}

bool OrderPlacement::placeAndRemoveRow(int line, int row) {
    lastRefusal_.clear();
    // The entry line keeps its row.
    if (refuseOffline() || refusedByCheck(line, false)) return false;
    const bool sent = sendChecked(line, row, false, "");
    guard(log_, kTag, [&] { events_.entryRowRemoved(row); });
    return sent;
}

void OrderPlacement::placeWithChildren(int mainLine) {
    if (int row = findEntryRow(mainLine); row > 0 && !placeAndRemoveRow(mainLine, row)) {
        // The refused main released its group; the children's rows go with a rebuild.
        events_.rowListChanged();
        events_.allRowsChanged();
        return;
    }
    // Then the children, bottom row first.
    while (true) {
        int found = 0;
        const OrderGridRows& rows = data_.gridRows;
        for (int r = rows.rowCount(); r >= 2 && found == 0; --r) {
            const OrderGridRow& d = rows.at(r);
            if (d.kind == RowEntryLine && data_.entryLines.valid(d.ref) &&
                data_.entryLines.at(d.ref).parentLine == mainLine)
                found = r;
        }
        if (found == 0) return;
        placeAndRemoveRow(rows.at(found).ref, found);
    }
}

void OrderPlacement::transmitRow(int row) {
    const int line = data_.gridRows.at(row).ref;
    const Order& o = data_.entryLines.at(line);
    if (o.bracketRole == BracketPlain)
        placeAndRemoveRow(line, row);
    else
        placeWithChildren(o.bracketRole == BracketMain ? line : o.parentLine);
}

void OrderPlacement::transmitAll() {
    // Bottom row first; a bracket goes as its group, main first. Sending a group can remove
    // rows above the current one, so the walk then starts again from the bottom.
    int r = data_.gridRows.rowCount();
    while (r >= 2) {
        const OrderGridRows& rows = data_.gridRows;
        if (r > rows.rowCount()) r = rows.rowCount();
        if (r < 2) break;
        if (rows.at(r).kind != RowEntryLine || !data_.entryLines.valid(rows.at(r).ref)) {
            --r;
            continue;
        }
        const bool plain = data_.entryLines.at(rows.at(r).ref).bracketRole == BracketPlain;
        const int before = rows.rowCount();
        guard(log_, "TransAlle ", [&] { transmitRow(r); });
        if (rows.rowCount() == before)
            --r; // nothing removed (a failure): never loop on it
        else if (!plain)
            r = rows.rowCount();
        else
            --r;
    }
}

void OrderPlacement::cancelOrder(int orderBookNumber) {
    guard(log_, "Cancelorder ", [&] {
        const Order& o = data_.orderBook.at(orderBookNumber);
        sender_.send(cancelOrderMessage(o));
        if (journal) journal("@CO", o, "", 0);
    });
}

void OrderPlacement::cancelOrderByUserId(int32_t orderUserId) {
    int32_t n = data_.orderBook.findByOrderUserId(orderUserId);
    if (n > 0) cancelOrder(n);
}

void OrderPlacement::freeBracketGroup(int line) {
    guard(log_, "ResetAlleLeerOrders ", [&] {
        const Order& o = data_.entryLines.at(line);
        if (o.bracketRole == BracketPlain) return;
        int main = o.bracketRole == BracketMain ? line : o.parentLine;
        const OrderGridRows& rows = data_.gridRows;
        for (int r = rows.rowCount(); r >= 2; --r) {
            const OrderGridRow& d = rows.at(r);
            if (d.kind != RowEntryLine || !data_.entryLines.valid(d.ref)) continue;
            Order& candidate = data_.entryLines.at(d.ref);
            if (d.ref == main || candidate.parentLine == main) freeEntryLine(candidate);
        }
    });
}

void OrderPlacement::cancelAllOrders() {
    for (int n = 1; n <= data_.orderBook.count(); ++n)
        if (isCancellable(data_.orderBook.at(n).status)) cancelOrder(n);
    // Only a redraw: rebuilding the rows would reorder the entry lines the user is composing.
    events_.allRowsChanged();
}

} // namespace kavex
