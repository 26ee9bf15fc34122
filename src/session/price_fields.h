#pragma once
// Reading prices from message and file fields.
#include "base/failure.h"
#include "base/numbers.h"

#include <cmath>
#include <limits>
#include <string_view>

namespace kavex {

// A computed price stored as a single-precision value; a value beyond the single range
// fails with "Overflow" instead of becoming infinite.
inline float toPrice(double value) {
    if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())) failOverflow();
    return static_cast<float>(value);
}

// A price field read with the leading-number parse.
inline float readPrice(std::string_view field) {
    return toPrice(parseLeading(field));
}

} // namespace kavex
