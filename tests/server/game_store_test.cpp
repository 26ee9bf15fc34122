// The game kept in its store: a server killed between two steps comes back with the
// same orders, executions, books, quotes and numbers; a step is one transaction; a store
// that cannot be written does not stop the game, and what it missed is written later.
#include "base/split_fields.h"
#include "game_fixture.h"
#include "store/sqlite_game_store.h"
#include "support/temp_dir.h"

#include <filesystem>

namespace kavex::server::test {
namespace {

namespace fs = std::filesystem;

// What a killed server leaves behind: the files as they are on disk while it still runs.
fs::path copyAsKilled(const fs::path& file, const fs::path& to) {
    fs::copy_file(file, to);
    if (fs::exists(file.string() + "-wal")) fs::copy_file(file.string() + "-wal", to.string() + "-wal");
    return to;
}

std::string field(const std::string& message, int n) {
    return std::string(SplitFields(std::string_view(message).substr(message.find('=') + 1), ";", 30)[n]);
}

TEST(ServerStore, AKilledGameContinuesWithItsOrdersNumbersBooksAndQuotes) {
    kavex::test::TempDir dir;
    const fs::path file = dir.root / "game.sqlite";
    SqliteGameStore store(file.string());
    GameFixture before(GameFixture::quietOptions(), testAccounts(), &store);
    before.login(1);
    before.say(1, "@PO=KV0001;1;1;BUY ;MKT;2; 0; 0;0;0");
    before.say(1, "@PO=KV0001;2;1;BUY ;LMT;1; 50; 0;0;0");
    before.say(1, "@PO=KV0001;7;9;BUY ;MKT;1; 0; 0;0;0"); // refused, but the number counts
    before.game.advance(60000);
    const Quote quote = before.game.market().quote(1);
    const auto books = starting(before.take(1), "@SUD=");

    SqliteGameStore kept(copyAsKilled(file, dir.root / "after.sqlite").string());
    GameFixture after(GameFixture::quietOptions(), testAccounts(), &kept);
    after.game.connected(1, "again");
    after.say(1, "@U=anna%pw/OCHD=1");
    const auto login = after.take(1);
    EXPECT_EQ(starting(login, "@LI=").at(0), "@LI=7");
    const std::string orders = starting(login, "@SAO=").at(0);
    EXPECT_EQ(SplitFields(orders, "\n", 10).count(), 2);
    EXPECT_EQ(field(orders.substr(orders.find('\n') + 1), 9), "4") << "the limit order still works";
    EXPECT_EQ(SplitFields(starting(login, "@SAE=").at(0), "\n", 10).count(), 1);
    EXPECT_EQ(starting(login, "@SUD=").at(0), books.back());
    const Quote restored = after.game.market().quote(1);
    EXPECT_EQ(std::make_pair(restored.lastTicks, restored.volume),
              std::make_pair(quote.lastTicks, quote.volume));

    // New numbers go on; the working order still matches.
    after.say(1, "@PO=KV0001;8;1;BUY ;MKT;1; 0; 0;0;0");
    after.game.setQuote(1, Quote{90, 90, 100, 1, 1, 0}); // ask 50
    const auto fills = starting(after.take(1), "@EX=");
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(std::make_pair(field(fills[0], 2), field(fills[0], 6)),
              std::make_pair(std::string("3"), std::string("2")));
    EXPECT_EQ(std::make_pair(field(fills[1], 3), field(fills[1], 6)),
              std::make_pair(std::string("2"), std::string("3")));
}

TEST(ServerStore, AStoreOfOtherInstrumentsOrOfARunningServerIsRefusedAndKeptAsItIs) {
    kavex::test::TempDir dir;
    const fs::path file = dir.root / "game.sqlite";
    {
        SqliteGameStore store(file.string());
        GameFixture f(GameFixture::quietOptions(), testAccounts(), &store);
        EXPECT_THROW(SqliteGameStore{file.string()}, std::runtime_error) << "the file is in use";
        f.login(1);
        f.say(1, "@PO=KV0001;1;2;BUY ;LMT;1; 1; 0;0;0");
    }
    SqliteGameStore store(file.string());
    RecordingTransport transport;
    auto other = testInstruments();
    std::swap(other[0], other[1]);
    EXPECT_THROW(Game(
                     GameOptions{}, other, testAccounts(), transport, systemLocalTime,
                     [](std::string_view) {}, &store),
                 std::runtime_error);
    EXPECT_EQ(store.load()->accounts.at(0).orders.size(), 1u);
}

// A store that counts transactions and can be made to fail.
struct CountingStore : GameStore {
    std::optional<SavedGame> load() override { return std::nullopt; }
    void begin() override { ++begins; }
    void commit() override {
        if (failing) throw std::runtime_error("disk full");
        ++commits;
    }
    void rollback() override {}
    void saveInstruments(const std::vector<std::string>&) override {}
    void saveCounters(const GameCounters&) override {}
    void saveAccount(const TradingAccount&) override {}
    void saveOrder(const std::string&, std::size_t index, const ServerOrder&) override {
        orders.push_back(index);
    }
    void saveExecution(const std::string&, std::size_t, const ServerExecution&) override { ++executions; }
    void saveQuote(int, const Quote&) override {}
    int begins = 0, commits = 0, executions = 0;
    std::vector<std::size_t> orders;
    bool failing = false;
};

TEST(ServerStore, EveryStepIsOneTransactionAndAFailedOneIsWrittenWithTheNext) {
    CountingStore store;
    GameFixture f(GameFixture::quietOptions(), testAccounts(), &store);
    f.login(1);
    store = CountingStore{};
    f.say(1, "@TIMEGET"); // changes nothing: no transaction
    f.say(1, "@PO=KV0001;1;1;BUY ;MKT;1; 0; 0;0;0");
    EXPECT_EQ(std::make_tuple(store.begins, store.commits, store.executions), std::make_tuple(1, 1, 1));
    EXPECT_EQ(store.orders, std::vector<std::size_t>{0}) << "each changed order once";

    store.failing = true;
    f.say(1, "@PO=KV0001;2;1;BUY ;MKT;1; 0; 0;0;0");
    f.say(1, "@PO=KV0001;3;1;BUY ;MKT;1; 0; 0;0;0");
    EXPECT_EQ(starting(f.take(1), "@EX=").size(), 3u) << "the game goes on";
    store.failing = false;
    store.orders.clear();
    f.game.advance(1000);
    f.say(1, "@RA");
    EXPECT_EQ(store.orders, (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(std::count_if(f.log.begin(), f.log.end(),
                            [](const std::string& l) { return l.starts_with("game store not written"); }),
              1);
}

} // namespace
} // namespace kavex::server::test
