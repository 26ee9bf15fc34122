#include "core/game.h"

#include "base/cp1252.h"
#include "base/numbers.h"
#include "core/messages.h"
#include "core/text_file.h"
#include "core/welcome_documents.h"
#include "protocol/wire.h"

#include <algorithm>

namespace kavex::server {

namespace {

std::string shortened(std::string_view text) {
    constexpr std::size_t kShown = 40;
    std::string out(text.substr(0, kShown));
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 32 || c == ';') c = ' ';
    if (text.size() > kShown) out += "...";
    return out;
}

} // namespace

Game::Game(GameOptions options, std::vector<InstrumentSpec> instruments,
           const std::vector<AccountSpec>& accounts, Transport& transport, Clock clock, Log log,
           GameStore* store)
    : options_(std::move(options)), transport_(transport), clock_(std::move(clock)), log_(std::move(log)),
      market_(std::move(instruments), options_.seed), exchange_(market_, accounts, clock_, *this),
      chat_(
          options_.chat, [this](SessionId id, std::string_view text) { send(id, text); },
          [this](std::string_view user) { return exchange_.findAccount(user) >= 0; }),
      store_(store) {
    nextHeartbeat_ = options_.heartbeatMs;
    nextRanking_ = options_.rankingMs;
    // A server started after today's close time closes first tomorrow.
    const LocalTime now = clock_();
    if (options_.closeSecondsOfDay && now.secondsOfDay() >= *options_.closeSecondsOfDay)
        lastCloseDay_ = now.dayNumber();
    openStore();
}

std::size_t Game::loggedInCount() const {
    return static_cast<std::size_t>(std::count_if(
        sessions_.begin(), sessions_.end(), [](const auto& s) { return s.second.stage == Stage::LoggedIn; }));
}

// --- connections -------------------------------------------------------------------

void Game::logSession(SessionId id, std::string_view event) {
    auto it = sessions_.find(id);
    log_(concat("#", static_cast<unsigned long long>(id), " ", it == sessions_.end() ? "" : it->second.peer,
                " ", event));
}

void Game::connected(SessionId id, std::string_view peer) {
    Session& s = sessions_[id];
    s.peer = peer;
    s.connectedAt = now_;
    logSession(id, "connected");
    // The server leads the login: first the identification request.
    send(id, "!;ID");
}

void Game::disconnected(SessionId id, std::string_view reason) {
    auto it = sessions_.find(id);
    if (it == sessions_.end()) return;
    logSession(id, concat("closed (", reason, ")", it->second.user.empty() ? "" : " user ", it->second.user));
    forget(it);
    chat_.disconnected(id);
}

void Game::forget(std::map<SessionId, Session>::iterator it) {
    auto logged = loggedIn_.find(it->second.account);
    if (logged != loggedIn_.end() && logged->second == it->first) loggedIn_.erase(logged);
    sessions_.erase(it);
}

void Game::drop(SessionId id, std::string_view why) {
    auto it = sessions_.find(id);
    if (it == sessions_.end()) return;
    logSession(id, concat("dropped: ", why));
    forget(it);
    chat_.disconnected(id);
    transport_.close(id);
}

void Game::received(SessionId id, std::string_view wireBytes) {
    auto it = sessions_.find(id);
    if (it == sessions_.end()) return;
    it->second.buffer.append(wireBytes);
    while (it->second.buffer.next(scratch_)) {
        ++stats_.messagesReceived;
        handle(id, it->second, scratch_);
        persist();
        it = sessions_.find(id); // the message may have ended the session
        if (it == sessions_.end()) return;
    }
    it->second.buffer.compact();
    if (it->second.buffer.pending().size() > options_.maxFrameBytes)
        drop(id, "more than " + std::to_string(options_.maxFrameBytes) + " bytes without end of message");
}

// --- messages from a player ----------------------------------------------------------

void Game::handle(SessionId id, Session& s, const std::string& text) {
    if (s.stage != Stage::LoggedIn) {
        handleBeforeLogin(id, s, text);
        return;
    }
    if (text.starts_with("@")) {
        const auto eq = text.find('=');
        const std::string_view all(text);
        handleCommand(id, s, all.substr(0, eq),
                      eq == std::string::npos ? std::string_view{} : all.substr(eq + 1));
    } else if (!text.starts_with("!") && !text.starts_with("TTUSER=")) {
        send(id, "@ER=Unbekannte Nachricht: " + shortened(text));
    }
}

