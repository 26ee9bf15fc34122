#pragma once
// Short notes on what became of an order, for the status line and "Meldungen...":
// "Order 12 platziert: SAP BUY 10 LMT 150.5".
#include <string>
#include <string_view>

namespace kavex {

class InstrumentTable;
struct Order;

// `what` says what happened ("platziert", "gestrichen", "ausgeführt").
std::string orderNote(const InstrumentTable& instruments, const Order& order, std::string_view what);

} // namespace kavex
