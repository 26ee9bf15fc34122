#include "trading/order_journal_feed.h"

#include "base/numbers.h"
#include "model/trading_data.h"
#include "trading/order_journal.h"

namespace kavex {
namespace {

std::string_view statusText(int code) {
    return code >= 0 && code <= StatusFilled ? OrderStatusText(code) : std::string_view("?");
}

} // namespace

OrderJournalFeed::OrderJournalFeed(OrderJournal& journal, const TradingData& data)
    : journal_(journal), data_(data) {}

JournalLine OrderJournalFeed::lineOf(std::string_view event, const Order& o, int line) const {
    JournalLine j;
    j.event = event;
    j.order = o.orderUserId;
    if (data_.instruments.valid(o.instrumentNumber))
        j.instrument = data_.instruments.at(o.instrumentNumber).Ticker;
    j.side = o.side.trimmed();
    j.type = o.orderType.trimmed();
    j.quantity = o.quantity;
    j.limit1 = o.limit1;
    j.limit2 = o.limit2;
    j.status = trimBlanks(statusText(o.status));
    j.origin =
        originText(o.orderUserId != 0 ? data_.origins.ofOrder(o.orderUserId) : data_.origins.ofLine(line));
    return j;
}

void OrderJournalFeed::orderEvent(std::string_view event, const Order& order, std::string_view text,
                                  int line) {
    JournalLine j = lineOf(event, order, line);
    j.text = text;
    if (event == "@PO") sent_[order.orderUserId] = order;
    journal_.write(j);
}

void OrderJournalFeed::fill(const Execution& e) {
    const int32_t n = data_.orderBook.findByOrderId(e.orderId);
    Order order = n > 0 ? data_.orderBook.at(n) : Order{};
    if (n == 0) {
        order.instrumentNumber = e.instrumentNumber;
        order.side = e.action.str();
    }
    order.quantity = e.quantity;
    JournalLine j = lineOf("fill", order, 0);
    j.fillPrice = e.price;
    j.text = e.executionId.trimmed();
    journal_.write(j);
}

void OrderJournalFeed::rejection(std::string_view event, std::string_view body) {
    // The leading number of the text, when it is one of ours.
    const double leading = parseLeading(body);
    const int32_t id =
        leading >= -2147483647.0 && leading <= 2147483647.0 ? static_cast<int32_t>(leading) : 0;
    Order order;
    if (const int32_t n = id != 0 ? data_.orderBook.findByOrderUserId(id) : 0; n > 0)
        order = data_.orderBook.at(n);
    else if (const auto found = sent_.find(id); id != 0 && found != sent_.end())
        order = found->second;
    if (order.orderUserId == 0) order.orderUserId = id;
    JournalLine j = lineOf(event, order, 0);
    j.text = body;
    journal_.write(j);
}

} // namespace kavex
