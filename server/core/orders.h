#pragma once
// Orders and executions as the game keeps them, and the order commands players send.
#include <cstdint>
#include <string>
#include <string_view>

namespace kavex::server {

enum OrderStatus : int16_t {
    kPendingSubmit = 1,
    kPendingCancel = 2,
    kPreSubmitted = 3,
    kSubmitted = 4,
    kCancelled = 5,
    kFilled = 6,
};

enum class OrderType { Market, Limit, Stop, MarketOnClose };

enum BracketRole : int16_t { kPlain = 0, kBracketMain = 1, kLimitChild = 2, kStopChild = 3, kCloseChild = 4 };

struct ServerOrder {
    int32_t userOrderId = 0; // the player's number for the order
    std::string orderId;     // the game's number, unique over all players
    std::string orderRef;    // date of entry, yyyymmdd
    bool buy = true;
    int32_t quantity = 0;
    OrderType type = OrderType::Market;
    double limit1 = 0; // limit or stop price; on a bracket child below 0: offset from the main fill
    double limit2 = 0;
    int16_t status = kPreSubmitted;
    int32_t filled = 0;
    int32_t remaining = 0;
    double price = 0;       // fill price
    std::string entryTime;  // hhmmss
    std::string statusTime; // hhmmss
    std::string orderClass = "DAY";
    int instrument = 0;
    int16_t bracketRole = kPlain;
    int32_t parentUserOrderId = 0;
    std::string statusInfo;
    uint8_t activeFlag = 1; // 0 while a bracket child waits for its main order's fill
    uint8_t flag2 = 0;

    bool open() const { return status == kPreSubmitted || status == kSubmitted || status == kPendingCancel; }
    bool isChild() const { return bracketRole >= kLimitChild; }
};

struct ServerExecution {
    std::string accountCode;
    std::string orderId;
    std::string execRef; // the player's order number
    int instrument = 0;
    std::string currency;
    std::string executionId;
    std::string execTime; // hhmmss
    std::string action;   // "BUY" or "SEL"
    int32_t quantity = 0;
    double price = 0;
    double amount = 0; // quantity x price x multiplier
    double commission = 0;
    double profit = 0; // realised by this fill, before commission
    int64_t day = 0;   // day number of the trading day
};

// "@PO=" body: account;user order;instrument;side;type;quantity;limit1;limit2;role;parent.
struct PlaceRequest {
    std::string accountCode;
    int32_t userOrderId = 0;
    int instrument = 0;
    std::string side;
    std::string type;
    int32_t quantity = 0;
    double limit1 = 0, limit2 = 0;
    int16_t bracketRole = 0;
    int32_t parentUserOrderId = 0;
};

// "@CO=" body: account;user order;order id. Also the body of "@BR1=" and "@BR?=".
struct OrderReference {
    std::string accountCode;
    int32_t userOrderId = 0;
    std::string orderId;
};

// Lenient like every reader of the protocol: missing fields read as empty or 0,
// numbers that do not fit read as 0.
PlaceRequest parsePlaceRequest(std::string_view body);
OrderReference parseOrderReference(std::string_view body);

const char* typeText(OrderType type);
bool parseOrderType(std::string_view text, OrderType& type);

} // namespace kavex::server
