// kavex-server-load: the load check. Runs the game server in-process on a free
// loopback port with its game store, connects many raw-socket players that log in,
// receive prices and place orders, and beside them connections that send garbage, half
// messages and oversize messages. Prints what the server sustained; exits non-zero when
// a player's session was lost, the price rate fell short, or memory kept growing.
#include "core/account_file.h"
#include "core/game.h"
#include "core/instrument_data.h"
#include "load/abusive_client.h"
#include "load/load_client.h"
#include "net/network_server.h"
#include "store/sqlite_game_store.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace kavex::server;

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer holds freed memory back in a quarantine that fills up for minutes,
// which would read as growth; without it the resident memory tells the truth.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=0";
}
#endif

namespace {

// Seconds of processor time the whole process (server and players) has had so far.
double processorSeconds() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(use.ru_utime) + seconds(use.ru_stime);
}

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4;
}

} // namespace

int main(int argc, char** argv) {
    int players = 200;
    double seconds = 10;
    double quotesPerSecond = 50;
    int abusers = 20;
    std::string storePath;
    std::string instrumentsPath = std::string(KAVEX_SERVER_DATA_DIR) + "/instruments.txt";
    CLI::App app{"Load check of the game server: many players at once, figures printed."};
    app.add_option("--players", players, "Concurrent players")->capture_default_str();
    app.add_option("--seconds", seconds, "Measured run time after all players have logged in")
        ->capture_default_str();
    app.add_option("--quotes-per-second", quotesPerSecond, "Server price rate")->capture_default_str();
    app.add_option("--abusers", abusers,
                   "Connections beside the players that send garbage, half messages and oversize messages")
        ->capture_default_str();
    app.add_option(
        "--store", storePath,
        "Game store file (default: a new one in the temporary folder, removed at the end; \"off\": "
        "none)");
    app.add_option("--instruments", instrumentsPath, "Instrument data file")->capture_default_str();
    CLI11_PARSE(app, argc, argv);

    std::vector<AccountSpec> accounts;
    for (int i = 1; i <= players; ++i)
        accounts.push_back(AccountSpec{"load" + std::to_string(i), "pw", 1000000, false});
    for (int i = 1; i <= abusers; ++i)
        accounts.push_back(AccountSpec{"abuse" + std::to_string(i), "pw", 1000000, false});

    const bool temporaryStore = storePath.empty();
    if (temporaryStore)
        storePath = (std::filesystem::temp_directory_path() /
                     ("kavex-load-" + std::to_string(::getpid()) + ".sqlite"))
                        .string();
    std::unique_ptr<SqliteGameStore> store;
    if (storePath != "off") store = std::make_unique<SqliteGameStore>(storePath);

    // The server, on a thread of its own.
    asio::io_context serverIo;
    int64_t serverLogLines = 0;
    NetworkServer network(serverIo, "127.0.0.1", 0, [&](std::string_view) { ++serverLogLines; });
    GameOptions options;
    options.quotesPerSecond = quotesPerSecond;
    options.closeSecondsOfDay.reset();
    Game game(
        options, loadInstruments(instrumentsPath), accounts, network, systemLocalTime,
        [&](std::string_view) { ++serverLogLines; }, store.get());
    network.start(game);
    std::thread serverThread([&] { serverIo.run(); });

    // The players.
    asio::io_context clientIo;
    load::ClientCounters counters;
    std::vector<std::unique_ptr<load::LoadClient>> clients;
    const asio::ip::tcp::endpoint endpoint(asio::ip::make_address("127.0.0.1"), network.port());
    for (int i = 0; i < players; ++i) {
        clients.push_back(std::make_unique<load::LoadClient>(
            clientIo, i, accounts[static_cast<std::size_t>(i)].user, "pw", counters));
        clients.back()->start(endpoint);
    }
    // The misbehaving connections, on the players' thread.
    load::AbuseCounters abuse;
    std::vector<std::unique_ptr<load::AbusiveClient>> abusive;
    const load::Abuse kinds[] = {load::Abuse::Garbage, load::Abuse::HalfFrame, load::Abuse::HalfFrameClosed,
                                 load::Abuse::Oversize, load::Abuse::GarbageLoggedIn};
    for (int i = 0; i < abusers; ++i) {
        abusive.push_back(std::make_unique<load::AbusiveClient>(
            clientIo, kinds[i % 5], i, "abuse" + std::to_string(i + 1), "pw", abuse));
        abusive.back()->start(endpoint);
    }
    auto runFor = [&](std::chrono::milliseconds span) {
        clientIo.restart();
        clientIo.run_for(span);
    };
    const double processorAtStart = processorSeconds();
    const auto loginStart = std::chrono::steady_clock::now();
    while (counters.loggedIn < players &&
           std::chrono::steady_clock::now() - loginStart < std::chrono::seconds(10))
        runFor(std::chrono::milliseconds(50));
    const double loginMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - loginStart).count();

    std::printf("load check: %d players, %.0f quotes/s, %.1f s\n", players, quotesPerSecond, seconds);
    std::printf("logged in: %lld of %d in %.0f ms\n", static_cast<long long>(counters.loggedIn), players,
                loginMs);
    std::printf("%6s %12s %14s %10s %10s %10s\n", "second", "quotes/s", "per player/s", "orders", "fills",
                "RSS KiB");

    const load::ClientCounters atStart = counters;
    const long rssStart = residentKiB();
    std::vector<long> rss;
    std::vector<double> perPlayerRates;
    load::ClientCounters previous = counters;
    const int wholeSeconds = std::max(1, static_cast<int>(seconds));
    const auto measureStart = std::chrono::steady_clock::now();
    for (int s = 1; s <= wholeSeconds; ++s) {
        runFor(std::chrono::milliseconds(1000));
        const double quotes = static_cast<double>(counters.quotes - previous.quotes);
        perPlayerRates.push_back(quotes / players);
        rss.push_back(residentKiB());
        std::printf("%6d %12.0f %14.1f %10lld %10lld %10ld\n", s, quotes, quotes / players,
                    static_cast<long long>(counters.ordersSent - previous.ordersSent),
                    static_cast<long long>(counters.executions - previous.executions), rss.back());
        previous = counters;
    }
    const double measured =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - measureStart).count();

    int open = 0;
    int64_t minQuotes = INT64_MAX, maxQuotes = 0;
    for (const auto& c : clients) {
        open += c->open() ? 1 : 0;
        minQuotes = std::min(minQuotes, c->quotes());
        maxQuotes = std::max(maxQuotes, c->quotes());
    }
    for (auto& c : clients)
        c->stop();
    for (auto& c : abusive)
        c->stop();
    runFor(std::chrono::milliseconds(200));
    asio::post(serverIo, [&] { network.stop(); });
    serverThread.join();

    const double quoteRate = static_cast<double>(counters.quotes - atStart.quotes) / measured / players;
    const long rssHalf = rss[rss.size() / 2];
    const long rssEnd = rss.back();
    std::printf("players still connected at the end: %d of %d (closed by server: %lld)\n", open, players,
                static_cast<long long>(counters.closed));
    std::printf("price messages per player: %.1f/s (target %.1f/s); fewest %lld, most %lld in total\n",
                quoteRate, quotesPerSecond, static_cast<long long>(minQuotes),
                static_cast<long long>(maxQuotes));
    std::printf(
        "orders sent %lld, cancels %lld, open-order reports %lld, status reports %lld, executions %lld\n",
        static_cast<long long>(counters.ordersSent), static_cast<long long>(counters.cancelsSent),
        static_cast<long long>(counters.openOrders), static_cast<long long>(counters.statuses),
        static_cast<long long>(counters.executions));
    std::printf("order rejects %lld, cancel rejects %lld, error replies %lld, heartbeats %lld\n",
                static_cast<long long>(counters.rejects), static_cast<long long>(counters.cancelRejects),
                static_cast<long long>(counters.errors), static_cast<long long>(counters.heartbeats));
    std::printf(
        "server: %lld price steps, %lld messages / %lld bytes sent, %lld received, %lld orders\n",
        static_cast<long long>(game.stats().quoteSteps), static_cast<long long>(game.stats().messagesSent),
        static_cast<long long>(game.stats().bytesSent), static_cast<long long>(game.stats().messagesReceived),
        static_cast<long long>(game.stats().ordersPlaced));
    std::printf("abusive connections: %d, %lld connections made, %lld closed, %lld bytes sent, %lld messages "
                "received\n",
                abusers, static_cast<long long>(abuse.connections), static_cast<long long>(abuse.closed),
                static_cast<long long>(abuse.bytesSent), static_cast<long long>(abuse.messagesReceived));
    // On a shared machine the figures only mean something when the process got the processor it needed.
    std::printf("processor time of this process: %.1f s in %.1f s (server and players together)\n",
                processorSeconds() - processorAtStart,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - loginStart).count());
    std::printf("resident memory KiB: at start %ld, half-way %ld, at the end %ld\n", rssStart, rssHalf,
                rssEnd);

    bool ok = true;
    auto check = [&](bool condition, const char* what) {
        if (!condition) {
            std::printf("FAILED: %s\n", what);
            ok = false;
        }
    };
    check(counters.loggedIn == players, "every player logged in");
    check(open == players, "every session kept to the end");
    check(quoteRate >= 0.9 * quotesPerSecond, "price rate held (at least 90 %)");
    check(counters.rejects == 0 && counters.cancelRejects == 0 && counters.errors == 0, "no refusals");
    check(counters.executions > 0, "orders filled");
    check(rssEnd - rssHalf < 16 * 1024, "memory flat in the second half (growth below 16 MiB)");
    check(abusers == 0 || abuse.closed > 0, "abusive connections closed and back again");
    store.reset();
    if (temporaryStore)
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(storePath + suffix);
    std::printf("%s\n", ok ? "load check passed" : "load check FAILED");
    return ok ? 0 : 1;
}
