#pragma once
// The link to the game server. It finds the server through the discovery document,
// connects and disconnects, answers the server's identification and login requests,
// reconnects after silence, and keeps the incoming and outgoing lists of the link.
//
// Its settings (host, port, user, ...) and what it shows (socket state, byte count, last
// quote) are plain values; the connection window reads them and learns of each change
// through the change observer.
#include "base/text_list.h"
#include "protocol/message_dispatcher.h"
#include "protocol/server_receiver.h"
#include "protocol/server_sender.h"
#include "session/connection_config.h"
#include "session/server_discovery.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kavex {

class EventLoop;
class HttpGet;
class SystemServices;
class TcpClient;
struct TradingData;

class OrderClient {
  public:
    // A value the connection window shows has changed.
    enum class Change { Host, Port, User, Password, KeepServer, LogAll, SocketState, ByteCount, LastQuote };

    struct Dependencies {
        EventLoop& loop;
        TcpClient& socket; // the server link; the connection takes over its events
        HttpGet& http;
        SystemServices& system;
        TradingData& data;
        TextList& log; // the trading window's log list
    };

    // Takes host, user, password and keep-server from the settings (default host and
    // user when they are empty) and starts the silence watchdog.
    OrderClient(Dependencies deps, ConnectionSettings settings, TradingWindowHooks hooks = {},
                DiscoverySites sites = {}, ConnectionTimings timings = {});
    // Closes the link.
    ~OrderClient();
    OrderClient(const OrderClient&) = delete;
    OrderClient& operator=(const OrderClient&) = delete;

    // --- Commands ---
    void discoverServer(); // "Lies IP-Seite": server discovery
    void connect();        // "LOGIN"
    void disconnect();     // "LOGOUT"
    // Requests: sent only while the socket is connected, never logged.
    void requestTime();          // "Time ?"
    void requestInstruments();   // "Instruments"
    void requestAllOrders();     // "R.All Orders"
    void requestOpenOrders();    // "R.Open Orders"
    void requestAllExecutions(); // "R.AllExec."
    void requestStatement(int32_t day);

    void connectTo(std::string host);
    // Handler of "@MSG" and "@MESSAGE".
    void showServerMessage(std::string_view text);
    // Processes pending events until more than `seconds` have passed.
    void Wait(double seconds);

    // --- Values (edited by the user or by the program) ---
    void setHost(std::string_view host); // also the settings' host
    void setPort(std::string_view port);
    void setUser(std::string_view user);         // also settings, login text, tooltip
    void setPassword(std::string_view password); // also settings and login text
    void setKeepServer(bool keep);               // discovery leaves host and port alone
    void setLogAll(bool logAll);                 // log the start of every message received
    // Takes user and password from the settings (after the user/password dialog has
    // changed them).
    void takeCredentialsFromSettings();

    const std::string& host() const { return host_; }
    const std::string& port() const { return port_; }
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }
    bool keepServer() const { return keepServer_; }
    bool logAll() const { return receiver_.state().logAll; }
    const std::string& socketStateText() const { return socketStateText_; }
    int64_t byteCount() const { return byteCount_; } // received bytes as of the last watchdog tick
    const std::string& lastQuote() const { return lastQuote_.text(); } // "KURSE" until the first "@KU="
    // Called after each change of the values above; one observer, set by the window.
    void setChangeObserver(std::function<void(Change)> observer) { changed_ = std::move(observer); }

    // --- The link, for the handlers of the other subsystems ---
    TextList& incoming() { return incoming_; }
    TextList& outgoing() { return outgoing_; }
    MessageDispatcher& dispatcher() { return dispatcher_; }
    ServerSender& sender() { return sender_; }
    ServerReceiver& receiver() { return receiver_; }
    const ReceiveState& receiveState() const { return receiver_.state(); }
    bool autoReconnect() const { return autoReconnect_; }
    const ServerList& serverList() const { return serverList_; }
    bool watchdogRunning() const { return watchdog_ != 0; }

  private:
    void bindHandlers();
    void onConnected();
    void onClosedByPeer();
    void onError(const std::string& description);
    void onDataArrival();
    void answerIdentification();
    void answerLogin();
    void sendUnlogged(const std::string& messageText);
    void startWatchdog();
    void stopWatchdog();
    void watchdogTick();
    void showSocketState();
    void updateLoginText();
    void notify(Change what) {
        if (changed_) changed_(what);
    }
    std::string fallbackAddress() const;

    EventLoop& loop_;
    TcpClient& socket_;
    HttpGet& http_;
    SystemServices& system_;
    TradingData& data_;
    TextList& log_;
    ConnectionSettings settings_;
    TradingWindowHooks hooks_;
    DiscoverySites sites_;
    ConnectionTimings timings_;

    TextList incoming_, outgoing_;
    Label lastQuote_; // written by the receiver
    std::string host_, port_, user_, password_, socketStateText_;
    bool keepServer_ = false;
    int64_t byteCount_ = 0;
    std::function<void(Change)> changed_;

    MessageDispatcher dispatcher_;
    ServerReceiver receiver_;
    ServerSender sender_;

    bool autoReconnect_ = false;
    ServerList serverList_;
    int watchdog_ = 0; // timer id, 0 while stopped
    std::string readScratch_;
};

} // namespace kavex
