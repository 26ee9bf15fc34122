#pragma once
// One fill reported by the server.
#include "base/fixed_text.h"

#include <cstdint>

namespace kavex {

struct Execution {
    FixedText<6> accountCode;
    FixedText<8> orderId;
    FixedText<8> executionId; // key of the ExecutionList
    FixedText<12> execRef;
    FixedText<3> action;
    int32_t quantity = 0;
    float price = 0;
    float amount = 0;
    FixedText<12> execTime;
    int16_t instrumentNumber = 0;
    FixedText<3> currency;
    float commission = 0;
    float profit = 0;
};

} // namespace kavex
