#pragma once
// The connection window "Orderclient": owns the link to the game server. It finds the
// server through the discovery document, connects and disconnects, answers the
// server's identification and login requests, reconnects after silence, and keeps
// the protocol lists of the link.
//
// Headless: the window's controls are the models below; a view renders them and
// forwards the user's edits and clicks to the public member functions.
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
    static constexpr std::string_view kCaption = "Orderclient";

    struct Dependencies {
        EventLoop& loop;
        TcpClient& socket; // the server link; this window takes over its events
        HttpGet& http;
        SystemServices& system;
        TradingData& data;
        TextList& log; // the trading window's protocol list
    };

    // Loading the window: fills the fields from the settings (default host and user
    // when they are empty) and starts the silence watchdog. The window starts hidden.
    OrderClient(Dependencies deps, ConnectionSettings settings, TradingWindowHooks hooks = {},
                DiscoverySites sites = {}, ConnectionTimings timings = {});
    // Unloading closes the link.
    ~OrderClient();
    OrderClient(const OrderClient&) = delete;
    OrderClient& operator=(const OrderClient&) = delete;

    // --- Buttons ---
    void discoverServer(); // "Lies IP-Seite": server discovery
    void connect();        // "LOGIN"
    void disconnect();     // "LOGOUT"
    void hide();           // "&Ablegen": hides the window
    // Request buttons: sent only while the socket is connected, never logged.
    void requestTime();          // "Time ?"
    void requestInstruments();   // "Instruments"
    void requestAllOrders();     // "R.All Orders"
    void requestOpenOrders();    // "R.Open Orders"
    void requestAllExecutions(); // "R.AllExec."
    // Account statement request for a day number; same rule as the request buttons.
    void requestStatement(int32_t day);

    void connectTo(std::string host);
    // Handler of "@MSG" and "@MESSAGE".
    void showServerMessage(std::string_view text);
    // Processes pending events until more than `seconds` have passed.
    void Wait(double seconds);

    // --- Edits (by the user or by the program) ---
    void setHost(std::string_view host); // also the settings' host
    void setPort(std::string_view port);
    void setUser(std::string_view user);         // also settings, login text, tooltip
    void setPassword(std::string_view password); // also settings and login text
    void setKeepServer(bool keep);               // check box "IP"
    void setLogAll(bool logAll);                 // check box "Kursprotokoll"
    // Copies user and password of the settings into the fields (after the
    // user/password dialog has changed them).
    void takeCredentialsFromSettings();

    // --- Lists: a click shows the line in full, a double click empties the list ---
    void listClicked(const TextList& list, int index);
    void listDoubleClicked(TextList& list);

    // --- Window ---
    void show();
    bool visible() const { return visible_; }
    void setVisibilityObserver(std::function<void(bool)> observer) {
        visibilityObserver_ = std::move(observer);
    }

    // --- Controls ---
    TextList& incoming() { return incoming_; }
    TextList& outgoing() { return outgoing_; }
    Label& lastQuote() { return lastQuote_; }   // "KURSE" until the first "@KU="
    Label& lineLabel() { return lineLabel_; }   // the clicked list line
    Label& byteLabel() { return byteLabel_; }   // "Bytes:" + received bytes
    Label& stateLabel() { return stateLabel_; } // text of the socket's state
    Label& hostField() { return hostField_; }
    Label& portField() { return portField_; }
    Label& userField() { return userField_; }
    Label& passwordField() { return passwordField_; }
    CheckBox& keepServerBox() { return keepServerBox_; }
    CheckBox& logAllBox() { return logAllBox_; }

    // --- The link, for the handlers of the other subsystems ---
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
    Label lastQuote_, lineLabel_, byteLabel_, stateLabel_;
    Label hostField_, portField_, userField_, passwordField_;
    CheckBox keepServerBox_, logAllBox_;

    MessageDispatcher dispatcher_;
    ServerReceiver receiver_;
    ServerSender sender_;

    bool autoReconnect_ = false;
    ServerList serverList_;
    int watchdog_ = 0; // timer id, 0 while stopped
    bool visible_ = false;
    std::function<void(bool)> visibilityObserver_;
    std::string readScratch_;
};

} // namespace kavex