void Game::handleBeforeLogin(SessionId id, Session& s, std::string_view text) {
    if (text.starts_with("TTUSER=")) {
        // "TTUSER=" user "/HD=" machine: answered with the login request.
        const auto hd = text.rfind("/HD=");
        if (hd != std::string_view::npos) s.machine = text.substr(hd + 4);
        s.stage = Stage::AwaitingLogin;
        send(id, "!;USER");
    } else if (text.starts_with("@U=")) {
        login(id, s, text.substr(3));
    } else {
        send(id, "@ER=Bitte zuerst anmelden");
    }
}

void Game::login(SessionId id, Session& s, std::string_view body) {
    // user "%" password "/OCHD=" machine; the password may itself hold "%" or "/".
    const auto ochd = body.rfind("/OCHD=");
    if (ochd != std::string_view::npos) {
        s.machine = body.substr(ochd + 6);
        body = body.substr(0, ochd);
    }
    const auto percent = body.find('%');
    const std::string user(body.substr(0, percent));
    const std::string_view password =
        percent == std::string_view::npos ? std::string_view{} : body.substr(percent + 1);
    const int account = exchange_.findAccount(user);
    if (account < 0 || exchange_.account(account).setup.password != password) {
        send(id, "@MSG=FALSCHES PAßWORT");
        drop(id, "login refused for user " + shortened(user) + ": wrong user or password");
        return;
    }
    if (exchange_.account(account).setup.locked) {
        send(id, "@MSG=USER GESPERRT");
        drop(id, "login refused for user " + user + ": locked");
        return;
    }
    s.stage = Stage::LoggedIn;
    s.account = account;
    s.user = user;
    closeOlderSessions(id, s);
    loggedIn_[account] = id;
    logSession(id, concat("logged in as ", user, " (", exchange_.account(account).code, ")"));
    sendLoginBurst(id, s);
}

// One connection per player: a new login takes over, the older connection is told why
// and closed, so that two clients never number orders against each other.
void Game::closeOlderSessions(SessionId id, const Session& s) {
    std::vector<SessionId> older;
    for (const auto& [other, o] : sessions_)
        if (other != id && o.stage == Stage::LoggedIn && o.account == s.account) older.push_back(other);
    for (SessionId other : older) {
        send(other, "@MSG=Abgemeldet: " + s.user + " hat sich von einem anderen Rechner angemeldet");
        drop(other, concat("user ", s.user, " logged in again from ", s.peer));
    }
}

void Game::sendLoginBurst(SessionId id, Session& s) {
    const TradingAccount& a = exchange_.account(s.account);
    send(id, "@WELCOME");
    send(id, "@UD=" + a.code);
    send(id, "@LI=" + std::to_string(a.lastUserOrderId));
    send(id, msg::instrumentList(market_));
    send(id, msg::codeTable(market_));
    send(id, "@SV=" + std::to_string(options_.chatLevel));
    send(id, msg::allOrders(a.orders));
    send(id, msg::allExecutions(a.executions));
    const Places places = exchange_.placesOf(s.account);
    sendBooks(id, s, places);
    sendRanking(id, s, places, true);
    send(id, msg::systemInfo(systemInfoTexts()));
    send(id, "@RV");
    if (options_.welcomeDocuments) {
        // Already in wire bytes: the transfer data must reach the socket unchanged.
        for (const std::string& text : welcomeMessages(options_.serverName, s.user)) {
            std::string bytes = wire::frame(text);
            ++stats_.messagesSent;
            stats_.bytesSent += static_cast<int64_t>(bytes.size());
            transport_.send(id, bytes);
        }
    }
}

