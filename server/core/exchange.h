#pragma once
// The game's order book: accepts, matches and cancels the players' orders against the
// simulated quotes and keeps each player's orders, executions and books.
//
// Matching rules (the whole remaining quantity fills at once):
//  - market: at once, buying at the ask, selling at the bid;
//  - limit: as soon as the ask is at or below the limit (buy) or the bid at or above
//    it (sell), at that ask or bid;
//  - stop: as soon as the last price reaches the stop (buy: at or above, sell: at or
//    below), then like a market order;
//  - market-on-close: at the session close, at the last price.
// Bracket children wait until their main order has filled; a negative limit on a child
// is an offset from the main order's fill price. When one child fills, its siblings
// are cancelled; cancelling a main order cancels its waiting children.
#include "core/account_file.h"
#include "core/clock.h"
#include "core/ledger.h"
#include "core/market.h"
#include "core/orders.h"

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kavex::server {

struct TradingAccount {
    AccountSpec setup;
    std::string code;       // account code, 6 characters
    std::string openedDate; // yyyymmdd, the first day statements exist for
    Ledger ledger;
    std::vector<ServerOrder> orders;
    std::vector<ServerExecution> executions;
    int32_t lastUserOrderId = 0; // highest player order number seen (absolute value)
};

// What the exchange reports; the game turns each report into messages to the
// account's sessions.
class ExchangeListener {
  public:
    virtual ~ExchangeListener() = default;
    virtual void orderOpened(int account, const ServerOrder& order) = 0;
    virtual void orderChanged(int account, const ServerOrder& order) = 0;
    virtual void executed(int account, const ServerExecution& execution) = 0;
    virtual void orderRejected(int account, const std::string& text) = 0;
    virtual void cancelRejected(int account, const std::string& text) = 0;
    virtual void booksChanged(int account) = 0;
};

// What changed since it was last taken, each named once: orders and executions by
// account and position, and the accounts whose books or last order number moved.
struct ExchangeChanges {
    std::vector<std::pair<int, std::size_t>> orders;
    std::vector<std::pair<int, std::size_t>> executions;
    std::vector<int> accounts;
    bool empty() const { return orders.empty() && executions.empty() && accounts.empty(); }
    // Adds `later`, keeping each entry once and in order.
    void merge(ExchangeChanges&& later);
};

struct Places {
    int16_t total = 0; // 1..100, 101 beyond 100
    int16_t day = 0;
};

class Exchange {
  public:
    Exchange(Market& market, const std::vector<AccountSpec>& accounts, Clock clock,
             ExchangeListener& listener);

    int accountCount() const { return static_cast<int>(accounts_.size()); }
    const TradingAccount& account(int a) const { return accounts_[static_cast<std::size_t>(a)]; }
    int findAccount(std::string_view user) const; // -1 when unknown

    void place(int account, const PlaceRequest& request);
    void cancel(int account, const OrderReference& reference);
    // Marks a player's order as the main order of a bracket that follows.
    void markBracketMain(int account, const OrderReference& reference);
    // The player dropped the bracket children of a main order before sending them: a main
    // order that no child names falls back to a plain order. Either way the order is
    // reported again, so the player's copy shows the role the game holds.
    void bracketQuery(int account, const OrderReference& reference);

    // Matches the open orders of one instrument after its quote changed.
    void quoteChanged(int instrument);
    // Fills the market-on-close orders at the last prices and starts a new trading day.
    void closeSession();

    // Places by total and by today's result over all players.
    std::vector<Places> ranking() const;
    // The places of one player, the same as its entry in ranking(), without sorting everyone.
    Places placesOf(int account) const;
    int64_t executionCount() const { return nextExecutionId_ - 1; }
    int64_t nextOrderId() const { return nextOrderId_; }
    int64_t tradingDay() const { return tradingDay_; }

    ExchangeChanges takeChanges();
    // Brings back a kept game: the accounts found by user name (others start fresh) and
    // the counters, so that numbers go on where they stopped.
    void restore(const std::vector<TradingAccount>& saved, int64_t nextOrderId, int64_t nextExecutionId,
                 int64_t tradingDay);

    static double commission(const InstrumentSpec& setup, int32_t quantity, double price);

  private:
    struct OrderRef {
        int account;
        std::size_t index;
    };
    ServerOrder& order(OrderRef r) { return accounts_[static_cast<std::size_t>(r.account)].orders[r.index]; }
    int findOrder(int account, int32_t userOrderId, std::string_view orderId) const;
    void indexOrder(int account, std::size_t index);
    std::string refuse(const TradingAccount& a, const PlaceRequest& r) const;
    void tryFill(OrderRef r);
    void fill(OrderRef r, double price, const char* info);
    void setStatus(OrderRef r, int16_t status, const char* info);
    void armChildren(OrderRef mainRef);
    void cancelSiblings(OrderRef childRef);
    void cancelChildren(int account, int32_t mainUserOrderId);
    bool hasChildren(int account, int32_t mainUserOrderId) const;
    void pruneOpen();
    void changedOrder(OrderRef r) { changes_.orders.emplace_back(r.account, r.index); }

    Market& market_;
    Clock clock_;
    ExchangeListener& listener_;
    std::vector<TradingAccount> accounts_;
    std::vector<OrderRef> open_; // may hold closed orders until the next prune
    // Per account: order positions by user order number and by order id, so that finding
    // an order costs the same however many orders the account has made.
    struct OrderIndex {
        std::unordered_map<int32_t, std::size_t> byUserOrderId;
        std::unordered_map<std::string, std::size_t> byOrderId;
    };
    std::vector<OrderIndex> orderIndex_;
    int64_t nextOrderId_ = 1;
    int64_t nextExecutionId_ = 1;
    int64_t tradingDay_ = 0;
    ExchangeChanges changes_;
};

} // namespace kavex::server
