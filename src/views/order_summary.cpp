#include "views/order_summary.h"

namespace kavex {

std::string marketOrderSummary(std::string_view ticker, bool buy, int64_t quantity) {
    std::string line(ticker);
    line += buy ? "  BUY  " : "  SELL  ";
    line += std::to_string(quantity) + " Stück  MKT  ohne Limit";
    return line;
}

} // namespace kavex