void Game::handleCommand(SessionId id, Session& s, std::string_view name, std::string_view arg) {
    const TradingAccount& a = exchange_.account(s.account);
    if (name == "@PO") {
        ++stats_.ordersPlaced;
        exchange_.place(s.account, parsePlaceRequest(arg));
    } else if (name == "@CO") {
        exchange_.cancel(s.account, parseOrderReference(arg));
    } else if (name == "@BR1") {
        exchange_.markBracketMain(s.account, parseOrderReference(arg));
    } else if (name == "@BR?") {
        exchange_.bracketQuery(s.account, parseOrderReference(arg));
    } else if (name == "@RA") {
        send(id, msg::allOrders(a.orders));
    } else if (name == "@RAO") {
        send(id, msg::openOrders(a.orders));
    } else if (name == "@RAE") {
        send(id, msg::allExecutions(a.executions));
    } else if (name == "@GSUK") {
        sendBooks(id, s, exchange_.placesOf(s.account));
    } else if (name == "@GKO") {
        const int64_t today = clock_().dayNumber();
        const double day = parseLeading(arg);
        if (day >= 1 && day <= static_cast<double>(today))
            send(id,
                 msg::statement(a, market_, static_cast<int64_t>(day), static_cast<int64_t>(day) == today));
        else
            send(id, "@ER=Kein Auszug für Tag " + shortened(arg));
    } else if (name == "@TIMEGET") {
        send(id, "@TS=" + clock_().hhColonMmSs());
    } else if (name == "@IR") {
        send(id, msg::instrumentList(market_));
        send(id, msg::codeTable(market_));
    } else if (name == "@RI") {
        send(id, msg::systemInfo(systemInfoTexts()));
    } else if (name == "@SV") {
        logSession(id, concat("client version ", shortened(arg)));
    } else if (name == "@CH") {
        chat_.participation(id, s.user, arg);
    } else if (name == "@CT") {
        chat_.tradesFeed(id, arg);
    } else if (name == "@RCU") {
        chat_.userListRequest(id);
    } else if (name == "@C") {
        chat_.message(id, arg, now_);
    } else if (name == "@SVK" || name == "@U" || name == "@" || name == "@HB") {
        // Nothing to answer: version detail, repeated login, heartbeats.
    } else {
        send(id, "@ER=Unbekannter Befehl: " + shortened(name));
    }
}

// Holdings and results, then the account figures with the given places.
void Game::sendBooks(SessionId id, const Session& s, Places places) {
    const TradingAccount& a = exchange_.account(s.account);
    send(id, msg::userData(a, market_));
    send(id, msg::accountFigures(a, market_, places));
}

void Game::sendRanking(SessionId id, Session& s, Places p, bool always) {
    if (!always && p.total == s.sentPlaces.total && p.day == s.sentPlaces.day) return;
    s.sentPlaces = p;
    send(id, msg::ranking(exchange_.account(s.account), market_, p));
    send(id, msg::placeInfo(p, exchange_.accountCount()));
}

std::vector<std::string> Game::systemInfoTexts() const {
    std::vector<std::string> texts{options_.serverName, "Spieler online: " + std::to_string(loggedInCount()),
                                   "Wertpapiere: " + std::to_string(market_.count())};
    if (options_.closeSecondsOfDay) {
        const int t = *options_.closeSecondsOfDay;
        char text[32];
        std::snprintf(text, sizeof text, "Handelsschluss: %02d:%02d", t / 3600, t / 60 % 60);
        texts.emplace_back(text);
    }
    return texts;
}

// --- sending -----------------------------------------------------------------------

void Game::send(SessionId id, std::string_view text) {
    std::string wire = wire::frame(cp1252::fromUtf8(text));
    ++stats_.messagesSent;
    stats_.bytesSent += static_cast<int64_t>(wire.size());
    transport_.send(id, wire);
}

void Game::sendToAccount(int account, std::string_view text) {
    if (auto it = loggedIn_.find(account); it != loggedIn_.end()) send(it->second, text);
}

void Game::broadcastWire(std::string_view wireBytes) {
    for (auto& [id, s] : sessions_) {
        if (s.stage != Stage::LoggedIn) continue;
        ++stats_.messagesSent;
        stats_.bytesSent += static_cast<int64_t>(wireBytes.size());
        transport_.send(id, wireBytes);
    }
}

