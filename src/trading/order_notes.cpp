#include "trading/order_notes.h"

#include "base/numbers.h"
#include "model/instrument.h"
#include "model/order.h"

namespace kavex {

std::string orderNote(const InstrumentTable& instruments, const Order& order, std::string_view what) {
    std::string text = "Order " + std::to_string(order.orderUserId) + " " + std::string(what) + ":";
    if (order.instrumentNumber >= 1 && order.instrumentNumber <= instruments.count())
        text.append(" ").append(instruments.at(order.instrumentNumber).Ticker);
    const std::string_view side = order.side.trimmed();
    text.append(" ").append(side == "SEL" ? "SELL" : side);
    text.append(" ").append(std::to_string(order.quantity));
    const std::string_view type = order.orderType.trimmed();
    text.append(" ").append(type);
    if (type != "MKT" && order.limit1 != 0) text.append(" ").append(strSingleTrimmed(order.limit1));
    return text;
}

} // namespace kavex
