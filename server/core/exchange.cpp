#include "core/exchange.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace kavex::server {

namespace {

constexpr int32_t kMaxQuantity = 1000000;

std::string accountCodeFor(int index) {
    char code[16];
    std::snprintf(code, sizeof code, "KV%04d", (index + 1) % 10000);
    return code;
}

// A small tolerance so that prices that are equal on the tick grid compare equal.
bool atOrBelow(double price, double limit, double tick) {
    return price <= limit + tick * 1e-6;
}
bool atOrAbove(double price, double limit, double tick) {
    return price >= limit - tick * 1e-6;
}

// A value of the request as a refusal quotes it: short, on one line, no field separator.
std::string quoted(std::string_view value) {
    constexpr std::size_t kShown = 20;
    std::size_t n = std::min(value.size(), kShown);
    while (n < value.size() && n > 0 && (static_cast<unsigned char>(value[n]) & 0xC0) == 0x80)
        --n; // not inside a character
    std::string out(value.substr(0, n));
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 32 || c == ';') c = ' ';
    if (n < value.size()) out += "...";
    return out;
}

} // namespace

Exchange::Exchange(Market& market, const std::vector<AccountSpec>& accounts, Clock clock,
                   ExchangeListener& listener)
    : market_(market), clock_(std::move(clock)), listener_(listener) {
    const LocalTime now = clock_();
    tradingDay_ = now.dayNumber();
    for (std::size_t i = 0; i < accounts.size(); ++i)
        accounts_.push_back(TradingAccount{accounts[i],
                                           accountCodeFor(static_cast<int>(i)),
                                           now.yyyymmdd(),
                                           Ledger(accounts[i].startCash),
                                           {},
                                           {},
                                           0});
    orderIndex_.resize(accounts_.size());
}

int Exchange::findAccount(std::string_view user) const {
    for (std::size_t i = 0; i < accounts_.size(); ++i)
        if (accounts_[i].setup.user == user) return static_cast<int>(i);
    return -1;
}

double Exchange::commission(const InstrumentSpec& setup, int32_t quantity, double price) {
    // Contracts pay a fee per contract; shares a share of the amount with a minimum.
    if (setup.multiplier != 1) return 2.5 * quantity;
    return std::max(2.5, std::round(price * quantity * 0.1) / 100.0);
}

int Exchange::findOrder(int account, int32_t userOrderId, std::string_view orderId) const {
    const OrderIndex& index = orderIndex_[static_cast<std::size_t>(account)];
    if (userOrderId != 0)
        if (auto it = index.byUserOrderId.find(userOrderId); it != index.byUserOrderId.end())
            return static_cast<int>(it->second);
    if (!orderId.empty())
        if (auto it = index.byOrderId.find(std::string(orderId)); it != index.byOrderId.end())
            return static_cast<int>(it->second);
    return -1;
}

// The first order with a number keeps it, as a search from the first order would find.
void Exchange::indexOrder(int account, std::size_t index) {
    const ServerOrder& o = accounts_[static_cast<std::size_t>(account)].orders[index];
    OrderIndex& to = orderIndex_[static_cast<std::size_t>(account)];
    to.byUserOrderId.try_emplace(o.userOrderId, index);
    to.byOrderId.try_emplace(o.orderId, index);
}

// The reason a request cannot become an order, or "" when it can.
std::string Exchange::refuse(const TradingAccount& a, const PlaceRequest& r) const {
    OrderType type;
    if (r.accountCode != a.code) return "Falsches Konto " + quoted(r.accountCode);
    if (r.userOrderId == 0) return "OrderUserID fehlt";
    if (!market_.valid(r.instrument)) return "Unbekanntes Wertpapier " + std::to_string(r.instrument);
    if (r.side != "BUY" && r.side != "SEL") return "Unbekannte Richtung " + quoted(r.side);
    if (r.type.empty()) return "Ordertyp fehlt";
    if (!parseOrderType(r.type, type)) return "Unbekannter Ordertyp " + quoted(r.type);
    if (r.quantity <= 0) return "Menge " + std::to_string(r.quantity) + " nicht erlaubt";
    if (r.quantity > kMaxQuantity) return "Menge zu gross";
    if (r.bracketRole < 0) return "Unbekannte Bracket-Rolle";
    const bool child = r.bracketRole >= kLimitChild;
    if (type == OrderType::Limit || type == OrderType::Stop) {
        if (r.limit1 == 0) return "Limit fehlt";
        if (!std::isfinite(r.limit1) || (r.limit1 < 0 && !child)) return "Limit ungültig";
    }
    if (findOrder(static_cast<int>(&a - accounts_.data()), r.userOrderId, {}) >= 0)
        return "OrderUserID " + std::to_string(r.userOrderId) + " bereits vergeben";
    if (child && findOrder(static_cast<int>(&a - accounts_.data()), r.parentUserOrderId, {}) < 0)
        return "Hauptorder " + std::to_string(r.parentUserOrderId) + " unbekannt";
    return {};
}

