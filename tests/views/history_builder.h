#pragma once
// Writes quotes into an instrument's history ring so that the last one given is the
// newest entry and lies in the chosen slot.
#include "model/price_history.h"

#include <vector>

namespace kavex::test {

struct Quote {
    float bid, ask, last;
};

inline void putHistory(PriceHistory& history, int instrument, const std::vector<Quote>& oldestFirst,
                       int newestSlot) {
    int n = static_cast<int>(oldestFirst.size());
    for (int k = 0; k < n; ++k) {
        int slot = ((newestSlot - (n - 1 - k)) % 3000 + 3000 - 1) % 3000 + 1;
        HistoryEntry& e = history.slot(instrument, slot);
        e.Bid = oldestFirst[static_cast<std::size_t>(k)].bid;
        e.Ask = oldestFirst[static_cast<std::size_t>(k)].ask;
        e.Last = oldestFirst[static_cast<std::size_t>(k)].last;
    }
    history.setPos(instrument, static_cast<int16_t>(newestSlot));
}

} // namespace kavex::test
