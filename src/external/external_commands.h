#pragma once
// What the file-drop interface and the bridge may ask of the trading window: place and
// cancel orders, close every holding, cancel every order. They never reach a window
// themselves; the trading window implements this.
#include <cstdint>
#include <string>
#include <string_view>

namespace kavex {

enum class ExternalOrderResult {
    Placed,            // sent to the server, which accepts it or refuses it with "@OR"
    UnknownInstrument, // reported with "@ER" code 1 and a message box
    NotPlaced,         // reported with "@ER" code 2: no grid row, a number out of range, or refused here
    Waiting,           // held for the user's approval; answered once it is sent or refused
};

// What a request line can ask for.
class ExternalCommands {
  public:
    static constexpr const char* kUnknownInstrument = "Wertpapier nicht verfügbar";
    static constexpr const char* kNotPlaced = "Order nicht gesendet";

    virtual ~ExternalCommands() = default;
    // "@PO": the order text is everything after "@PO;".
    virtual ExternalOrderResult placeOrder(std::string_view orderText) = 0;
    // "@CO": cancels the order with this user order number when it is working.
    virtual void cancelOrder(int32_t orderUserId) = 0;
    virtual void closeAllPositions() = 0; // "@GL", as the "GLATT" button
    virtual void cancelAllOrders() = 0;   // "@CA", as the "CANCEL Alle" button
    // Why the last order was not placed.
    virtual std::string whyNotPlaced() const { return kNotPlaced; }
};

} // namespace kavex