void Exchange::place(int account, const PlaceRequest& r) {
    TradingAccount& a = accounts_[static_cast<std::size_t>(account)];
    if (r.userOrderId != 0 && r.userOrderId != INT32_MIN)
        a.lastUserOrderId = std::max(a.lastUserOrderId, std::abs(r.userOrderId));
    changes_.accounts.push_back(account);
    if (std::string why = refuse(a, r); !why.empty()) {
        listener_.orderRejected(account, std::to_string(r.userOrderId) + ": " + why);
        return;
    }
    const LocalTime now = clock_();
    ServerOrder o;
    o.userOrderId = r.userOrderId;
    o.orderId = std::to_string(nextOrderId_++);
    o.orderRef = now.yyyymmdd();
    o.buy = r.side == "BUY";
    o.quantity = r.quantity;
    parseOrderType(r.type, o.type);
    o.limit1 = o.type == OrderType::Limit || o.type == OrderType::Stop ? r.limit1 : 0;
    o.limit2 = r.limit2;
    o.remaining = r.quantity;
    o.entryTime = o.statusTime = now.hhmmss();
    o.instrument = r.instrument;
    o.bracketRole = r.bracketRole;
    o.parentUserOrderId = o.isChild() ? r.parentUserOrderId : 0;
    o.statusInfo = "NEU";
    a.orders.push_back(o);
    const OrderRef ref{account, a.orders.size() - 1};
    indexOrder(account, ref.index);
    changedOrder(ref);
    listener_.orderOpened(account, order(ref));

    if (!order(ref).isChild()) {
        setStatus(ref, kSubmitted, "NEU");
        open_.push_back(ref);
        tryFill(ref);
        return;
    }
    const OrderRef mainRef{account, static_cast<std::size_t>(findOrder(account, o.parentUserOrderId, {}))};
    if (order(mainRef).status == kCancelled) {
        setStatus(ref, kCancelled, "STORNO");
        return;
    }
    order(ref).activeFlag = 0;
    setStatus(ref, kSubmitted, "WARTET");
    open_.push_back(ref);
    if (order(mainRef).status == kFilled) armChildren(mainRef);
}

void Exchange::setStatus(OrderRef r, int16_t status, const char* info) {
    ServerOrder& o = order(r);
    o.status = status;
    o.statusInfo = info;
    o.statusTime = clock_().hhmmss();
    changedOrder(r);
    listener_.orderChanged(r.account, o);
}

void Exchange::tryFill(OrderRef r) {
    const ServerOrder& o = order(r);
    if (o.status != kSubmitted || o.activeFlag == 0) return;
    const int n = o.instrument;
    const double tick = market_.setup(n).tickSize;
    const double touch = o.buy ? market_.ask(n) : market_.bid(n);
    switch (o.type) {
    case OrderType::Market:
        fill(r, touch, "AUSGEF.");
        break;
    case OrderType::Limit:
        if (o.buy ? atOrBelow(touch, o.limit1, tick) : atOrAbove(touch, o.limit1, tick))
            fill(r, touch, "AUSGEF.");
        break;
    case OrderType::Stop:
        if (o.buy ? atOrAbove(market_.last(n), o.limit1, tick) : atOrBelow(market_.last(n), o.limit1, tick))
            fill(r, touch, "STOP");
        break;
    case OrderType::MarketOnClose:
        break;
    }
}

void Exchange::fill(OrderRef r, double price, const char* info) {
    TradingAccount& a = accounts_[static_cast<std::size_t>(r.account)];
    ServerOrder& o = order(r);
    const InstrumentSpec& setup = market_.setup(o.instrument);
    const int32_t quantity = o.remaining;
    const double fee = commission(setup, quantity, price);
    const double profit = a.ledger.applyFill(o.instrument, o.buy ? quantity : -static_cast<int64_t>(quantity),
                                             price, setup.multiplier, fee);
    market_.addVolume(o.instrument, quantity);

    const LocalTime now = clock_();
    ServerExecution e;
    e.accountCode = a.code;
    e.orderId = o.orderId;
    e.execRef = std::to_string(o.userOrderId);
    e.instrument = o.instrument;
    e.currency = setup.currency;
    e.executionId = std::to_string(nextExecutionId_++);
    e.execTime = now.hhmmss();
    e.action = o.buy ? "BUY" : "SEL";
    e.quantity = quantity;
    e.price = price;
    e.amount = price * quantity * setup.multiplier;
    e.commission = fee;
    e.profit = profit;
    e.day = std::max(tradingDay_, now.dayNumber());
    a.executions.push_back(e);
    changes_.executions.emplace_back(r.account, a.executions.size() - 1);
    changes_.accounts.push_back(r.account);

    o.filled += quantity;
    o.remaining = 0;
    o.price = price;
    listener_.executed(r.account, a.executions.back());
    setStatus(r, kFilled, info);
    if (o.bracketRole == kBracketMain) armChildren(r);
    if (order(r).isChild()) cancelSiblings(r);
    listener_.booksChanged(r.account);
}

