#pragma once
// The user's own figures; exactly one per run.
#include "base/fixed_text.h"

#include <cstdint>
#include <string>

namespace kavex {

struct Account {
    std::string userLabel;
    std::string loginText; // user + "%" + password
    FixedText<6> accountCode;
    std::string kontoText1;
    float kontoValue3 = 0;
    std::string kontoText2;
    float totalResult = 0;
    int32_t lastUserOrderId = 0;
    std::string positionText;
    float kontoValue8 = 0;
    float todayResult = 0;
    int16_t totalPlace = 0; // 0 = none, 101 = beyond 100
    int16_t dayPlace = 0;
};

} // namespace kavex
