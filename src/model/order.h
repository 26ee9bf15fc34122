#pragma once
// One order: a line being composed in the order grid or an order known to the server.
#include "base/fixed_text.h"

#include <cstdint>
#include <string_view>

namespace kavex {

enum OrderStatus : int16_t {
    StatusNone = 0,
    StatusPendSubm = 1,
    StatusPendCancel = 2,
    StatusPreSubm = 3,
    StatusSubmitted = 4,
    StatusCancelled = 5,
    StatusFilled = 6,
};

// Display text of a status code; "Filled " ends with a blank. Codes outside 0..6 fail
// with "Subscript out of range" (the server may send any value; the caller decides).
std::string_view OrderStatusText(int code);

// Codes 3 and 4 are the only states in which a cancel request is sent.
inline bool isCancellable(int status) {
    return status == StatusPreSubm || status == StatusSubmitted;
}
// Codes 5 and 6 end an order.
inline bool isFinished(int status) {
    return status == StatusCancelled || status == StatusFilled;
}

enum BracketRole : int16_t {
    BracketPlain = 0,
    BracketMain = 1,
    BracketLimitChild = 2,
    BracketStopChild = 3,
    BracketCloseChild = 4,
};

struct Order {
    int32_t quantity = 0;
    float limit1 = 0;
    float limit2 = 0;
    int16_t status = StatusNone;
    int32_t filled = 0;
    int32_t remaining = 0;
    int16_t instrumentNumber = 0; // 0 marks a free entry line
    float price = 0;
    FixedText<6> accountCode;
    int32_t orderUserId = 0; // negative for orders from the file-drop interface or the bridge
    FixedText<8> orderId;    // blank until the server has reported the order
    FixedText<12> orderRef;
    FixedText<4> side; // "BUY " or "SEL "
    FixedText<3> orderType;
    FixedText<6> entryTime;
    FixedText<6> statusTime;
    FixedText<3> orderClass;
    int16_t bracketRole = BracketPlain;
    int32_t parentLine = 0; // entry line of the main order, or minus its OrderBook number
    int32_t parentOrderUserId = 0;
    FixedText<8> statusInfo;
    uint8_t activeFlag = 0;
    uint8_t flag2 = 0;
};

// An entry line is free when its instrument is 0, whatever its other fields hold.
inline bool isFreeEntryLine(const Order& line) {
    return line.instrumentNumber == 0;
}
inline void freeEntryLine(Order& line) {
    line.instrumentNumber = 0;
    line.bracketRole = BracketPlain;
    line.parentLine = 0;
}

// An order type text containing "OVN" marks an overnight order.
inline bool isOvernight(const Order& order) {
    return order.orderType.str().find("OVN") != std::string::npos;
}

} // namespace kavex