// The main order has filled: the children become live, offsets turn into prices.
void Exchange::armChildren(OrderRef mainRef) {
    const ServerOrder main = order(mainRef);
    auto& orders = accounts_[static_cast<std::size_t>(mainRef.account)].orders;
    for (std::size_t i = 0; i < orders.size(); ++i) {
        ServerOrder& c = orders[i];
        if (!c.isChild() || c.parentUserOrderId != main.userOrderId || c.status != kSubmitted || c.activeFlag)
            continue;
        if (c.limit1 < 0) {
            const double offset = -c.limit1;
            // Profit target beyond the fill, stop on the losing side of it.
            const bool above = (c.type == OrderType::Limit) != c.buy;
            c.limit1 = above ? main.price + offset : main.price - offset;
            if (c.limit1 <= 0) c.limit1 = market_.setup(c.instrument).tickSize;
        }
        c.activeFlag = 1;
        setStatus(OrderRef{mainRef.account, i}, kSubmitted, "AKTIV");
        tryFill(OrderRef{mainRef.account, i});
    }
}

void Exchange::cancelSiblings(OrderRef childRef) {
    const ServerOrder child = order(childRef);
    auto& orders = accounts_[static_cast<std::size_t>(childRef.account)].orders;
    for (std::size_t i = 0; i < orders.size(); ++i) {
        const ServerOrder& c = orders[i];
        if (i != childRef.index && c.isChild() && c.parentUserOrderId == child.parentUserOrderId && c.open())
            setStatus(OrderRef{childRef.account, i}, kCancelled, "OCO");
    }
}

void Exchange::cancelChildren(int account, int32_t mainUserOrderId) {
    auto& orders = accounts_[static_cast<std::size_t>(account)].orders;
    for (std::size_t i = 0; i < orders.size(); ++i)
        if (orders[i].isChild() && orders[i].parentUserOrderId == mainUserOrderId && orders[i].open())
            setStatus(OrderRef{account, i}, kCancelled, "STORNO");
}

void Exchange::cancel(int account, const OrderReference& ref) {
    const TradingAccount& a = accounts_[static_cast<std::size_t>(account)];
    const std::string who = std::to_string(ref.userOrderId) + ": ";
    if (ref.accountCode != a.code) {
        listener_.cancelRejected(account, who + "Falsches Konto " + ref.accountCode);
        return;
    }
    const int index = findOrder(account, ref.userOrderId, ref.orderId);
    if (index < 0) {
        listener_.cancelRejected(account, who + "Order unbekannt");
        return;
    }
    const OrderRef r{account, static_cast<std::size_t>(index)};
    if (order(r).status == kFilled) {
        listener_.cancelRejected(account, who + "Order bereits ausgefuehrt");
        return;
    }
    if (!order(r).open()) {
        listener_.cancelRejected(account, who + "Order bereits storniert");
        return;
    }
    setStatus(r, kPendingCancel, "STORNO");
    setStatus(r, kCancelled, "STORNO");
    cancelChildren(account, order(r).userOrderId);
}

void Exchange::markBracketMain(int account, const OrderReference& ref) {
    const int index = findOrder(account, ref.userOrderId, ref.orderId);
    if (index < 0 || ref.accountCode != accounts_[static_cast<std::size_t>(account)].code) return;
    ServerOrder& o = order(OrderRef{account, static_cast<std::size_t>(index)});
    if (o.bracketRole != kPlain) return;
    o.bracketRole = kBracketMain;
    changedOrder(OrderRef{account, static_cast<std::size_t>(index)});
    listener_.orderOpened(account, o);
}

bool Exchange::hasChildren(int account, int32_t mainUserOrderId) const {
    const auto& orders = accounts_[static_cast<std::size_t>(account)].orders;
    return std::any_of(orders.begin(), orders.end(), [&](const ServerOrder& o) {
        return o.isChild() && o.parentUserOrderId == mainUserOrderId;
    });
}

void Exchange::bracketQuery(int account, const OrderReference& ref) {
    const int index = findOrder(account, ref.userOrderId, ref.orderId);
    if (index < 0 || ref.accountCode != accounts_[static_cast<std::size_t>(account)].code) return;
    ServerOrder& o = order(OrderRef{account, static_cast<std::size_t>(index)});
    // Children that were sent keep the bracket, finished ones too: they belong to its history.
    if (o.bracketRole == kBracketMain && !hasChildren(account, o.userOrderId)) {
        o.bracketRole = kPlain;
        changedOrder(OrderRef{account, static_cast<std::size_t>(index)});
    }
    listener_.orderOpened(account, o);
}

