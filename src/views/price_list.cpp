#include "views/price_list.h"

#include "base/failure.h"
#include "base/numbers.h"
#include "model/trading_data.h"
#include "platform/event_loop.h"

#include <cstdio>
#include <vector>

namespace kavex {

std::string PriceList::lineOf(const HistoryEntry& entry) {
    LocalDateTime t = fromDayNumber(entry.Time);
    char time[16];
    std::snprintf(time, sizeof time, "%02d%02d%02d", t.hour % 100, t.minute % 100, t.second % 100);
    std::string line = time;
    line += ';';
    appendStrSingle(line, entry.Bid);
    line += ';';
    appendStrSingle(line, entry.Last);
    line += ';';
    appendStrSingle(line, entry.Ask);
    return line;
}

void PriceList::refresh() {
    std::vector<std::string> lines;
    skipOnFailure([&] {
        const PriceHistory& history = data_.history;
        const int n = data_.chartInstrument;
        lines.reserve(PriceHistory::kSlots);
        for (int k = 1; k <= PriceHistory::kSlots; ++k)
            lines.push_back(lineOf(history.oldestFirst(n, k)));
    });
    list_.setLines(std::move(lines));
}

} // namespace kavex
