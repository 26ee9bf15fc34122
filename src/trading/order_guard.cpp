#include "trading/order_guard.h"

#include "base/numbers.h"
#include "model/extra_settings.h"
#include "model/trading_data.h"
#include "platform/services.h"

#include <cmath>

namespace kavex {
namespace {

std::string shown(double value) {
    return strSingleTrimmed(static_cast<float>(value));
}

bool isMarket(const Order& o) {
    const std::string type = o.orderType.str();
    return type.rfind("MKT", 0) == 0 || type.rfind("MOC", 0) == 0;
}

} // namespace

OrderGuard::OrderGuard(const TradingData& data, Prompts& prompts) : data_(data), prompts_(prompts) {}

OrderLimits OrderGuard::limitsFor(const std::string& ticker) const {
    auto it = perTicker_.find(ticker);
    return it == perTicker_.end() ? all_ : it->second;
}

std::string OrderGuard::check(const Order& o, bool fromOtherProgram) const {
    if (!data_.instruments.valid(o.instrumentNumber)) return {};
    const Instrument& instrument = data_.instruments.at(o.instrumentNumber);
    const OrderLimits limits = limitsFor(instrument.Ticker);
    const std::string where = " (" + instrument.Ticker + ")";
    if (limits.maxQuantity > 0 && o.quantity > limits.maxQuantity)
        return "Order abgelehnt: Stückzahl " + std::to_string(o.quantity) + " über dem Höchstwert " +
               shown(limits.maxQuantity) + where;
    // A market order is valued at the last price; an unknown multiplier counts as 1 so that
    // it never switches the limit off.
    const double price = isMarket(o) || o.limit1 == 0 ? instrument.Last : o.limit1;
    const double multiplier = instrument.Multiplier > 0 ? instrument.Multiplier : 1;
    const double value = std::fabs(static_cast<double>(o.quantity) * price * multiplier);
    if (limits.maxValue > 0 && value > limits.maxValue)
        return "Order abgelehnt: Ordervolumen " + shown(value) + " über dem Höchstwert " +
               shown(limits.maxValue) + where;
    return checkCollar(o, instrument.Ticker, instrument.Last, fromOtherProgram);
}

std::string OrderGuard::checkCollar(const Order& o, const std::string& ticker, float last,
                                    bool fromOtherProgram) const {
    if (collarPercent_ <= 0 || last <= 0 || isMarket(o)) return {};
    const std::string type = o.orderType.str();
    const bool limit = type.rfind("LMT", 0) == 0;
    // A stop of the user's own on the wrong side is refused by the stop check anyway; only
    // the stops of bracket children go out without it.
    if (!limit && (type.rfind("STP", 0) != 0 || o.bracketRole <= BracketMain)) return {};
    const bool buy = o.side.trimmed() == "BUY";
    // "Through" is the side where the order trades at once: a buy limit above the last
    // price, a sell limit below it; for stops the other way round.
    const bool above = buy == limit;
    const double band = last * collarPercent_ / 100;
    const bool through = above ? o.limit1 > last + band : o.limit1 < last - band;
    if (!through) return {};
    const std::string what = std::string(limit ? "Limit " : "Stop ") + shown(o.limit1) + " liegt mehr als " +
                             shown(collarPercent_) + " % " + (above ? "über" : "unter") +
                             " dem letzten Kurs " + shown(last) + " (" + ticker + ")";
    if (fromOtherProgram) return "Order abgelehnt: " + what;
    if (prompts_.askYesNo(what + ". Order trotzdem senden?", kCollarCaption)) return {};
    return "Order nicht gesendet: " + what;
}

void configureOrderGuard(OrderGuard& guard, const ExtraSettings& extra, FailureLog& log) {
    using E = ExtraSettings;
    guard.setLimitsForAll({extra.number(E::kMaxQuantity, 0, log), extra.number(E::kMaxOrderValue, 0, log)});
    guard.setCollarPercent(extra.number(E::kPriceCollarPercent, OrderGuard::kDefaultCollarPercent, log));
    guard.clearInstrumentLimits();
    const std::string quantityPrefix = std::string(E::kMaxQuantity) + ".";
    const std::string valuePrefix = std::string(E::kMaxOrderValue) + ".";
    for (const auto& [name, value] : extra.entries()) {
        const bool quantity = name.rfind(quantityPrefix, 0) == 0;
        if (!quantity && name.rfind(valuePrefix, 0) != 0) continue;
        const std::string ticker = name.substr((quantity ? quantityPrefix : valuePrefix).size());
        OrderLimits limits = guard.limitsFor(ticker);
        (quantity ? limits.maxQuantity : limits.maxValue) = extra.number(name, 0, log);
        guard.setLimitsFor(ticker, limits);
    }
}

} // namespace kavex
