#pragma once
// Where the game keeps what must outlive the server process: the accounts with their
// books, orders and executions, the quotes, and every counter. The game writes all
// changes of one step (an order command with its matching, a price step with its
// matching, the session close) between begin() and commit(), so a crash keeps either
// the whole step or none of it.
#include "core/exchange.h"
#include "core/market.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kavex::server {

struct GameCounters {
    int64_t nextOrderId = 1;
    int64_t nextExecutionId = 1;
    int64_t tradingDay = 0;
    int64_t lastCloseDay = 0; // 0: no session close has run yet
    int64_t quoteSteps = 0;
};

struct SavedGame {
    std::vector<std::string> tickers; // the instruments the game was played with, in order
    std::vector<Quote> quotes;        // one per ticker
    GameCounters counters;
    std::vector<TradingAccount> accounts; // setup holds only the user name
};

class GameStore {
  public:
    virtual ~GameStore() = default;

    // The game kept so far, or nothing when the store is new.
    virtual std::optional<SavedGame> load() = 0;

    virtual void begin() = 0;
    virtual void commit() = 0;
    // Undoes what was written since begin().
    virtual void rollback() = 0;

    virtual void saveInstruments(const std::vector<std::string>& tickers) = 0;
    virtual void saveCounters(const GameCounters& counters) = 0;
    // The account's figures, holdings and last user order number (not its orders).
    virtual void saveAccount(const TradingAccount& account) = 0;
    virtual void saveOrder(const std::string& user, std::size_t index, const ServerOrder& order) = 0;
    virtual void saveExecution(const std::string& user, std::size_t index,
                               const ServerExecution& execution) = 0;
    virtual void saveQuote(int instrument, const Quote& quote) = 0;
};

} // namespace kavex::server
