#include "trading/order_reports.h"

#include "base/failure.h"
#include "base/numbers.h"
#include "base/split_fields.h"
#include "base/text_list.h"
#include "model/settings_file.h"
#include "model/trading_data.h"
#include "platform/event_loop.h"
#include "platform/services.h"
#include "protocol/message_dispatcher.h"
#include "protocol/wire.h"
#include "trading/order_events.h"
#include "trading/order_notes.h"

#include <cstdlib>

namespace kavex {
namespace {

uint8_t parseByte(std::string_view text) {
    int32_t v = parseInt32(text);
    if (v < 0 || v > 255) failOverflow();
    return static_cast<uint8_t>(v);
}

} // namespace

OrderReports::OrderReports(TradingData& data, OrderEvents& events, UserMessages& messages, Sound& sound,
                           const Settings& settings, EventLoop& loop, TextList& outgoing, TextList& log,
                           Label& accountCodeLabel)
    : data_(data), events_(events), messages_(messages), sound_(sound), settings_(settings), loop_(loop),
      outgoing_(outgoing), log_(log), accountCodeLabel_(accountCodeLabel) {}

void OrderReports::bind(MessageDispatcher& d) {
    d.setHandler(Handler::OpenOrder, [this](std::string_view b) { onOpenOrder(b); });
    d.setHandler(Handler::OrderStatus, [this](std::string_view b) { onOrderStatus(b); });
    d.setHandler(Handler::Execution, [this](std::string_view b) { onExecution(b); });
    d.setHandler(Handler::AllOrders, [this](std::string_view b) { onAllOrders(b); });
    d.setHandler(Handler::AllExecutions, [this](std::string_view b) { onAllExecutions(b); });
    d.setHandler(Handler::OpenOrders, [this](std::string_view b) { onOpenOrders(b); });
    d.setHandler(Handler::CancelRejected, [this](std::string_view b) { onCancelRejected(b); });
    d.setHandler(Handler::OrderRejected, [this](std::string_view b) { onOrderRejected(b); });
    d.setHandler(Handler::UserInfo, [this](std::string_view b) { onUserInfo(b); });
}

// Every field is a statement of its own: a bad one logs its line and the rest of the
// record is still taken.
Order OrderReports::orderFromFields(const Fields& f, FailureLog& log, std::string_view tag) {
    Order o;
    const auto field = [&](auto&& assign) { guard(log, tag, assign); };
    field([&] { o.orderUserId = parseInt32(f[1]); });
    o.orderId = f[2];
    o.orderRef = f[3];
    o.side = f[4];
    field([&] { o.quantity = parseInt32(f[5]); });
    o.orderType = f[6];
    field([&] { o.limit1 = parseSingle(f[7]); });
    field([&] { o.limit2 = parseSingle(f[8]); });
    field([&] { o.status = parseInt16(f[9]); });
    field([&] { o.filled = parseInt32(f[10]); });
    field([&] { o.remaining = parseInt32(f[11]); });
    field([&] { o.price = parseSingle(f[12]); });
    o.entryTime = f[13];
    o.statusTime = f[14];
    o.orderClass = f[15];
    field([&] { o.instrumentNumber = parseInt16(f[16]); });
    field([&] { o.bracketRole = parseInt16(f[17]); });
    field([&] { o.parentOrderUserId = parseInt32(f[18]); });
    o.statusInfo = f[19];
    field([&] { o.activeFlag = parseByte(f[20]); });
    field([&] { o.flag2 = parseByte(f[21]); });
    return o;
}

Execution OrderReports::executionFromFields(const Fields& f, FailureLog& log, std::string_view tag) {
    Execution e;
    const auto field = [&](auto&& assign) { guard(log, tag, assign); };
    e.accountCode = f[1];
    e.orderId = f[2];
    e.execRef = f[3];
    field([&] { e.instrumentNumber = parseInt16(f[4]); });
    e.currency = f[5];
    e.executionId = f[6];
    e.execTime = f[7];
    e.action = f[8];
    field([&] { e.quantity = parseInt32(f[9]); });
    field([&] { e.price = parseSingle(f[10]); });
    field([&] { e.amount = parseSingle(f[11]); });
    field([&] { e.commission = parseSingle(f[12]); });
    field([&] { e.profit = parseSingle(f[13]); });
    return e;
}

void OrderReports::forward(const std::string& text) {
    if (hooks.forwardToBridge) hooks.forwardToBridge(wire::frame(text));
}

void OrderReports::logLines(std::string_view body) {
    Fields lines = SplitFields(body, wire::kLineSeparatorText, 1000);
    for (int i = 1; i <= std::min(lines.count(), 1000); ++i)
        outgoing_.addLine(std::string(lines[i]));
}

void OrderReports::onOpenOrder(std::string_view body) {
    const char* tag = "WS_OO ";
    Fields f = SplitFields(body, ";", 1000);
    for (int i = 1; i <= std::min(f.count(), 1000); ++i)
        outgoing_.addLine(std::string(f[i]));
    Order order = orderFromFields(f, log_, tag);
    order.accountCode = data_.account.accountCode.str();
    guard(log_, tag, [&] {
        // The magnitude of the smallest number does not fit: "Overflow", the counter stays.
        const int32_t magnitude = roundToInt32(std::abs(static_cast<double>(order.orderUserId)));
        if (magnitude > data_.account.lastUserOrderId) data_.account.lastUserOrderId = magnitude;
    });
    guard(log_, tag, [&] {
        int32_t n = data_.orderBook.findByOrderId(order.orderId);
        const bool statusNew = n == 0 || data_.orderBook.at(n).status != order.status;
        if (statusNew && hooks.statusChanged) hooks.statusChanged(order);
        if (n == 0) {
            data_.orderBook.append(order);
            if (!isFinished(order.status)) note(order, "platziert");
            // One new row instead of a rebuild: an arrival costs the same with 10 or
            // 10,000 orders in the book.
            events_.orderAdded(data_.orderBook.count());
        } else {
            data_.orderBook.replace(n, order);
            int row = data_.gridRows.findRow(n, RowOpenOrder);
            if (row > 0) events_.rowChanged(row);
        }
    });
    if (bridgeConnected()) forward("@OI;" + std::string(f[1]) + ";" + std::string(f[2]));
}

void OrderReports::onOrderStatus(std::string_view body) {
    const char* tag = "WS_OS ";
    Fields f = SplitFields(body, ";", 1000);
    int32_t n = 0;
    guard(log_, tag, [&] { n = data_.orderBook.findByOrderUserId(parseInt32(f[1])); });
    if (n == 0) {
        log_.addLine("Keine Order für O.Status gef.:" + std::string(body));
        return;
    }
    const int16_t before = data_.orderBook.at(n).status;
    data_.orderBook.update(n, [&](Order& o) {
        const auto field = [&](auto&& assign) { guard(log_, tag, assign); };
        field([&] { o.status = parseInt16(f[3]); });
        o.statusTime = f[4];
        field([&] { o.filled = parseInt32(f[5]); });
        field([&] { o.remaining = parseInt32(f[6]); });
        field([&] { o.price = parseSingle(f[7]); });
        o.statusInfo = f[8];
        field([&] { o.activeFlag = parseByte(f[9]); });
        field([&] {
            float limit = parseSingle(f[10]);
            if (limit != 0) o.limit1 = limit;
        });
    });
    if (hooks.statusChanged && data_.orderBook.at(n).status != before)
        guard(log_, tag, [&] { hooks.statusChanged(data_.orderBook.at(n)); });
    guard(log_, tag, [&] {
        int row = data_.gridRows.findRow(n, RowOpenOrder);
        if (row > 0) {
            data_.gridRows.setKind(row, isFinished(data_.orderBook.at(n).status) ? RowFinishedOrder
                                                                                 : RowOpenOrder);
            events_.rowChanged(row);
        } else {
            log_.addLine("Keine Orderzeile für Order" + strInt(n) + " gefunden");
        }
    });
    guard(log_, tag, [&] {
        const Order& o = data_.orderBook.at(n);
        if (o.status == before) return;
        if (o.status == StatusFilled) note(o, "ausgeführt", " zu " + strSingleTrimmed(o.price));
        if (o.status == StatusCancelled) note(o, "gestrichen");
    });
    guard(log_, tag, [&] {
        int32_t userId = data_.orderBook.at(n).orderUserId;
        if (userId < 0 && hooks.reportOrderStatus) hooks.reportOrderStatus(userId);
    });
    if (hooks.orderStatusChanged) guard(log_, tag, [&] { hooks.orderStatusChanged(n); });
}

void OrderReports::onExecution(std::string_view body) {
    const char* tag = "WS_EX ";
    Fields f = SplitFields(body, ";", 100);
    const Execution e = executionFromFields(f, log_, tag);
    guard(log_, tag, [&] {
        int32_t n = data_.executionList.findByExecutionId(e.executionId);
        if (n > 0) {
            data_.executionList.replace(n, e);
            if (hooks.executionReplaced) hooks.executionReplaced(n);
        } else {
            ExecutionSound();
            data_.executionList.append(e);
            if (hooks.filled) hooks.filled(e);
            if (hooks.executionsChanged) hooks.executionsChanged();
        }
    });
    guard(log_, tag, [&] {
        int32_t order = data_.orderBook.findByOrderId(e.orderId);
        if (order > 0 && data_.orderBook.at(order).orderUserId < 0 && hooks.reportExecution)
            hooks.reportExecution(std::string(body));
    });
}

void OrderReports::note(const Order& order, std::string_view what, const std::string& tail) {
    messages_.showNote(timeOfDayText(loop_.now()) + " " + orderNote(data_.instruments, order, what) + tail);
}

void OrderReports::ExecutionSound() {
    if (settings_.executionSound != 0) sound_.play(kExecutionSoundFile);
}

void OrderReports::onAllOrders(std::string_view body) {
    const char* tag = "WS_SAO ";
    logLines(body);
    guard(log_, tag, [&] {
        Fields lines = SplitFields(body, wire::kLineSeparatorText, 1000);
        std::vector<Order> orders;
        Fields f;
        for (int i = 1; i <= std::min(lines.count(), 1000); ++i) {
            f.split(lines[i], ";", 100);
            Order o = orderFromFields(f, log_, tag);
            o.accountCode = data_.account.accountCode.str();
            orders.push_back(std::move(o));
        }
        data_.orderBook.replaceAll(std::move(orders));
    });
    guard(log_, tag, [&] { events_.rowListChanged(); });
    guard(log_, tag, [&] { events_.allRowsChanged(); });
}

void OrderReports::onAllExecutions(std::string_view body) {
    const char* tag = "WS_SAE ";
    logLines(body);
    guard(log_, tag, [&] {
        Fields lines = SplitFields(body, wire::kLineSeparatorText, 1000);
        std::vector<Execution> executions;
        Fields f;
        for (int i = 1; i <= std::min(lines.count(), 1000); ++i) {
            f.split(lines[i], ";", 100);
            executions.push_back(executionFromFields(f, log_, tag));
        }
        data_.executionList.replaceAll(std::move(executions));
    });
    if (hooks.executionsChanged) guard(log_, tag, [&] { hooks.executionsChanged(); });
    if (hooks.takeExecutionRequest && hooks.takeExecutionRequest()) forward("@SAE;" + std::string(body));
}

void OrderReports::onOpenOrders(std::string_view body) {
    logLines(body);
}

void OrderReports::onCancelRejected(std::string_view body) {
    outgoing_.addLine(">> Cancel Rejected" + std::string(body));
    messages_.showError(timeOfDayText(loop_.now()) + " Cancel Rejected " + std::string(body));
    if (hooks.cancelRejected) hooks.cancelRejected();
    if (hooks.rejected) hooks.rejected("@CR", body);
}

void OrderReports::onOrderRejected(std::string_view body) {
    outgoing_.addLine(">> Order Rejected" + std::string(body));
    messages_.showError(timeOfDayText(loop_.now()) + " Order Rejected " + std::string(body));
    if (hooks.rejected) hooks.rejected("@OR", body);
    if (bridgeConnected()) forward("@OR;" + std::string(body));
}

void OrderReports::onUserInfo(std::string_view body) {
    Fields lines = SplitFields(body, wire::kLineSeparatorText, 1000);
    std::string code(lines[1]);
    data_.account.accountCode = code;
    accountCodeLabel_.setText("UID:" + code);
}

} // namespace kavex
