#pragma once
// Transmitting entry lines as orders, cancelling orders, and releasing bracket groups.
// The only place where user order numbers are assigned. No OrderBook record is changed
// here: the server's reports do that.
#include <cstdint>
#include <functional>
#include <string>

namespace kavex {

class CellGrid;
class ErrorDisplay;
class FailureLog;
class OrderGrid;
class ServerSender;
class TextList;
struct Order;
struct TradingData;

class OrderPlacement {
  public:
    OrderPlacement(TradingData& data, ServerSender& sender, ErrorDisplay& errors, CellGrid& grid,
                   OrderGrid& orderGrid, TextList& bridgeLog, FailureLog& protocol);

    void PlaceOrder(int line, int row, bool fromExternal, const std::string& externalRef);
    void Placeallorders(int mainLine);
    void Cancelorder(int orderBookNumber);
    void CancelorderUser(int32_t orderUserId);
    void ResetAlleLeerOrders(int line);
    // Cancels every order that is working at the server, then redraws the grid.
    void Command1_Click();

    // The place-order and cancel-order messages, framed.
    static std::string placeOrderMessage(const Order& line);
    static std::string cancelOrderMessage(const Order& order);

    // Receivers of (external reference, user order number) for orders from outside:
    // the bridge always, the file-drop interface while it is active.
    std::function<void(const std::string&, int32_t)> bridgeNewOrderId;
    std::function<void(const std::string&, int32_t)> fileDropNewOrderId;

  private:
    // Grid row (from the last up to row 2) of the entry line `line`; 0 when none.
    int findEntryRow(int line) const;
    void placeAndRemoveRow(int line, int row);

    TradingData& data_;
    ServerSender& sender_;
    ErrorDisplay& errors_;
    CellGrid& grid_;
    OrderGrid& orderGrid_;
    TextList& bridgeLog_;
    FailureLog& protocol_;
};

} // namespace kavex
