#include "store/sqlite_game_store.h"

#include <sqlite3.h>

#include <stdexcept>
#include <type_traits>

namespace kavex::server {

namespace {

const char* const kSchema = R"(
CREATE TABLE IF NOT EXISTS game(
  id INTEGER PRIMARY KEY CHECK (id = 1), instruments TEXT NOT NULL, next_order_id INTEGER NOT NULL,
  next_execution_id INTEGER NOT NULL, trading_day INTEGER NOT NULL, last_close_day INTEGER NOT NULL,
  quote_steps INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS account(
  user TEXT PRIMARY KEY, code TEXT NOT NULL, opened TEXT NOT NULL, last_user_order_id INTEGER NOT NULL,
  start_cash REAL NOT NULL, day_start_equity REAL NOT NULL, realised REAL NOT NULL, commissions REAL NOT NULL);
CREATE TABLE IF NOT EXISTS holding(
  user TEXT NOT NULL, instrument INTEGER NOT NULL, quantity INTEGER NOT NULL, average_price REAL NOT NULL,
  PRIMARY KEY (user, instrument));
CREATE TABLE IF NOT EXISTS player_order(
  user TEXT NOT NULL, seq INTEGER NOT NULL, user_order_id INTEGER, order_id TEXT, order_ref TEXT, buy INTEGER,
  quantity INTEGER, type TEXT, limit1 REAL, limit2 REAL, status INTEGER, filled INTEGER, remaining INTEGER,
  price REAL, entry_time TEXT, status_time TEXT, order_class TEXT, instrument INTEGER, bracket_role INTEGER,
  parent_user_order_id INTEGER, status_info TEXT, active_flag INTEGER, flag2 INTEGER,
  PRIMARY KEY (user, seq));
CREATE TABLE IF NOT EXISTS execution(
  user TEXT NOT NULL, seq INTEGER NOT NULL, account_code TEXT, order_id TEXT, exec_ref TEXT,
  instrument INTEGER, currency TEXT, execution_id TEXT, exec_time TEXT, action TEXT, quantity INTEGER,
  price REAL, amount REAL, commission REAL, profit REAL, day INTEGER, PRIMARY KEY (user, seq));
CREATE TABLE IF NOT EXISTS quote(
  instrument INTEGER PRIMARY KEY, last INTEGER, bid INTEGER, ask INTEGER, bid_size INTEGER,
  ask_size INTEGER, volume INTEGER);
)";

// Binds the values of one statement in order, runs it, and leaves it ready for the next use.
class Binding {
  public:
    explicit Binding(sqlite3_stmt* s) : s_(s) {}
    ~Binding() {
        sqlite3_reset(s_);
        sqlite3_clear_bindings(s_);
    }
    template <class T> Binding& operator<<(const T& value) {
        if constexpr (std::is_same_v<T, std::string>)
            sqlite3_bind_text(s_, ++i_, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        else if constexpr (std::is_floating_point_v<T>)
            sqlite3_bind_double(s_, ++i_, value);
        else
            sqlite3_bind_int64(s_, ++i_, static_cast<sqlite3_int64>(value));
        return *this;
    }
    // Runs a statement that returns no rows; the result code.
    int run() { return sqlite3_step(s_); }

  private:
    sqlite3_stmt* s_;
    int i_ = 0;
};

// Reads the columns of the current row in order.
class Row {
  public:
    explicit Row(sqlite3_stmt* s) : s_(s) {}
    int64_t integer() { return sqlite3_column_int64(s_, i_++); }
    double real() { return sqlite3_column_double(s_, i_++); }
    std::string text() {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(s_, i_));
        const int n = sqlite3_column_bytes(s_, i_++);
        return bytes ? std::string(bytes, static_cast<std::size_t>(n)) : std::string();
    }

  private:
    sqlite3_stmt* s_;
    int i_ = 0;
};

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts)
        out += (out.empty() ? "" : "\n") + p;
    return out;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const std::size_t end = text.find('\n', start);
        out.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return out;
}

} // namespace

