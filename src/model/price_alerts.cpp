#include "model/price_alerts.h"

#include "base/failure.h"
#include "base/files.h"
#include "base/numbers.h"
#include "base/split_fields.h"
#include "model/instrument.h"

#include <algorithm>
#include <cmath>
#include <system_error>

namespace kavex {
namespace {

constexpr std::string_view kTag = "LoadAlerts: ";

} // namespace

std::optional<float> parseAlertLevel(const std::string& text) {
    const std::string point = decimalCommaToPoint(text);
    if (point.find_first_of("0123456789") == std::string::npos) return std::nullopt;
    float level = 0;
    try {
        level = parseSingle(point);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (!std::isfinite(level) || level <= 0) return std::nullopt;
    return level;
}

void PriceAlerts::load(const std::filesystem::path& file, FailureLog& log) {
    alerts_.clear();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return;
    std::vector<std::string> lines;
    guard(log, kTag, [&] { lines = readTextLines(file); });
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        const Fields f = SplitFields(lines[i], ";", 3);
        const std::optional<float> level = parseAlertLevel(std::string(f[2]));
        const std::string_view side = f[3];
        if (f.count() != 3 || f[1].empty() || !level || (side != "above" && side != "below")) {
            log.addLine("F:" + std::string(kTag) + lines[i]);
            continue;
        }
        remove(std::string(f[1]));
        alerts_.push_back({std::string(f[1]), *level, side == "above"});
    }
}

void PriceAlerts::save(const std::filesystem::path& file) const {
    std::vector<std::string> lines{kVersionLine};
    for (const PriceAlert& a : alerts_)
        lines.push_back(a.ticker + ";" + strSingleTrimmed(a.level) + ";" + (a.above ? "above" : "below"));
    writeTextLines(file, lines);
}

void PriceAlerts::set(const std::string& ticker, float level, float last) {
    remove(ticker);
    alerts_.push_back({ticker, level, level >= last});
}

void PriceAlerts::remove(const std::string& ticker) {
    std::erase_if(alerts_, [&](const PriceAlert& a) { return a.ticker == ticker; });
}

const PriceAlert* PriceAlerts::find(const std::string& ticker) const {
    const auto found =
        std::find_if(alerts_.begin(), alerts_.end(), [&](const PriceAlert& a) { return a.ticker == ticker; });
    return found == alerts_.end() ? nullptr : &*found;
}

std::vector<PriceAlert> PriceAlerts::takeReached(const InstrumentTable& instruments) {
    std::vector<PriceAlert> reached;
    std::erase_if(alerts_, [&](const PriceAlert& a) {
        const int n = instruments.findByTicker(a.ticker);
        if (n == 0) return false;
        const float last = instruments.at(n).Last;
        // A last price of 0 means none yet: it reaches nothing.
        if (last == 0 || (a.above ? last < a.level : last > a.level)) return false;
        reached.push_back(a);
        marked_.insert(a.ticker);
        return true;
    });
    return reached;
}

} // namespace kavex
