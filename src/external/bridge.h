#pragma once
// The local bridge for an external trading front-end ("Zentrivo"): a listening socket
// on this machine, one front-end at a time, the same framing as the server link. The
// front-end identifies, gets the instrument list, places and cancels orders through the
// external order operations, asks for the portfolio and the executions, and gets
// reports about its own orders.
//
// Beyond the plain protocol: the socket listens on loopback only when the one accepted
// front-end is on this machine; a frame longer than kMaxFrameBytes closes that
// connection; received texts are logged on one line each; and the log keeps only its
// newest kLogLines lines.
#include "base/text_list.h"
#include "platform/tcp_listener.h"
#include "trading/portfolio_forward.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kavex {

class CommandFields;
class EventLoop;
class ExternalCommands;
class ServerSender;
struct Settings;
struct TradingData;

// For a trading window without a bridge socket: never listens, never connects.
class ClosedTcpListener : public TcpListener {
  public:
    void setEvents(Events) override {}
    void listen(int, const std::string&) override {}
    void accept() override {}
    void close() override {}
    int state() const override { return 0; }
    std::string remoteAddress() const override { return {}; }
    std::string localAddress() const override { return "127.0.0.1"; }
    int localPort() const override { return 0; }
    void send(std::string_view) override {}
    void readAll(std::string&) override {}
};

class Bridge : public PortfolioForward {
  public:
    static constexpr std::size_t kMaxFrameBytes = 64 * 1024;
    static constexpr uint32_t kWaitMs = 10000;
    static constexpr std::size_t kLogLines = 5000;
    // The front-end's address when the settings name none: this machine's own address.
    static constexpr const char* kDefaultAddress = "127.0.0.1";

    Bridge(TcpListener& socket, EventLoop& loop, TradingData& data, Settings& settings, TextList& log,
           Label& statusLine, ExternalCommands& commands, ServerSender& server);
    ~Bridge() override;
    Bridge(const Bridge&) = delete;
    Bridge& operator=(const Bridge&) = delete;

    // Start-up: the configured address defaults to the socket layer's own, then "Listen".
    void startListening();

    // --- Buttons of the frame "Externe Kontrolle Zentrivo" ---
    void listenAgain();
    void closeSocket();      // "&X": closes the socket until "Listen"
    void sendInstruments();  // "SI"
    void requestPortfolio(); // "GetPortfolio"
    void testPlaceOrder();   // "Placeorder-Test" with the text of testOrderField
    void testCancelOrder();  // "cancelOrder-Test" with the number in testCancelField
    void clearLog() { log_.clear(); }

    // --- Socket events ---
    void onConnectionRequest(long requestId);
    void onDataArrival(std::size_t bytesAvailable);
    void onClose();
    void onError(const std::string& description);

    // Logs "OUT:" + text and sends it as it is (the caller frames it). Sending without a
    // front-end fails quietly.
    void sendToFrontEnd(std::string_view text) override;
    bool takePortfolioRequest() override;
    bool takeExecutionRequest();
    bool connected() const { return connected_; }
    // Received text not yet consumed; never more than kMaxFrameBytes between arrivals.
    std::size_t buffered() const { return buffer_.size(); }

    // Reports about the front-end's orders (negative user order numbers).
    void reportOrderStatus(int32_t orderUserId);
    void reportExecution(const std::string& executionBody);

    // Step 1 of the trading window's refresh tick: the status texts.
    void statusTick();

    // One message text from the front-end, as the receive path hands it on.
    void process(std::string_view message);
    void runCommand(std::string_view message, const CommandFields& fields);

    Label socketStateLabel; // the socket state text
    Label localAddressLabel;
    Label testOrderField;
    Label testCancelField;

  private:
    void waitForState(bool (*done)(int state));
    void dropOversizeFrame(); // logs, closes the connection and listens again

    TcpListener& socket_;
    EventLoop& loop_;
    TradingData& data_;
    Settings& settings_;
    TextList& log_;
    Label& statusLine_;
    ExternalCommands& commands_;
    ServerSender& server_;

    bool connected_ = false;
    bool accepting_ = false;
    bool portfolioForward_ = false;
    bool executionsForward_ = false;
    std::string buffer_;
};

} // namespace kavex
