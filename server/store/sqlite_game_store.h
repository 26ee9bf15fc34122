#pragma once
// The game kept in an SQLite file. WAL journal with synchronous=NORMAL: a commit is on
// disk in the journal when it returns, so a killed server loses no committed step (a
// power cut may lose the last few). The file is held exclusively while the server
// runs, so a second server cannot play the same game at once.
#include "core/game_store.h"

#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace kavex::server {

class SqliteGameStore : public GameStore {
  public:
    // Opens or creates the file; throws std::runtime_error naming it when it cannot.
    explicit SqliteGameStore(const std::string& path);
    ~SqliteGameStore() override;
    SqliteGameStore(const SqliteGameStore&) = delete;
    SqliteGameStore& operator=(const SqliteGameStore&) = delete;

    std::optional<SavedGame> load() override;
    void begin() override;
    void commit() override;
    void rollback() override;
    void saveInstruments(const std::vector<std::string>& tickers) override;
    void saveCounters(const GameCounters& counters) override;
    void saveAccount(const TradingAccount& account) override;
    void saveOrder(const std::string& user, std::size_t index, const ServerOrder& order) override;
    void saveExecution(const std::string& user, std::size_t index, const ServerExecution& execution) override;
    void saveQuote(int instrument, const Quote& quote) override;

  private:
    class Statement;
    void exec(const char* sql);
    [[noreturn]] void fail(const std::string& what) const;
    sqlite3_stmt* prepare(const char* sql);
    void loadAccounts(SavedGame& game);

    std::string path_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* counters_ = nullptr;
    sqlite3_stmt* account_ = nullptr;
    sqlite3_stmt* clearHoldings_ = nullptr;
    sqlite3_stmt* holding_ = nullptr;
    sqlite3_stmt* order_ = nullptr;
    sqlite3_stmt* execution_ = nullptr;
    sqlite3_stmt* quote_ = nullptr;
};

} // namespace kavex::server
