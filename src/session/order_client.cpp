#include "session/order_client.h"

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/fixed_text.h"
#include "base/numbers.h"
#include "model/trading_data.h"
#include "platform/event_loop.h"
#include "platform/services.h"
#include "platform/socket_state.h"
#include "platform/tcp_client.h"
#include "protocol/wire.h"

#include <cctype>
#include <cmath>

namespace kavex {
namespace {

// "ß" has no capital in the wire code page, so the upper-case text keeps it.
constexpr std::string_view kWrongPassword = "FALSCHES PAßWORT";
constexpr std::string_view kDefaultPort = "4100";

} // namespace

OrderClient::OrderClient(Dependencies deps, ConnectionSettings settings, TradingWindowHooks hooks,
                         DiscoverySites sites, ConnectionTimings timings)
    : loop_(deps.loop), socket_(deps.socket), http_(deps.http), system_(deps.system), data_(deps.data),
      log_(deps.log), settings_(settings), hooks_(std::move(hooks)), sites_(std::move(sites)),
      timings_(timings), dispatcher_({deps.data, incoming_, outgoing_, deps.log, deps.system, deps.loop}),
      receiver_(deps.loop, incoming_, lastQuote_, dispatcher_), sender_(deps.socket, outgoing_) {
    lastQuote_.setText("KURSE");
    lastQuote_.setObserver([this](const std::string&) { notify(Change::LastQuote); });
    port_ = kDefaultPort;
    setHost(settings_.host.empty() ? sites_.defaultHost : std::string(settings_.host));
    setUser(settings_.user.empty() ? sites_.defaultUser : std::string(settings_.user));
    setPassword(std::string(settings_.password));
    setKeepServer(settings_.keepServer != 0);
    bindHandlers();
    socket_.setEvents({
        [this] { onConnected(); },
        [this] { onClosedByPeer(); },
        [this](const std::string& description) { onError(description); },
        [this](std::size_t) { onDataArrival(); },
    });
    showSocketState();
    startWatchdog();
}

OrderClient::~OrderClient() {
    stopWatchdog();
    socket_.setEvents({});
    skipOnFailure([&] { socket_.close(); });
}

void OrderClient::bindHandlers() {
    dispatcher_.setHandler(Handler::IdRequest, [this](std::string_view) { answerIdentification(); });
    dispatcher_.setHandler(Handler::UserRequest, [this](std::string_view) { answerLogin(); });
    dispatcher_.setHandler(Handler::ServerMessage,
                           [this](std::string_view text) { showServerMessage(text); });
    dispatcher_.setHandler(Handler::UserLocked, [this](std::string_view) { autoReconnect_ = false; });
}

// ---------------------------------------------------------------- discovery

std::string OrderClient::fallbackAddress() const {
    // When no discovery page can be read, the server stays the one the settings name
    // (or the default host), on the standard port.
    const std::string& host = settings_.host.empty() ? sites_.defaultHost : settings_.host;
    return host + ":" + std::string(kDefaultPort);
}

void OrderClient::discoverServer() {
    guard(log_, "Command1_Click ", [&] {
        serverList_ = {};
        bool found = false;
        for (const std::string& url : discoveryUrls(sites_, hooks_.gameEdition)) {
            ServerList entries = readServerList(http_.get(url));
            if (!entries[0].empty()) {
                serverList_ = std::move(entries);
                found = true;
                break;
            }
        }
        if (!found) serverList_[0] = fallbackAddress();
        if (keepServer_) return;
        ServerAddress address = splitServerEntry(serverList_[0]);
        setHost(address.host);
        if (address.port) setPort(*address.port);
    });
}

// ---------------------------------------------------------------- connect and disconnect

void OrderClient::connectTo(std::string host) {
    guard(log_, "connectwinsock ", [&] { socket_.close(); });
    receiver_.state().connectionState = 1;
    loop_.processPendingEvents();
    guard(log_, "connectwinsock ", [&] { socket_.connect(host, parseInt32(port_), 0); });
    showSocketState();
}

void OrderClient::connect() {
    connectTo(host_);
    autoReconnect_ = true;
    Wait(timings_.loginWaitSeconds);
    // No connect event: the next attempt should use a freshly discovered address.
    if (receiver_.state().connectionState == 1) discoverServer();
}

void OrderClient::disconnect() {
    guard(log_, "Command3_Click ", [&] { socket_.close(); });
    autoReconnect_ = false;
    ReceiveState& state = receiver_.state();
    state.connectionState = 0;
    state.receiveEvents = 0;
    state.receivedBytes = 0;
    showSocketState();
    loop_.processPendingEvents();
}

void OrderClient::Wait(double seconds) {
    // Measured on the monotonic tick counter: neither midnight nor a clock set by the
    // server ("@TS") can stretch or cut a wait.
    auto limit = static_cast<uint32_t>(std::llround(std::max(seconds, 0.0) * 1000.0));
    uint32_t start = loop_.tickCount();
    for (;;) {
        loop_.processPendingEvents();
        uint32_t elapsed = loop_.tickCount() - start;
        if (elapsed > limit) return;
        loop_.waitForEvents(static_cast<int>(limit - elapsed + 1));
    }
}

// ---------------------------------------------------------------- socket events

void OrderClient::onConnected() {
    incoming_.addLine("WS connected!");
    receiver_.state().connectionState = 2;
    showSocketState();
}

void OrderClient::onClosedByPeer() {
    // Nothing else: the watchdog reconnects.
    incoming_.addLine("WS closed");
    showSocketState();
}

void OrderClient::onError(const std::string& description) {
    incoming_.addLine(description);
    showSocketState();
}

void OrderClient::onDataArrival() {
    // The scratch buffer is taken out while in use, so a nested arrival reads into a
    // buffer of its own; steady receiving reuses one allocation.
    std::string bytes;
    bytes.swap(readScratch_);
    bytes.clear();
    guard(incoming_, "", [&] { socket_.readAll(bytes); });
    receiver_.onDataArrival(bytes);
    bytes.clear();
    readScratch_.swap(bytes);
}

// ---------------------------------------------------------------- login exchange

void OrderClient::sendUnlogged(const std::string& messageText) {
    guard(incoming_, "", [&] { socket_.send(cp1252::fromUtf8(wire::frame(messageText))); });
}

void OrderClient::answerIdentification() {
    // The password never reaches a list: the login messages are logged by user name only.
    sendUnlogged("TTUSER=" + user_ + "/HD=" + system_.machineId());
    incoming_.addLine("OUT:" + user_);
}

void OrderClient::answerLogin() {
    sendUnlogged("@U=" + user_ + "%" + password_ + "/OCHD=" + system_.machineId());
    incoming_.addLine("OUT:" + user_);
    loop_.processPendingEvents();
}

void OrderClient::showServerMessage(std::string_view text) {
    guard(log_, "WS_Message ", [&] {
        std::string line = timeOfDayText(loop_.now()) + " " + std::string(text);
        if (hooks_.showError)
            hooks_.showError(line);
        else
            log_.addLine(line);
    });
    if (upperAscii(text) != kWrongPassword) return;
    // No reconnect while the user types; the watchdog then logs in with the new
    // credentials once the server has fallen silent.
    stopWatchdog();
    guard(log_, "WS_Message ", [&] {
        if (hooks_.showCredentialsDialog) hooks_.showCredentialsDialog();
    });
    takeCredentialsFromSettings();
    startWatchdog();
}

// ---------------------------------------------------------------- watchdog

void OrderClient::startWatchdog() {
    if (watchdog_ == 0) watchdog_ = loop_.startTimer(timings_.watchdogIntervalMs, [this] { watchdogTick(); });
}

void OrderClient::stopWatchdog() {
    if (watchdog_ != 0) loop_.stopTimer(watchdog_);
    watchdog_ = 0;
}

void OrderClient::watchdogTick() {
    // Unsigned difference: correct across the wrap of the tick counter, and a last
    // receive time of 0 (nothing received yet) counts as silence.
    if (autoReconnect_ && loop_.tickCount() - receiver_.state().lastReceiveTime > timings_.silenceLimitMs) {
        disconnect();
        Wait(timings_.reconnectPauseSeconds);
        connect();
    }
    byteCount_ = receiver_.state().receivedBytes;
    notify(Change::ByteCount);
    showSocketState();
}

void OrderClient::showSocketState() {
    int state = 0;
    skipOnFailure([&] { state = socket_.state(); });
    socketStateText_ = kavex::socketStateText(state);
    notify(Change::SocketState);
}

// ---------------------------------------------------------------- requests

void OrderClient::requestTime() {
    sender_.sendFramed("@TIMEGET");
}
void OrderClient::requestInstruments() {
    sender_.sendFramed("@IR");
}
void OrderClient::requestAllOrders() {
    sender_.sendFramed("@RA");
}
void OrderClient::requestOpenOrders() {
    sender_.sendFramed("@RAO");
}
void OrderClient::requestAllExecutions() {
    sender_.sendFramed("@RAE");
}
void OrderClient::requestStatement(int32_t day) {
    sender_.sendFramed("@GKO=" + std::to_string(day));
}

// ---------------------------------------------------------------- values

void OrderClient::setHost(std::string_view host) {
    host_ = host;
    settings_.host = host;
    notify(Change::Host);
}

void OrderClient::setPort(std::string_view port) {
    port_ = port;
    notify(Change::Port);
}

void OrderClient::setUser(std::string_view user) {
    user_ = user;
    settings_.user = user;
    updateLoginText();
    if (hooks_.setUserTooltip) hooks_.setUserTooltip("User:" + std::string(user));
    notify(Change::User);
}

void OrderClient::setPassword(std::string_view password) {
    password_ = password;
    settings_.password = password;
    updateLoginText();
    notify(Change::Password);
}

void OrderClient::updateLoginText() {
    data_.account.loginText = user_ + "%" + password_;
}

void OrderClient::takeCredentialsFromSettings() {
    // Copies first: setting one value writes the settings back.
    std::string user = settings_.user, password = settings_.password;
    setUser(user);
    setPassword(password);
}

void OrderClient::setKeepServer(bool keep) {
    keepServer_ = keep;
    settings_.keepServer = keep ? 1 : 0;
    notify(Change::KeepServer);
}

void OrderClient::setLogAll(bool logAll) {
    receiver_.state().logAll = logAll;
    notify(Change::LogAll);
}

} // namespace kavex