void Game::orderOpened(int account, const ServerOrder& order) {
    sendToAccount(account, msg::openOrder(order));
}
void Game::orderChanged(int account, const ServerOrder& order) {
    sendToAccount(account, msg::orderStatus(order));
}
void Game::executed(int account, const ServerExecution& e) {
    sendToAccount(account, msg::execution(e));
    if (market_.valid(e.instrument)) chat_.trade(tradeFeedLine(market_.setup(e.instrument).ticker, e));
}
void Game::orderRejected(int account, const std::string& text) {
    sendToAccount(account, "@OR=" + text);
}
void Game::cancelRejected(int account, const std::string& text) {
    sendToAccount(account, "@CR=" + text);
}

void Game::booksChanged(int account) {
    // One account's places, not the whole ranking: a fill must not cost a sort of every player.
    auto logged = loggedIn_.find(account);
    if (logged == loggedIn_.end()) return;
    Session& s = sessions_.at(logged->second);
    const Places places = exchange_.placesOf(account);
    sendBooks(logged->second, s, places);
    sendRanking(logged->second, s, places, true);
}

// --- time ----------------------------------------------------------------------------

void Game::advance(int64_t ms) {
    if (ms <= 0) return;
    now_ += ms;
    // At most one second's worth of prices at once, so a stalled loop does not burst.
    quoteBudget_ = std::min(quoteBudget_ + options_.quotesPerSecond * static_cast<double>(ms) / 1000.0,
                            std::max(1.0, options_.quotesPerSecond));
    while (quoteBudget_ >= 1) {
        quoteBudget_ -= 1;
        const QuoteEvent event = market_.step();
        ++stats_.quoteSteps;
        broadcastWire(wire::frame(msg::quote(market_, event)));
        exchange_.quoteChanged(event.instrument);
        persist(event.instrument);
    }
    if (now_ >= nextHeartbeat_) {
        nextHeartbeat_ = now_ + options_.heartbeatMs;
        heartbeat();
    }
    if (now_ >= nextRanking_) {
        nextRanking_ = now_ + options_.rankingMs;
        const auto places = exchange_.ranking();
        for (auto& [id, s] : sessions_)
            if (s.stage == Stage::LoggedIn)
                sendRanking(id, s, places[static_cast<std::size_t>(s.account)], false);
    }
    std::vector<SessionId> late;
    for (const auto& [id, s] : sessions_)
        if (s.stage != Stage::LoggedIn && now_ - s.connectedAt > options_.loginTimeoutMs) late.push_back(id);
    for (SessionId id : late)
        drop(id, "no login in time");
    checkCloseTime();
}

// Mostly the silent form; now and then the forms the client logs, so a player can
// see in the protocol that the link is alive.
void Game::heartbeat() {
    const int64_t k = heartbeatCount_++;
    const char* text = "@=";
    if (k % 20 == 19)
        text = "!;HB";
    else if (k % 5 == 4)
        text = (k / 5) % 2 == 0 ? "@HB" : "@Heartbeat";
    broadcastWire(wire::frame(text));
}

void Game::checkCloseTime() {
    if (!options_.closeSecondsOfDay) return;
    const LocalTime now = clock_();
    if (now.secondsOfDay() >= *options_.closeSecondsOfDay && now.dayNumber() != lastCloseDay_) {
        lastCloseDay_ = now.dayNumber();
        closeSession();
    }
}

void Game::setQuote(int instrument, const Quote& quote) {
    if (!market_.valid(instrument)) return;
    market_.setQuote(instrument, quote);
    broadcastWire(wire::frame(msg::quote(market_, QuoteEvent{instrument, QuoteForm::Long})));
    exchange_.quoteChanged(instrument);
    persist(instrument);
}

void Game::closeSession() {
    log_("session close: market-on-close orders fill, a new trading day starts");
    exchange_.closeSession();
    persist();
    const auto places = exchange_.ranking();
    for (auto& [id, s] : sessions_) {
        if (s.stage != Stage::LoggedIn) continue;
        sendBooks(id, s, places[static_cast<std::size_t>(s.account)]);
        sendRanking(id, s, places[static_cast<std::size_t>(s.account)], true);
    }
}

} // namespace kavex::server
