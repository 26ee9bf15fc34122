#pragma once
// The last look at an order before it goes to the server: a largest quantity and a largest
// order value (quantity x price x multiplier), for all instruments or for one, and a price
// collar around the last price. Limits of 0 are off. An order from the user that crosses the
// collar is asked about; one from another program is refused, since nobody is there to ask.
#include <map>
#include <string>

namespace kavex {

class ExtraSettings;
class FailureLog;
class Prompts;
struct Order;
struct TradingData;

struct OrderLimits {
    double maxQuantity = 0; // 0: any quantity
    double maxValue = 0;    // 0: any value
};

class OrderGuard {
  public:
    static constexpr double kDefaultCollarPercent = 5;
    static constexpr const char* kCollarCaption = "Preisprüfung";

    OrderGuard(const TradingData& data, Prompts& prompts);

    void setLimitsForAll(OrderLimits limits) { all_ = limits; }
    // Limits of one instrument (by ticker) take the place of those for all.
    void setLimitsFor(const std::string& ticker, OrderLimits limits) { perTicker_[ticker] = limits; }
    void clearInstrumentLimits() { perTicker_.clear(); }
    void setCollarPercent(double percent) { collarPercent_ = percent; }
    double collarPercent() const { return collarPercent_; }
    OrderLimits limitsFor(const std::string& ticker) const;

    // Empty when the order may go; otherwise why it may not.
    std::string check(const Order& order, bool fromOtherProgram) const;

  private:
    std::string checkCollar(const Order& order, const std::string& ticker, float last,
                            bool fromOtherProgram) const;

    const TradingData& data_;
    Prompts& prompts_;
    OrderLimits all_;
    std::map<std::string, OrderLimits> perTicker_;
    double collarPercent_ = kDefaultCollarPercent;
};

// Takes the limits and the collar from the settings; a damaged value is logged and is off
// (the collar then keeps its default).
void configureOrderGuard(OrderGuard& guard, const ExtraSettings& extra, FailureLog& log);

} // namespace kavex
