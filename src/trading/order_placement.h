#pragma once
// Transmitting entry lines as orders, cancelling orders, and releasing bracket groups.
// The only place where user order numbers are assigned. No OrderBook record is changed
// here: the server's reports do that.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include <string_view>

namespace kavex {

class FailureLog;
class OrderEvents;
class ServerSender;
class TextList;
class UserMessages;
struct Order;
struct TradingData;

class OrderPlacement {
  public:
    static constexpr const char* kOfflineRefusal = "Nicht verbunden: Order nicht gesendet";

    OrderPlacement(TradingData& data, ServerSender& sender, UserMessages& messages, OrderEvents& events,
                   TextList& bridgeLog, FailureLog& log);

    // Sends the entry line; false when the stop check refused it (nothing sent).
    bool placeOrder(int line, int row, bool fromExternal, const std::string& externalRef);
    void placeWithChildren(int mainLine);
    // The grid's transmit on an entry-line row: a plain line alone, a bracket line as its
    // whole group, main first. A row that is no entry line throws.
    void transmitRow(int row);
    // "TRANS Alle": every entry line, bottom row first, each bracket group main first.
    void transmitAll();
    void cancelOrder(int orderBookNumber);
    void cancelOrderByUserId(int32_t orderUserId);
    void freeBracketGroup(int line);
    // Cancels every order that is working at the server; every row may change.
    void cancelAllOrders();

    // The place-order and cancel-order messages, framed.
    static std::string placeOrderMessage(const Order& line);
    static std::string cancelOrderMessage(const Order& order);

    // Receivers of (external reference, user order number) for orders from outside:
    // the bridge always, the file-drop interface while it is active.
    std::function<void(const std::string&, int32_t)> bridgeNewOrderId;
    std::function<void(const std::string&, int32_t)> fileDropNewOrderId;
    // Asked before each order: false while the link to the server is down. The order is
    // then refused before its user order number is counted, its entry line stays, and
    // `refusedOffline` tells the user.
    std::function<bool()> linkUp;
    std::function<void()> refusedOffline;
    bool offline() const { return linkUp && !linkUp(); }
    // Asked before each order's number is counted: why the order may not go, empty when it
    // may. A refused order is shown to the user and to every refusal observer; an entry line
    // of the user's stays for correcting, one from another program is dropped.
    std::function<std::string(const Order&, bool fromOtherProgram)> checkOrder;
    using RefusalObserver = std::function<void(const Order&, const std::string& reason)>;
    void addRefusalObserver(RefusalObserver observer) { refusalObservers_.push_back(std::move(observer)); }
    // The reason the last order was refused by the check; empty after one that went out.
    const std::string& lastRefusal() const { return lastRefusal_; }
    // Every order sent ("@PO"), cancel sent ("@CO") and order refused before sending
    // ("refused", with the reason), for the journal. `line` is the entry line, 0 for an order.
    std::function<void(std::string_view event, const Order&, std::string_view text, int line)> journal;

  private:
    // Grid row (from the last up to row 2) of the entry line `line`; 0 when none.
    int findEntryRow(int line) const;
    bool placeAndRemoveRow(int line, int row);
    bool refuseOffline() const;
    bool refusedByCheck(int line, bool fromOtherProgram);
    bool sendChecked(int line, int row, bool fromExternal, const std::string& externalRef);

    TradingData& data_;
    ServerSender& sender_;
    UserMessages& messages_;
    OrderEvents& events_;
    TextList& bridgeLog_;
    FailureLog& log_;
    std::vector<RefusalObserver> refusalObservers_;
    std::string lastRefusal_;
};

} // namespace kavex
