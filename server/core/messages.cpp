#include "core/messages.h"

#include "base/numbers.h"
#include "protocol/wire.h"

#include <cstdio>

namespace kavex::server::msg {

namespace {

std::string num(double value) {
    return strSingle(static_cast<float>(value));
}
std::string whole(int64_t value) {
    return std::to_string(value);
}

// Appends fields separated by ";".
class Line {
  public:
    // A non-empty start is the head and first field; later fields follow a ";".
    explicit Line(std::string start = {}) : text_(std::move(start)), any_(!text_.empty()) {}
    Line& add(std::string_view field) {
        if (any_) text_ += ';';
        text_ += field;
        any_ = true;
        return *this;
    }
    std::string take() { return std::move(text_); }

  private:
    std::string text_;
    bool any_ = false;
};

template <class List, class Format> std::string lines(std::string head, const List& list, Format format) {
    bool first = true;
    for (const auto& item : list) {
        if (!first) head += wire::kLineSeparator;
        head += format(item);
        first = false;
    }
    return head;
}

} // namespace

std::string instrumentList(const Market& market) {
    std::string out = "@SI=";
    for (int n = 1; n <= market.count(); ++n) {
        const InstrumentSpec& s = market.setup(n);
        const Quote& q = market.quote(n);
        if (n > 1) out += wire::kLineSeparator;
        out += Line()
                   .add(s.ticker)
                   .add(s.code)
                   .add(s.currency)
                   .add(num(market.last(n)))
                   .add(num(market.bid(n)))
                   .add(whole(q.bidSize))
                   .add(num(market.ask(n)))
                   .add(whole(q.askSize))
                   .add(s.name)
                   .add(num(s.multiplier))
                   .add(num(s.tickSize))
                   .add(num(s.marginPercent))
                   .take();
    }
    return out;
}

std::string codeTable(const Market& market) {
    std::string out = "!;T;01";
    for (int n = 1; n <= market.count(); ++n) {
        if (n > 1) out += ';';
        out += market.setup(n).code;
    }
    return out;
}

std::string quote(const Market& market, const QuoteEvent& event) {
    const int n = event.instrument;
    const Quote& q = market.quote(n);
    auto distance = [&](int64_t a, int64_t b) { return num(market.price(n, a - b)); };
    const std::string bidDistance = distance(q.lastTicks, q.bidTicks);
    const std::string askDistance = distance(q.askTicks, q.lastTicks);
    switch (event.form) {
    case QuoteForm::Long:
        return Line("@KU=" + whole(n))
            .add(num(market.bid(n)))
            .add(whole(q.bidSize))
            .add(num(market.ask(n)))
            .add(whole(q.askSize))
            .add(num(market.last(n)))
            .take();
    case QuoteForm::Full:
        return Line("~" + whole(n))
            .add(num(market.last(n)))
            .add(bidDistance)
            .add(whole(q.bidSize))
            .add(askDistance)
            .add(whole(q.askSize))
            .take();
    case QuoteForm::BidAsk:
        return Line("^1" + whole(n))
            .add(bidDistance)
            .add(whole(q.bidSize))
            .add(askDistance)
            .add(whole(q.askSize))
            .take();
    case QuoteForm::AskWithSize:
        return Line("^2" + whole(n)).add(askDistance).add(whole(q.askSize)).take();
    case QuoteForm::AskOnly:
        return Line("^3" + whole(n)).add(askDistance).take();
    case QuoteForm::AskSize:
        return Line("^4" + whole(n)).add(whole(q.askSize)).take();
    case QuoteForm::BidWithSize:
        return Line("^5" + whole(n)).add(bidDistance).add(whole(q.bidSize)).take();
    }
    return {};
}

std::string orderFields(const ServerOrder& o) {
    return Line()
        .add(whole(o.userOrderId))
        .add(o.orderId)
        .add(o.orderRef)
        .add(o.buy ? "BUY" : "SEL")
        .add(whole(o.quantity))
        .add(typeText(o.type))
        .add(num(o.limit1))
        .add(num(o.limit2))
        .add(whole(o.status))
        .add(whole(o.filled))
        .add(whole(o.remaining))
        .add(num(o.price))
        .add(o.entryTime)
        .add(o.statusTime)
        .add(o.orderClass)
        .add(whole(o.instrument))
        .add(whole(o.bracketRole))
        .add(whole(o.parentUserOrderId))
        .add(o.statusInfo)
        .add(whole(o.activeFlag))
        .add(whole(o.flag2))
        .take();
}

std::string openOrder(const ServerOrder& o) {
    return "@OO=" + orderFields(o);
}

std::string orderStatus(const ServerOrder& o) {
    return Line("@OS=" + whole(o.userOrderId))
        .add(o.orderId)
        .add(whole(o.status))
        .add(o.statusTime)
        .add(whole(o.filled))
        .add(whole(o.remaining))
        .add(num(o.price))
        .add(o.statusInfo)
        .add(whole(o.activeFlag))
        .add(num(o.limit1))
        .take();
}

std::string executionFields(const ServerExecution& e) {
    return Line()
        .add(e.accountCode)
        .add(e.orderId)
        .add(e.execRef)
        .add(whole(e.instrument))
        .add(e.currency)
        .add(e.executionId)
        .add(e.execTime)
        .add(e.action)
        .add(whole(e.quantity))
        .add(num(e.price))
        .add(num(e.amount))
        .add(num(e.commission))
        .add(num(e.profit))
        .take();
}

std::string execution(const ServerExecution& e) {
    return "@EX=" + executionFields(e);
}

std::string allOrders(const std::vector<ServerOrder>& orders) {
    return lines("@SAO=", orders, orderFields);
}

std::string openOrders(const std::vector<ServerOrder>& orders) {
    std::vector<ServerOrder> open;
    for (const ServerOrder& o : orders)
        if (o.open()) open.push_back(o);
    return lines("@SOO=", open, orderFields);
}

std::string allExecutions(const std::vector<ServerExecution>& list) {
    return lines("@SAE=", list, executionFields);
}

std::string accountFigures(const TradingAccount& a, const Market& market, Places places) {
    const Ledger& l = a.ledger;
    return Line("@SUK=" + a.openedDate)
        .add(a.setup.user)
        .add(num(l.equity(market)))
        .add(num(l.earlierResult()))
        .add(num(l.todayResult(market)))
        .add(whole(places.total))
        .add(whole(places.day))
        .add(num(l.margin(market)))
        .take();
}

std::string userData(const TradingAccount& a, const Market& market) {
    const Ledger& l = a.ledger;
    Line line("@SUD=" + num(l.todayResult(market)));
    line.add(num(l.earlierResult()));
    for (const auto& [n, h] : l.holdings())
        line.add(whole(h.quantity))
            .add(num(l.holdingMargin(market, n)))
            .add(num(l.holdingCost(market, n)))
            .add(num(l.holdingValue(market, n)))
            .add(whole(n));
    return line.take();
}

std::string ranking(const TradingAccount& a, const Market& market, Places places) {
    return Line("@SUP=" + whole(places.total))
        .add(whole(places.day))
        .add(num(a.ledger.margin(market)))
        .take();
}

std::string placeInfo(Places places, int players) {
    auto text = [&](int16_t place) { return place > 100 ? "> 100" : whole(place) + " / " + whole(players); };
    return Line("@PI=" + text(places.total)).add(text(places.day)).take();
}

std::string systemInfo(const std::vector<std::string>& texts) {
    Line line;
    for (const std::string& t : texts)
        line.add(t);
    return "@SYI=" + line.take();
}

std::string statement(const TradingAccount& a, const Market& market, int64_t dayNumber, bool today) {
    const LocalTime date = dateOfDayNumber(dayNumber);
    char text[200];
    std::snprintf(text, sizeof text, "@SD=FILE=%s%sK.TXT", a.code.c_str(), date.yyyymmdd().c_str());
    Line out(text);
    std::snprintf(text, sizeof text, "Kontoauszug %s (%s) vom %02d.%02d.%04d", a.code.c_str(),
                  a.setup.user.c_str(), date.day, date.month, date.year);
    out.add(text);
    out.add(std::string(72, '-'));
    std::snprintf(text, sizeof text, "%-8s %-4s %8s %-8s %12s %14s %10s %12s", "Zeit", "Akt.", "Stück",
                  "Ticker", "Preis", "Summe", "Kommiss.", "Gewinn");
    out.add(text);
    int count = 0;
    double fees = 0, profit = 0;
    for (const ServerExecution& e : a.executions) {
        if (e.day != dayNumber) continue;
        const std::string time =
            e.execTime.substr(0, 2) + ":" + e.execTime.substr(2, 2) + ":" + e.execTime.substr(4, 2);
        std::snprintf(text, sizeof text, "%-8s %-4s %8d %-8s %12s %14s %10s %12s", time.c_str(),
                      e.action.c_str(), e.quantity, market.setup(e.instrument).ticker.c_str(),
                      strSingleTrimmed(float(e.price)).c_str(), strSingleTrimmed(float(e.amount)).c_str(),
                      strSingleTrimmed(float(e.commission)).c_str(),
                      strSingleTrimmed(float(e.profit)).c_str());
        out.add(text);
        ++count;
        fees += e.commission;
        profit += e.profit;
    }
    if (count == 0) out.add("Keine Umsätze an diesem Tag.");
    out.add(std::string(72, '-'));
    out.add("Umsätze: " + whole(count) + "   Kommissionen:" + num(fees) + "   Gewinn:" + num(profit) +
            "   Ergebnis:" + num(profit - fees));
    if (today)
        out.add("Kontostand:" + num(a.ledger.equity(market)) + "   Margin:" + num(a.ledger.margin(market)) +
                "   Ergebnis heute:" + num(a.ledger.todayResult(market)));
    return out.take();
}

} // namespace kavex::server::msg