class SqliteGameStore::Statement {
  public:
    Statement(SqliteGameStore& store, const char* sql) : s_(store.prepare(sql)) {}
    ~Statement() { sqlite3_finalize(s_); }
    bool next() { return sqlite3_step(s_) == SQLITE_ROW; }
    Row row() { return Row(s_); }

  private:
    sqlite3_stmt* s_;
};

SqliteGameStore::SqliteGameStore(const std::string& path) : path_(path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw std::runtime_error("cannot open the game store " + path + ": " + why);
    }
    try {
        exec("PRAGMA locking_mode=EXCLUSIVE");
        exec("PRAGMA journal_mode=WAL");
        exec("PRAGMA synchronous=NORMAL");
        exec("BEGIN IMMEDIATE"); // takes the file's lock now: a second server stops here
        exec(kSchema);
        exec("COMMIT");
        counters_ =
            prepare("INSERT INTO game VALUES (1, COALESCE((SELECT instruments FROM game), ''), ?, ?, ?, "
                    "?, ?) ON CONFLICT(id) DO UPDATE SET next_order_id = excluded.next_order_id, "
                    "next_execution_id = excluded.next_execution_id, trading_day = "
                    "excluded.trading_day, last_close_day = excluded.last_close_day, "
                    "quote_steps = excluded.quote_steps");
        account_ =
            prepare("INSERT INTO account VALUES (?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT(user) DO UPDATE SET "
                    "code = excluded.code, opened = excluded.opened, last_user_order_id = "
                    "excluded.last_user_order_id, start_cash = excluded.start_cash, day_start_equity = "
                    "excluded.day_start_equity, realised = excluded.realised, commissions = "
                    "excluded.commissions");
        clearHoldings_ = prepare("DELETE FROM holding WHERE user = ?");
        holding_ = prepare("INSERT INTO holding VALUES (?, ?, ?, ?)");
        order_ = prepare("INSERT OR REPLACE INTO player_order VALUES "
                         "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        execution_ = prepare("INSERT OR REPLACE INTO execution VALUES "
                             "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        quote_ = prepare("INSERT OR REPLACE INTO quote VALUES (?, ?, ?, ?, ?, ?, ?)");
    } catch (...) {
        for (sqlite3_stmt* s : {counters_, account_, clearHoldings_, holding_, order_, execution_, quote_})
            sqlite3_finalize(s);
        sqlite3_close(db_);
        throw;
    }
}

SqliteGameStore::~SqliteGameStore() {
    for (sqlite3_stmt* s : {counters_, account_, clearHoldings_, holding_, order_, execution_, quote_})
        sqlite3_finalize(s);
    sqlite3_close(db_);
}

void SqliteGameStore::fail(const std::string& what) const {
    throw std::runtime_error("game store " + path_ + ": " + what + ": " + sqlite3_errmsg(db_));
}

void SqliteGameStore::exec(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string why = error ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error("game store " + path_ + ": " + why);
    }
}

sqlite3_stmt* SqliteGameStore::prepare(const char* sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &s, nullptr) != SQLITE_OK) fail("cannot prepare a statement");
    return s;
}

void SqliteGameStore::begin() {
    exec("BEGIN");
}

void SqliteGameStore::commit() {
    exec("COMMIT");
}

void SqliteGameStore::rollback() {
    if (!sqlite3_get_autocommit(db_)) exec("ROLLBACK");
}

void SqliteGameStore::saveInstruments(const std::vector<std::string>& tickers) {
    sqlite3_stmt* s = prepare("INSERT INTO game VALUES (1, ?, 1, 1, 0, 0, 0) "
                              "ON CONFLICT(id) DO UPDATE SET instruments = excluded.instruments");
    const int rc = (Binding(s) << joined(tickers)).run();
    sqlite3_finalize(s);
    if (rc != SQLITE_DONE) fail("cannot save the instruments");
}

