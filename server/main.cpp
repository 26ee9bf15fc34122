// kavex-server: the demo game server. Serves the discovery document over HTTP and the
// game on one TCP port; every player connection is its own session.
#include "core/account_file.h"
#include "core/clock.h"
#include "core/game.h"
#include "core/instrument_data.h"
#include "core/welcome_documents.h"
#include "net/discovery.h"
#include "net/network_server.h"
#include "store/sqlite_game_store.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <memory>

namespace {

using namespace kavex::server;

struct Settings {
    std::string bind = "127.0.0.1";
    uint16_t port = 4100;
    uint16_t httpPort = 4180;
    std::string publicHost;
    std::string accounts = "kavex-accounts.txt";
    std::string store = "kavex-game.sqlite";
    std::string instruments = std::string(KAVEX_SERVER_DATA_DIR) + "/instruments.txt";
    uint64_t seed = 1;
    double quotesPerSecond = 50;
    std::string closeTime = "22:00";
    int64_t heartbeatMs = 3000;
    int64_t rankingMs = 5000;
    int64_t loginTimeoutS = 60;
    std::size_t maxFrameBytes = 65536;
    int chatLevel = 2;
    std::size_t chatMaxChars = 500;
    int chatFlood = 5;
    bool welcomeDocuments = true;
    std::string writeDemoFile;
};

void logLine(std::string_view line) {
    const LocalTime t = systemLocalTime();
    std::printf("%s %.*s\n", t.hhColonMmSs().c_str(), static_cast<int>(line.size()), line.data());
    std::fflush(stdout);
}

int run(const Settings& s) {
    bool created = false;
    const auto accounts = loadOrCreateAccounts(s.accounts, created);
    if (created) logLine("created " + s.accounts + " with the demo players (password demo)");
    auto instruments = loadInstruments(s.instruments);

    GameOptions options;
    options.seed = s.seed;
    options.quotesPerSecond = s.quotesPerSecond;
    options.closeSecondsOfDay = parseTimeOfDay(s.closeTime);
    options.heartbeatMs = s.heartbeatMs;
    options.rankingMs = s.rankingMs;
    options.loginTimeoutMs = s.loginTimeoutS * 1000;
    options.maxFrameBytes = s.maxFrameBytes;
    options.chatLevel = s.chatLevel;
    options.chat.maxMessageChars = s.chatMaxChars;
    options.chat.floodMessages = s.chatFlood;
    options.welcomeDocuments = s.welcomeDocuments;

    std::unique_ptr<SqliteGameStore> store;
    if (s.store != "off") {
        store = std::make_unique<SqliteGameStore>(s.store);
        logLine("game kept in " + s.store);
    }
    asio::io_context io;
    NetworkServer network(io, s.bind, s.port, logLine);
    Game game(options, std::move(instruments), accounts, network, systemLocalTime, logLine, store.get());
    network.start(game);
    logLine("game on " + s.bind + ":" + std::to_string(network.port()) + ", " +
            std::to_string(game.market().count()) + " instruments, " + std::to_string(accounts.size()) +
            " players, seed " + std::to_string(s.seed));

    DiscoveryServer discovery;
    if (s.httpPort != 0) {
        std::string host = s.publicHost;
        if (host.empty()) host = s.bind == "0.0.0.0" || s.bind == "::" ? "127.0.0.1" : s.bind;
        discovery.start(s.bind, s.httpPort, discoveryDocument(host, network.port()));
        logLine("discovery on http://" + s.bind + ":" + std::to_string(discovery.port()) +
                "/ipkavex.html -> " + host + ":" + std::to_string(network.port()));
    }

    asio::signal_set signals(io, SIGINT, SIGTERM);
    signals.async_wait([&](const asio::error_code&, int) {
        logLine("stopping");
        network.stop();
        io.stop();
    });
    io.run();
    discovery.stop();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Settings s;
    CLI::App app{"kavex-server: the demo game server for the Kavex trading client.\n"
                 "Serves the discovery document over HTTP and the game over TCP; logs one line per\n"
                 "connection event to stdout."};
    app.add_option("--bind", s.bind, "Address to listen on (game and discovery)")->capture_default_str();
    app.add_option("--port", s.port, "TCP port of the game")->capture_default_str();
    app.add_option("--http-port", s.httpPort, "HTTP port of the discovery document; 0 turns it off")
        ->capture_default_str();
    app.add_option("--public-host", s.publicHost,
                   "Host named in the discovery document (default: the bind address, 127.0.0.1 for any)");
    app.add_option(
           "--accounts", s.accounts,
           "Players file, lines user;password;start cash[;1 = locked]; created with demo players if missing")
        ->capture_default_str();
    app.add_option(
           "--store", s.store,
           "SQLite file that keeps the game (accounts, orders, executions, holdings, quotes, counters), "
           "so that a restarted server continues it; \"off\" keeps it in memory only")
        ->capture_default_str();
    app.add_option("--instruments", s.instruments, "Instrument data file")->capture_default_str();
    app.add_option("--seed", s.seed, "Seed of the price simulation; the same seed gives the same prices")
        ->capture_default_str();
    app.add_option("--quotes-per-second", s.quotesPerSecond, "Price messages per second over all instruments")
        ->capture_default_str()
        ->check(CLI::Range(0.0, 100000.0));
    app.add_option("--close-time", s.closeTime,
                   "Daily session close HH:MM (local time): market-on-close orders fill, a new day starts; "
                   "\"off\" for none")
        ->capture_default_str();
    app.add_option("--heartbeat-ms", s.heartbeatMs,
                   "Interval of heartbeat messages (the client gives up after 10 s)")
        ->capture_default_str()
        ->check(CLI::Range(int64_t{100}, int64_t{9000}));
    app.add_option("--ranking-ms", s.rankingMs, "How often changed ranking places are sent")
        ->capture_default_str()
        ->check(CLI::Range(int64_t{100}, int64_t{3600000}));
    app.add_option("--login-timeout", s.loginTimeoutS, "Seconds a connection may take to log in")
        ->capture_default_str()
        ->check(CLI::Range(int64_t{1}, int64_t{86400}));
    app.add_option(
           "--max-frame-bytes", s.maxFrameBytes,
           "Largest message text accepted; a connection that sends more without an end character is closed")
        ->capture_default_str()
        ->check(CLI::Range(std::size_t{256}, std::size_t{64} << 20));
    app.add_option("--chat-level", s.chatLevel,
                   "Chat level sent at login: 0 no chat, 1 chat, 2 with trades feed")
        ->capture_default_str()
        ->check(CLI::Range(0, 2));
    app.add_option("--chat-max-chars", s.chatMaxChars,
                   "Longest chat message; longer ones are refused, not cut")
        ->capture_default_str()
        ->check(CLI::Range(std::size_t{1}, std::size_t{60000}));
    app.add_option("--chat-flood", s.chatFlood, "Chat messages a connection may send within 10 seconds")
        ->capture_default_str()
        ->check(CLI::Range(1, 1000));
    app.add_option("--welcome-documents", s.welcomeDocuments,
                   "After login send an annotation, the document KAVEXINFO.TXT and a transfer of the file "
                   "KAVEXDEMO.BIN, which holds every byte value")
        ->capture_default_str();
    app.add_option(
        "--write-demo-file", s.writeDemoFile,
        "Write the transferred demo file to this path (to compare with the client's copy) and exit");
    CLI11_PARSE(app, argc, argv);
    if (!s.writeDemoFile.empty()) {
        const std::string bytes = demoFileBytes();
        std::ofstream out(s.writeDemoFile, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            std::cerr << "kavex-server: cannot write " << s.writeDemoFile << "\n";
            return 1;
        }
        return 0;
    }
    try {
        return run(s);
    } catch (const std::exception& e) {
        std::cerr << "kavex-server: " << e.what() << "\n";
        return 1;
    }
}
