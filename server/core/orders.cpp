#include "core/orders.h"

#include "base/numbers.h"
#include "base/split_fields.h"
#include "core/text_file.h"

namespace kavex::server {

namespace {

int32_t intField(std::string_view text) {
    try {
        return parseInt32(text);
    } catch (const std::exception&) {
        return 0;
    }
}

} // namespace

PlaceRequest parsePlaceRequest(std::string_view body) {
    Fields f = SplitFields(body, ";", 10);
    PlaceRequest r;
    r.accountCode = trimmed(f[1]);
    r.userOrderId = intField(f[2]);
    r.instrument = intField(f[3]);
    r.side = trimmed(f[4]);
    r.type = trimmed(f[5]);
    r.quantity = intField(f[6]);
    r.limit1 = parseLeading(f[7]);
    r.limit2 = parseLeading(f[8]);
    const int32_t role = intField(f[9]);
    r.bracketRole = static_cast<int16_t>(role >= 0 && role <= 4 ? role : -1);
    r.parentUserOrderId = intField(f[10]);
    return r;
}

OrderReference parseOrderReference(std::string_view body) {
    Fields f = SplitFields(body, ";", 3);
    return OrderReference{std::string(trimmed(f[1])), intField(f[2]), std::string(trimmed(f[3]))};
}

const char* typeText(OrderType type) {
    switch (type) {
    case OrderType::Market:
        return "MKT";
    case OrderType::Limit:
        return "LMT";
    case OrderType::Stop:
        return "STP";
    case OrderType::MarketOnClose:
        return "MOC";
    }
    return "MKT";
}

bool parseOrderType(std::string_view text, OrderType& type) {
    for (OrderType t : {OrderType::Market, OrderType::Limit, OrderType::Stop, OrderType::MarketOnClose}) {
        if (text == typeText(t)) {
            type = t;
            return true;
        }
    }
    return false;
}

} // namespace kavex::server