void SqliteGameStore::saveCounters(const GameCounters& c) {
    if ((Binding(counters_) << c.nextOrderId << c.nextExecutionId << c.tradingDay << c.lastCloseDay
                            << c.quoteSteps)
            .run() != SQLITE_DONE)
        fail("cannot save the counters");
}

void SqliteGameStore::saveAccount(const TradingAccount& a) {
    const LedgerState l = a.ledger.state();
    if ((Binding(account_) << a.setup.user << a.code << a.openedDate << a.lastUserOrderId << l.startCash
                           << l.dayStartEquity << l.realised << l.commissions)
            .run() != SQLITE_DONE)
        fail("cannot save account " + a.setup.user);
    if ((Binding(clearHoldings_) << a.setup.user).run() != SQLITE_DONE) fail("cannot save holdings");
    for (const auto& [instrument, h] : l.holdings)
        if ((Binding(holding_) << a.setup.user << instrument << h.quantity << h.averagePrice).run() !=
            SQLITE_DONE)
            fail("cannot save holdings");
}

void SqliteGameStore::saveOrder(const std::string& user, std::size_t index, const ServerOrder& o) {
    Binding b(order_);
    b << user << index << o.userOrderId << o.orderId << o.orderRef << (o.buy ? 1 : 0) << o.quantity
      << std::string(typeText(o.type)) << o.limit1 << o.limit2 << o.status << o.filled << o.remaining
      << o.price << o.entryTime << o.statusTime << o.orderClass << o.instrument << o.bracketRole
      << o.parentUserOrderId << o.statusInfo << o.activeFlag << o.flag2;
    if (b.run() != SQLITE_DONE) fail("cannot save an order of " + user);
}

void SqliteGameStore::saveExecution(const std::string& user, std::size_t index, const ServerExecution& e) {
    Binding b(execution_);
    b << user << index << e.accountCode << e.orderId << e.execRef << e.instrument << e.currency
      << e.executionId << e.execTime << e.action << e.quantity << e.price << e.amount << e.commission
      << e.profit << e.day;
    if (b.run() != SQLITE_DONE) fail("cannot save an execution of " + user);
}

void SqliteGameStore::saveQuote(int instrument, const Quote& q) {
    if ((Binding(quote_) << instrument << q.lastTicks << q.bidTicks << q.askTicks << q.bidSize << q.askSize
                         << q.volume)
            .run() != SQLITE_DONE)
        fail("cannot save a quote");
}

std::optional<SavedGame> SqliteGameStore::load() {
    SavedGame game;
    {
        Statement s(*this,
                    "SELECT instruments, next_order_id, next_execution_id, trading_day, last_close_day, "
                    "quote_steps FROM game");
        if (!s.next()) return std::nullopt;
        Row r = s.row();
        game.tickers = splitLines(r.text());
        GameCounters& c = game.counters;
        c.nextOrderId = r.integer();
        c.nextExecutionId = r.integer();
        c.tradingDay = r.integer();
        c.lastCloseDay = r.integer();
        c.quoteSteps = r.integer();
    }
    Statement quotes(*this, "SELECT instrument, last, bid, ask, bid_size, ask_size, volume FROM quote "
                            "ORDER BY instrument");
    while (quotes.next()) {
        Row r = quotes.row();
        const int64_t n = r.integer();
        if (n < 1 || n > static_cast<int64_t>(game.tickers.size())) continue;
        game.quotes.resize(std::max(game.quotes.size(), static_cast<std::size_t>(n)));
        Quote& q = game.quotes[static_cast<std::size_t>(n - 1)];
        q.lastTicks = r.integer();
        q.bidTicks = r.integer();
        q.askTicks = r.integer();
        q.bidSize = static_cast<int32_t>(r.integer());
        q.askSize = static_cast<int32_t>(r.integer());
        q.volume = r.integer();
    }
    loadAccounts(game);
    return game;
}

