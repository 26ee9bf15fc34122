#pragma once
// The server's reports about orders and fills: open orders, status changes, executions,
// the full lists, rejections and the user data line.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kavex {

class EventLoop;
class FailureLog;
class Fields;
class Label;
class MessageDispatcher;
class OrderEvents;
class Sound;
class TextList;
class UserMessages;
struct Execution;
struct Order;
struct Settings;
struct TradingData;

// Where reports go beyond the order book: the local bridge and the execution grid.
// Unset hooks do nothing.
struct OrderReportHooks {
    std::function<bool()> bridgeConnected;
    std::function<void(const std::string& framedText)> forwardToBridge;
    std::function<void(int32_t orderUserId)> reportOrderStatus;
    std::function<void(const std::string& body)> reportExecution;
    // True (and cleared) when the bridge's front-end is waiting for all executions.
    std::function<bool()> takeExecutionRequest;
    std::function<void(int executionNumber)> executionReplaced;
    std::function<void()> executionsChanged;
    // After an order's new status is recorded and its row redrawn.
    std::function<void(int orderBookNumber)> orderStatusChanged;
    std::function<void()> cancelRejected;
    // For the journal: an order's first report or a changed status, a new fill, and a
    // refusal by the server ("@OR", "@CR" with the server's text).
    std::function<void(const Order&)> statusChanged;
    std::function<void(const Execution&)> filled;
    std::function<void(std::string_view event, std::string_view body)> rejected;
};

class OrderReports {
  public:
    static constexpr const char* kExecutionSoundFile = "KavexEx.wav";

    OrderReports(TradingData& data, OrderEvents& events, UserMessages& messages, Sound& sound,
                 const Settings& settings, EventLoop& loop, TextList& outgoing, TextList& log,
                 Label& accountCodeLabel);

    void bind(MessageDispatcher& dispatcher);

    void onOpenOrder(std::string_view body);
    void onOrderStatus(std::string_view body);
    void onExecution(std::string_view body);
    void onAllOrders(std::string_view body);
    void onAllExecutions(std::string_view body);
    void onOpenOrders(std::string_view body);
    void onCancelRejected(std::string_view body);
    void onOrderRejected(std::string_view body);
    void onUserInfo(std::string_view body);
    void ExecutionSound();

    OrderReportHooks hooks;

    // Records as the server's fields describe them.
    static Order orderFromFields(const Fields& f, FailureLog& log, std::string_view tag);
    static Execution executionFromFields(const Fields& f, FailureLog& log, std::string_view tag);

  private:
    bool bridgeConnected() const { return hooks.bridgeConnected && hooks.bridgeConnected(); }
    void forward(const std::string& text);
    void logLines(std::string_view body);
    // What became of an order, in the status line and "Meldungen...".
    void note(const Order& order, std::string_view what, const std::string& tail = {});

    TradingData& data_;
    OrderEvents& events_;
    UserMessages& messages_;
    Sound& sound_;
    const Settings& settings_;
    EventLoop& loop_;
    TextList& outgoing_;
    TextList& log_;
    Label& accountCodeLabel_;
};

} // namespace kavex
