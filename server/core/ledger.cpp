#include "core/ledger.h"

#include "core/market.h"

#include <cstdlib>

namespace kavex::server {

double Ledger::applyFill(int instrument, int64_t signedQuantity, double price, double multiplier,
                         double commission) {
    commissions_ += commission;
    Holding& h = holdings_[instrument];
    double profit = 0;
    const bool reduces = h.quantity != 0 && (h.quantity > 0) != (signedQuantity > 0);
    if (reduces) {
        const int64_t closed = std::min(std::llabs(h.quantity), std::llabs(signedQuantity));
        const double perUnit = h.quantity > 0 ? price - h.averagePrice : h.averagePrice - price;
        profit = perUnit * static_cast<double>(closed) * multiplier;
        realised_ += profit;
        const int64_t before = h.quantity;
        h.quantity += signedQuantity;
        // A fill larger than the holding reverses it: the rest opens at the fill price.
        if (h.quantity != 0 && (h.quantity > 0) != (before > 0)) h.averagePrice = price;
    } else {
        const double cost =
            h.averagePrice * static_cast<double>(h.quantity) + price * static_cast<double>(signedQuantity);
        h.quantity += signedQuantity;
        h.averagePrice = cost / static_cast<double>(h.quantity);
    }
    return profit;
}

void Ledger::startNewDay(const Market& market) {
    dayStartEquity_ = equity(market);
    std::erase_if(holdings_, [](const auto& entry) { return entry.second.quantity == 0; });
}

double Ledger::holdingValue(const Market& market, int instrument) const {
    auto it = holdings_.find(instrument);
    if (it == holdings_.end()) return 0;
    return static_cast<double>(it->second.quantity) * market.last(instrument) *
           market.setup(instrument).multiplier;
}

double Ledger::holdingCost(const Market& market, int instrument) const {
    auto it = holdings_.find(instrument);
    if (it == holdings_.end()) return 0;
    return static_cast<double>(it->second.quantity) * it->second.averagePrice *
           market.setup(instrument).multiplier;
}

double Ledger::holdingMargin(const Market& market, int instrument) const {
    return std::abs(holdingValue(market, instrument)) * market.setup(instrument).marginPercent / 100.0;
}

double Ledger::unrealised(const Market& market) const {
    double sum = 0;
    for (const auto& [instrument, h] : holdings_)
        sum += holdingValue(market, instrument) - holdingCost(market, instrument);
    return sum;
}

double Ledger::margin(const Market& market) const {
    double sum = 0;
    for (const auto& [instrument, h] : holdings_)
        sum += holdingMargin(market, instrument);
    return sum;
}

} // namespace kavex::server
