#pragma once
// One line naming a market order for a confirmation box: "SAP  BUY  5 Stück  MKT  ohne Limit".
#include <cstdint>
#include <string>
#include <string_view>

namespace kavex {

std::string marketOrderSummary(std::string_view ticker, bool buy, int64_t quantity);

} // namespace kavex
