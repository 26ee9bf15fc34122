#include "trading/holdings.h"

#include "base/split_fields.h"
#include "model/trading_data.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace kavex {
namespace {

constexpr int kMaxPositionValues = 5000;
constexpr std::string_view kRule = "-----------------------";

} // namespace

void rebuildPositionList(TradingData& data, std::string_view positionText, FailureLog& log,
                         std::string_view tag) {
    PositionList& list = data.positionList;
    list.reset(data.instrumentCount());
    const Fields f = SplitFields(positionText, ";", kMaxPositionValues);
    const int groups = std::min(f.count(), kMaxPositionValues) / 5;
    for (int i = 1; i <= groups; ++i) {
        const int v = 5 * i - 4;
        Position p;
        guard(log, tag, [&] { p.holding = parseInt32(f[v]); });
        p.marginS = parseSingle(f[v + 1]);
        p.sumCost = parseSingle(f[v + 2]);
        p.sumValue = parseSingle(f[v + 3]);
        guard(log, tag, [&] { p.instrumentNumber = parseInt16(f[v + 4]); });
        guard(log, tag, [&] { list.add(p); });
    }
}

void rebuildPositionIndex(TradingData& data, FailureLog& log, std::string_view tag) {
    resetPositionIndex(data.positionIndex, data.instrumentCount());
    for (int32_t i = 1; i <= data.positionList.count(); ++i) {
        guard(log, tag, [&] {
            const int instrument = data.positionList.at(i).instrumentNumber;
            Instrument& ins = data.instruments.at(instrument);
            setPositionOf(data.positionIndex, instrument, i);
            ins.Changed = true;
        });
    }
}

std::vector<std::string> positionListing(const TradingData& data, NumberLocale locale) {
    std::vector<std::string> lines;
    lines.push_back("U: 1 " + data.account.userLabel);

    // Holdings ordered by instrument, table order kept within one instrument.
    std::vector<std::pair<int, int32_t>> order;
    const PositionList& list = data.positionList;
    order.reserve(static_cast<std::size_t>(list.count()));
    for (int32_t i = 1; i <= list.count(); ++i) {
        const int instrument = list.at(i).instrumentNumber;
        if (data.instruments.valid(instrument)) order.emplace_back(instrument, i);
    }
    std::stable_sort(order.begin(), order.end(), [](auto& a, auto& b) { return a.first < b.first; });

    lines.reserve(1 + 6 * order.size());
    for (auto [instrument, i] : order) {
        const Position& p = list.at(i);
        lines.push_back("WP:" + std::to_string(instrument) + " " + data.instruments.at(instrument).Ticker);
        lines.push_back("Bestand:" + std::to_string(p.holding));
        lines.push_back("MarginS:" + localeSingle(p.marginS, locale));
        lines.push_back("SumKost:" + localeSingle(p.sumCost, locale));
        lines.push_back("SumWert:" + localeSingle(p.sumValue, locale));
        lines.emplace_back(kRule);
    }
    return lines;
}

void refreshHoldingValue(TradingData& data, int instrument) {
    Instrument& ins = data.instruments.at(instrument);
    ins.Changed = false;
    const int16_t h = positionOf(data.positionIndex, instrument);
    if (h == 0 || ins.Last == 0) return;
    Position& p = data.positionList.at(h);
    // Computed in double precision, then stored in the single-precision field; a value
    // beyond its range is an overflow and leaves the old value.
    const double value = static_cast<double>(p.holding) * ins.Last * ins.Multiplier;
    if (std::fabs(value) > std::numeric_limits<float>::max()) failOverflow();
    p.sumValue = static_cast<float>(value);
}

} // namespace kavex