void SqliteGameStore::loadAccounts(SavedGame& game) {
    Statement accounts(*this, "SELECT user, code, opened, last_user_order_id, start_cash, day_start_equity, "
                              "realised, commissions FROM account ORDER BY rowid");
    std::vector<LedgerState> ledgers;
    while (accounts.next()) {
        Row r = accounts.row();
        TradingAccount a{AccountSpec{r.text(), {}, 0, false}, r.text(), r.text(), Ledger(0), {}, {}, 0};
        a.lastUserOrderId = static_cast<int32_t>(r.integer());
        LedgerState l;
        l.startCash = r.real();
        l.dayStartEquity = r.real();
        l.realised = r.real();
        l.commissions = r.real();
        ledgers.push_back(l);
        game.accounts.push_back(std::move(a));
    }
    auto accountOf = [&](const std::string& user) -> std::size_t {
        for (std::size_t i = 0; i < game.accounts.size(); ++i)
            if (game.accounts[i].setup.user == user) return i;
        return game.accounts.size();
    };
    Statement holdings(*this, "SELECT user, instrument, quantity, average_price FROM holding");
    while (holdings.next()) {
        Row r = holdings.row();
        const std::size_t a = accountOf(r.text());
        if (a == game.accounts.size()) continue;
        const int instrument = static_cast<int>(r.integer());
        Holding& h = ledgers[a].holdings[instrument];
        h.quantity = r.integer();
        h.averagePrice = r.real();
    }
    for (std::size_t a = 0; a < ledgers.size(); ++a)
        game.accounts[a].ledger = Ledger(ledgers[a]);

    Statement orders(*this, "SELECT * FROM player_order ORDER BY user, seq");
    while (orders.next()) {
        Row r = orders.row();
        const std::size_t a = accountOf(r.text());
        const int64_t seq = r.integer();
        if (a == game.accounts.size()) continue;
        auto& list = game.accounts[a].orders;
        if (seq != static_cast<int64_t>(list.size()))
            fail("orders of " + game.accounts[a].setup.user + " have a gap");
        ServerOrder& o = list.emplace_back();
        o.userOrderId = static_cast<int32_t>(r.integer());
        o.orderId = r.text();
        o.orderRef = r.text();
        o.buy = r.integer() != 0;
        o.quantity = static_cast<int32_t>(r.integer());
        parseOrderType(r.text(), o.type);
        o.limit1 = r.real();
        o.limit2 = r.real();
        o.status = static_cast<int16_t>(r.integer());
        o.filled = static_cast<int32_t>(r.integer());
        o.remaining = static_cast<int32_t>(r.integer());
        o.price = r.real();
        o.entryTime = r.text();
        o.statusTime = r.text();
        o.orderClass = r.text();
        o.instrument = static_cast<int>(r.integer());
        o.bracketRole = static_cast<int16_t>(r.integer());
        o.parentUserOrderId = static_cast<int32_t>(r.integer());
        o.statusInfo = r.text();
        o.activeFlag = static_cast<uint8_t>(r.integer());
        o.flag2 = static_cast<uint8_t>(r.integer());
    }
    Statement executions(*this, "SELECT * FROM execution ORDER BY user, seq");
    while (executions.next()) {
        Row r = executions.row();
        const std::size_t a = accountOf(r.text());
        const int64_t seq = r.integer();
        if (a == game.accounts.size()) continue;
        auto& list = game.accounts[a].executions;
        if (seq != static_cast<int64_t>(list.size()))
            fail("executions of " + game.accounts[a].setup.user + " have a gap");
        ServerExecution& e = list.emplace_back();
        e.accountCode = r.text();
        e.orderId = r.text();
        e.execRef = r.text();
        e.instrument = static_cast<int>(r.integer());
        e.currency = r.text();
        e.executionId = r.text();
        e.execTime = r.text();
        e.action = r.text();
        e.quantity = static_cast<int32_t>(r.integer());
        e.price = r.real();
        e.amount = r.real();
        e.commission = r.real();
        e.profit = r.real();
        e.day = r.integer();
    }
}

} // namespace kavex::server
