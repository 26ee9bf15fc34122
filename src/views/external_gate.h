#pragma once
// Orders from other programs pass here before they reach the order grid: at most so many
// per second and per minute from the file-drop interface and the bridge together, and,
// while approval is on, a list of orders waiting for the user's "Freigeben" or "Ablehnen".
// An order past a limit is refused with its interface's answer at once, never kept back.
#include "base/text_list.h"
#include "external/external_commands.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kavex {

class EventLoop;
class ExternalOrders;
class OrderOrigins;

class ExternalOrderGate {
  public:
    static constexpr const char* kTooMany = "Zu viele Orders von anderen Programmen: Order abgelehnt";
    static constexpr const char* kRejected = "Order vom Benutzer abgelehnt";

    enum class Origin { FileDrop, Bridge };

    ExternalOrderGate(ExternalOrders& orders, EventLoop& loop);
    ~ExternalOrderGate();

    // What each interface is given instead of the orders themselves.
    ExternalCommands& commandsFor(Origin origin);

    // 0: no limit.
    void setRates(int perSecond, int perMinute);
    void setApproval(bool on) { approval_ = on; }
    bool approval() const { return approval_; }

    // One line per waiting order, oldest first: "Bridge: " or "Datei: " and its order text.
    TextList& waitingList() { return waitingList_; }
    void approve(int index); // "Freigeben": the order goes on as if it had just arrived
    void reject(int index);  // "Ablehnen": its program gets the refusal

    // Where each interface's orders are marked as coming from it, with their reference.
    OrderOrigins* origins = nullptr;

    // The file-drop interface's answer to an order refused after it was taken: its log line.
    std::function<void(const std::string& reason)> fileDropRefused;

  private:
    class Port;
    struct Waiting {
        Origin origin;
        std::string orderText;
    };
    ExternalOrderResult place(Origin origin, std::string_view orderText, std::string& whyNot);
    ExternalOrderResult placeMarked(Origin origin, std::string_view orderText);
    bool withinRates();
    void refuse(Origin origin, const std::string& reason);
    void showWaiting();

    ExternalOrders& orders_;
    EventLoop& loop_;
    std::unique_ptr<Port> fileDropPort_, bridgePort_;
    int perSecond_ = 0, perMinute_ = 0;
    bool approval_ = false;
    std::deque<uint32_t> taken_; // tick counts of the orders let through in the last minute
    std::vector<Waiting> waiting_;
    TextList waitingList_;
};

} // namespace kavex
