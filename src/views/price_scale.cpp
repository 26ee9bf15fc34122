#include "views/price_scale.h"

#include "base/numbers.h"
#include "model/price_history.h"

#include <array>
#include <cmath>

namespace kavex {

int pointSlot(int w, int i) {
    return (w + i + 2999) % PriceHistory::kSlots + 1;
}

PriceRange priceRange(const PriceHistory& history, int instrument, int n) {
    PriceRange range;
    if (n < 1) return range;
    if (instrument < 1 || instrument > history.instrumentCount()) return range;
    const int w = history.pos(instrument);
    for (int j = 1; j <= n && j <= PriceHistory::kSlots; ++j) {
        const HistoryEntry& p = history.slot(instrument, (w - j + 3000) % PriceHistory::kSlots + 1);
        if (p.Ask > range.maximum) range.maximum = p.Ask;
        if (p.Bid != 0 && p.Bid < range.minimum) range.minimum = p.Bid;
    }
    return range;
}

float niceStep(float x) {
    struct Row {
        float from, upTo, step;
    };
    static constexpr std::array<Row, 26> kRows{{
        {0.0f, 0.00199999f, 0.001f},
        {0.002f, 0.0199999f, 0.01f},
        {0.02f, 0.0499999f, 0.025f},
        {0.05f, 0.0999999f, 0.05f},
        {0.1f, 0.199999f, 0.1f},
        {0.2f, 0.499999f, 0.25f},
        {0.5f, 0.999999f, 0.5f},
        {1.0f, 1.999999f, 1.0f},
        {2.0f, 4.999999f, 2.5f},
        {5.0f, 9.999999f, 5.0f},
        {10.0f, 19.99999f, 10.0f},
        {20.0f, 49.99999f, 25.0f},
        {50.0f, 99.9999f, 50.0f},
        {100.0f, 199.999f, 100.0f},
        {200.0f, 499.999f, 250.0f},
        {500.0f, 999.999f, 500.0f},
        {1000.0f, 1999.999f, 1000.0f},
        {2000.0f, 4999.999f, 2500.0f},
        {5000.0f, 9999.99f, 5000.0f},
        {10000.0f, 19999.99f, 10000.0f},
        {20000.0f, 50000.0f, 25000.0f},
        {50000.0f, 99999.99f, 50000.0f},
        {100000.0f, 199999.98f, 100000.0f},
        {200000.0f, 500000.0f, 250000.0f},
        {500000.0f, 1000000.0f, 500000.0f},
        {1000000.0f, 9999999.0f, 5000000.0f},
    }};
    for (const Row& row : kRows)
        if (x >= row.from && x <= row.upTo) return row.step;
    return x;
}

std::vector<PriceLevel> priceLevels(PriceRange range, float step, int maxLevels) {
    std::vector<PriceLevel> levels;
    const double stepUnits = std::round(double(step) * kLevelUnitsPerPrice);
    const double low = double(range.minimum) * kLevelUnitsPerPrice;
    const double high = double(range.maximum) * kLevelUnitsPerPrice;
    // Beyond 2^53 units neither the levels nor their cents can be told apart.
    constexpr double kExact = 9007199254740992.0;
    if (!(stepUnits >= 1 && stepUnits < kExact) || !(std::fabs(low) < kExact) || !(std::fabs(high) < kExact))
        return levels;
    const auto unit = static_cast<int64_t>(stepUnits);
    const auto first = static_cast<int64_t>(std::floor(low / stepUnits)) + 1;
    const auto last = static_cast<int64_t>(std::floor(high / stepUnits));
    if (last < first || last - first >= maxLevels) return levels;
    for (int64_t k = first; k <= last; ++k)
        levels.push_back({double(k * unit) / kLevelUnitsPerPrice, levelLabel(k * unit)});
    return levels;
}

std::string levelLabel(int64_t units) {
    constexpr int64_t kUnitsPerCent = 1000;
    int64_t cents = units / kUnitsPerCent;
    if (units % kUnitsPerCent < 0) --cents;
    return strDouble(double(cents) / 100);
}

} // namespace kavex
