#pragma once
// The game: every player connection, the login, the commands, and the clock-driven
// work (prices, heartbeats, ranking, session close).
//
// The game owns no socket and no timer. The network layer reports connections and
// received bytes and calls advance() with the time that has passed; the game answers
// through the Transport. Tests drive the same object directly, without real time.
//
// Given a store, the game continues what the store holds and writes every step to it
// (see game_persistence.cpp); without one it lives in memory only.
#include "core/account_file.h"
#include "core/chat_relay.h"
#include "core/clock.h"
#include "core/exchange.h"
#include "core/game_store.h"
#include "core/instrument_data.h"
#include "core/market.h"
#include "protocol/frame_buffer.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kavex::server {

using SessionId = uint64_t;

class Transport {
  public:
    virtual ~Transport() = default;
    // Queues framed wire bytes (Windows-1252) for the connection.
    virtual void send(SessionId session, std::string_view wireBytes) = 0;
    // Closes the connection once what was queued has been sent. The game forgets the
    // session at once and expects no disconnected() for it.
    virtual void close(SessionId session) = 0;
};

struct GameOptions {
    uint64_t seed = 1;
    double quotesPerSecond = 50;          // price messages per second over all instruments
    int64_t heartbeatMs = 3000;           // well inside the client's 10 s watchdog
    int64_t rankingMs = 5000;             // how often changed places are sent
    int64_t loginTimeoutMs = 60000;       // a connection that has not logged in by then is closed
    std::size_t maxFrameBytes = 65536;    // buffered text without an end character
    std::optional<int> closeSecondsOfDay; // daily session close (local time), if any
    std::string serverName = "Kavex Demo-Server";
    int chatLevel = 2;             // sent as "@SV": 0 no chat, 1 chat, 2 chat with the trades feed
    bool welcomeDocuments = false; // after login: an annotation, a document and the demo file transfer
    ChatLimits chat;
};

struct GameStats {
    int64_t quoteSteps = 0;
    int64_t messagesSent = 0;
    int64_t bytesSent = 0;
    int64_t messagesReceived = 0;
    int64_t ordersPlaced = 0;
};

class Game : private ExchangeListener {
  public:
    using Log = std::function<void(std::string_view line)>;

    // Throws std::runtime_error when the store holds a game played with other instruments.
    Game(GameOptions options, std::vector<InstrumentSpec> instruments,
         const std::vector<AccountSpec>& accounts, Transport& transport, Clock clock, Log log,
         GameStore* store = nullptr);

    void connected(SessionId session, std::string_view peer);
    void received(SessionId session, std::string_view wireBytes);
    void disconnected(SessionId session, std::string_view reason);

    // Lets `ms` milliseconds of game time pass.
    void advance(int64_t ms);
    // The daily session close: market-on-close orders fill, a new trading day starts.
    void closeSession();
    // A scripted price: sets the instrument's quote, sends it to every player in the
    // long form and matches the instrument's orders against it.
    void setQuote(int instrument, const Quote& quote);

    const Market& market() const { return market_; }
    Market& market() { return market_; }
    const Exchange& exchange() const { return exchange_; }
    const GameStats& stats() const { return stats_; }
    const ChatRelay& chat() const { return chat_; }
    std::size_t sessionCount() const { return sessions_.size(); }
    std::size_t loggedInCount() const;

  private:
    enum class Stage { AwaitingId, AwaitingLogin, LoggedIn };
    struct Session {
        std::string peer;
        Stage stage = Stage::AwaitingId;
        FrameBuffer buffer;
        int account = -1;
        std::string user;
        std::string machine;
        int64_t connectedAt = 0;
        Places sentPlaces{-1, -1};
    };

    void handle(SessionId id, Session& s, const std::string& text);
    void handleBeforeLogin(SessionId id, Session& s, std::string_view text);
    void login(SessionId id, Session& s, std::string_view text);
    void handleCommand(SessionId id, Session& s, std::string_view name, std::string_view argument);
    void sendLoginBurst(SessionId id, Session& s);
    void sendBooks(SessionId id, const Session& s, Places places);
    void sendRanking(SessionId id, Session& s, Places places, bool always);
    void drop(SessionId id, std::string_view why);
    void forget(std::map<SessionId, Session>::iterator it);
    void closeOlderSessions(SessionId id, const Session& s);
    void logSession(SessionId id, std::string_view event);

    void send(SessionId id, std::string_view text);
    void sendToAccount(int account, std::string_view text);
    void broadcastWire(std::string_view wireBytes);
    void heartbeat();
    void checkCloseTime();
    std::vector<std::string> systemInfoTexts() const;

    // The store: the game brought back at the start, and every step written.
    void openStore();
    void persist(int quotedInstrument = 0);
    void writeToStore(int quotedInstrument);
    GameCounters counters() const;

    // ExchangeListener
    void orderOpened(int account, const ServerOrder& order) override;
    void orderChanged(int account, const ServerOrder& order) override;
    void executed(int account, const ServerExecution& execution) override;
    void orderRejected(int account, const std::string& text) override;
    void cancelRejected(int account, const std::string& text) override;
    void booksChanged(int account) override;

    GameOptions options_;
    Transport& transport_;
    Clock clock_;
    Log log_;
    Market market_;
    Exchange exchange_;
    std::map<SessionId, Session> sessions_;
    std::unordered_map<int, SessionId> loggedIn_; // account -> its one logged-in session
    ChatRelay chat_;
    GameStats stats_;

    int64_t now_ = 0; // game milliseconds since the start
    double quoteBudget_ = 0;
    int64_t nextHeartbeat_ = 0;
    int64_t nextRanking_ = 0;
    int64_t heartbeatCount_ = 0;
    int64_t lastCloseDay_ = 0;
    std::string scratch_;
    GameStore* store_;
    ExchangeChanges unsaved_; // changes not yet in the store (after a failed write)
    bool storeFailing_ = false;
};

} // namespace kavex::server
