#pragma once
// Changing a working order: the server has no "change", so the order is cancelled and,
// once the server has confirmed the cancel, a new order with the changed quantity or limit
// goes out in its place, through the same checks as any other. What was filled before the
// cancel comes off the new quantity; an order filled completely is not replaced.
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace kavex {

class FailureLog;
class GridActions;
class OrderGrid;
class OrderGridColumns;
class OrderPlacement;
class UserMessages;
struct TradingData;

class OrderChanges {
  public:
    static constexpr const char* kFilledFirst = "Order ausgeführt: die Änderung entfällt";
    static constexpr const char* kCancelRefused = "Cancel abgelehnt: die Änderung entfällt";

    OrderChanges(TradingData& data, GridActions& actions, OrderPlacement& placement, OrderGrid& orderGrid,
                 const OrderGridColumns& columns, UserMessages& messages, FailureLog& log);

    // The in-cell editor changed the quantity or the limit of the working order
    // `orderBookNumber`: its cancel goes out now. A further change before the cancel is
    // confirmed is added to the waiting one.
    void request(int orderBookNumber, std::optional<int32_t> quantity, std::optional<float> limit);
    // The server reported a new status for the order.
    void statusChanged(int orderBookNumber);
    // The server refused a cancel: changes still waiting for theirs are dropped.
    void cancelRefused();
    // The text the order's row shows while its change waits; empty when none waits.
    std::string pendingText(int orderBookNumber) const;

  private:
    struct Change {
        int32_t quantity;
        float limit;
    };
    void sendReplacement(int orderBookNumber, const Change& change);
    void redraw(int orderBookNumber);

    TradingData& data_;
    GridActions& actions_;
    OrderPlacement& placement_;
    OrderGrid& orderGrid_;
    const OrderGridColumns& columns_;
    UserMessages& messages_;
    FailureLog& log_;
    // Keyed by the order's user order number, which stays when the order book is reordered.
    std::map<int32_t, Change> pending_;
};

} // namespace kavex