void Exchange::quoteChanged(int instrument) {
    // Fills can arm bracket children, which were placed earlier and so are in the list.
    for (std::size_t i = 0; i < open_.size(); ++i) {
        const OrderRef r = open_[i];
        if (order(r).instrument == instrument) tryFill(r);
    }
    pruneOpen();
}

void Exchange::pruneOpen() {
    std::erase_if(open_, [this](const OrderRef& r) { return !order(r).open(); });
}

void Exchange::closeSession() {
    for (std::size_t i = 0; i < open_.size(); ++i) {
        const OrderRef r = open_[i];
        const ServerOrder& o = order(r);
        if (o.type == OrderType::MarketOnClose && o.status == kSubmitted && o.activeFlag)
            fill(r, market_.last(o.instrument), "SCHLUSS");
    }
    pruneOpen();
    for (std::size_t i = 0; i < accounts_.size(); ++i) {
        accounts_[i].ledger.startNewDay(market_);
        changes_.accounts.push_back(static_cast<int>(i));
    }
    tradingDay_ = clock_().dayNumber() + 1;
}

namespace {
template <class T> void sortUnique(std::vector<T>& v) {
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}
} // namespace

void ExchangeChanges::merge(ExchangeChanges&& later) {
    auto add = [](auto& to, auto& from) {
        to.insert(to.end(), from.begin(), from.end());
        sortUnique(to);
    };
    add(orders, later.orders);
    add(executions, later.executions);
    add(accounts, later.accounts);
}

ExchangeChanges Exchange::takeChanges() {
    ExchangeChanges out = std::move(changes_);
    changes_ = {};
    out.merge({});
    return out;
}

void Exchange::restore(const std::vector<TradingAccount>& saved, int64_t nextOrderId, int64_t nextExecutionId,
                       int64_t tradingDay) {
    for (const TradingAccount& s : saved) {
        const int index = findAccount(s.setup.user);
        if (index < 0) continue;
        TradingAccount& a = accounts_[static_cast<std::size_t>(index)];
        a.code = s.code;
        a.openedDate = s.openedDate;
        a.ledger = s.ledger;
        a.orders = s.orders;
        a.executions = s.executions;
        a.lastUserOrderId = s.lastUserOrderId;
        orderIndex_[static_cast<std::size_t>(index)] = {};
        for (std::size_t i = 0; i < a.orders.size(); ++i) {
            indexOrder(index, i);
            if (a.orders[i].open() && market_.valid(a.orders[i].instrument)) open_.push_back({index, i});
        }
    }
    nextOrderId_ = std::max<int64_t>(nextOrderId_, nextOrderId);
    nextExecutionId_ = std::max<int64_t>(nextExecutionId_, nextExecutionId);
    tradingDay_ = tradingDay;
}

Places Exchange::placesOf(int account) const {
    const Ledger& mine = accounts_[static_cast<std::size_t>(account)].ledger;
    const double total = mine.totalResult(market_), today = mine.todayResult(market_);
    int betterTotal = 0, betterToday = 0;
    for (const TradingAccount& other : accounts_) {
        // The same sums as totalResult() and todayResult(), with the equity worked out once.
        const double equity = other.ledger.equity(market_);
        betterTotal += equity - other.ledger.startCash() > total ? 1 : 0;
        betterToday += equity - other.ledger.dayStartEquity() > today ? 1 : 0;
    }
    return Places{static_cast<int16_t>(std::min(betterTotal + 1, 101)),
                  static_cast<int16_t>(std::min(betterToday + 1, 101))};
}

std::vector<Places> Exchange::ranking() const {
    const std::size_t n = accounts_.size();
    std::vector<double> total(n), today(n);
    for (std::size_t i = 0; i < n; ++i) {
        total[i] = accounts_[i].ledger.totalResult(market_);
        today[i] = accounts_[i].ledger.todayResult(market_);
    }
    // Place = 1 + the number of players with a strictly better result.
    auto placesOf = [](const std::vector<double>& results) {
        std::vector<double> sorted = results;
        std::sort(sorted.begin(), sorted.end(), std::greater<>());
        std::vector<int16_t> places(results.size());
        for (std::size_t i = 0; i < results.size(); ++i) {
            const auto better =
                std::lower_bound(sorted.begin(), sorted.end(), results[i], std::greater<>()) - sorted.begin();
            places[i] = static_cast<int16_t>(std::min<std::ptrdiff_t>(better + 1, 101));
        }
        return places;
    };
    const auto totalPlaces = placesOf(total), dayPlaces = placesOf(today);
    std::vector<Places> out(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = Places{totalPlaces[i], dayPlaces[i]};
    return out;
}

} // namespace kavex::server
