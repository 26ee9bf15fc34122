#pragma once
// The books of one player: cash, holdings with their average price, and the results.
//
// Every instrument is settled like a future: buying or selling moves no cash, a
// holding binds margin, and cash changes only by realised profit and commissions.
// All currencies count one to one.
#include <cstdint>
#include <map>

namespace kavex::server {

class Market;

struct Holding {
    int64_t quantity = 0; // negative = short
    double averagePrice = 0;
};

// Everything a ledger holds, to keep it beyond the process and bring it back.
struct LedgerState {
    double startCash = 0;
    double dayStartEquity = 0;
    double realised = 0;
    double commissions = 0;
    std::map<int, Holding> holdings;
};

class Ledger {
  public:
    explicit Ledger(double startCash) : startCash_(startCash), dayStartEquity_(startCash) {}
    explicit Ledger(const LedgerState& s)
        : startCash_(s.startCash), dayStartEquity_(s.dayStartEquity), realised_(s.realised),
          commissions_(s.commissions), holdings_(s.holdings) {}
    LedgerState state() const { return {startCash_, dayStartEquity_, realised_, commissions_, holdings_}; }

    // Books a fill of `signedQuantity` contracts (negative = sold) and returns the
    // profit it realised on the part that reduced the holding (commission not deducted).
    double applyFill(int instrument, int64_t signedQuantity, double price, double multiplier,
                     double commission);

    double startCash() const { return startCash_; }
    double dayStartEquity() const { return dayStartEquity_; }
    double cash() const { return startCash_ + realised_ - commissions_; }
    double realised() const { return realised_; }
    double commissions() const { return commissions_; }
    const std::map<int, Holding>& holdings() const { return holdings_; }

    // Valuation at the market's last prices.
    double holdingValue(const Market& market, int instrument) const;
    double holdingCost(const Market& market, int instrument) const;
    double holdingMargin(const Market& market, int instrument) const;
    double unrealised(const Market& market) const;
    double margin(const Market& market) const;
    double equity(const Market& market) const { return cash() + unrealised(market); }

    // Results: today's since the last session close, and everything before today.
    double todayResult(const Market& market) const { return equity(market) - dayStartEquity_; }
    double earlierResult() const { return dayStartEquity_ - startCash_; }
    double totalResult(const Market& market) const { return equity(market) - startCash_; }
    // Holdings closed during the day are forgotten from here on.
    void startNewDay(const Market& market);

  private:
    double startCash_;
    double dayStartEquity_;
    double realised_ = 0;
    double commissions_ = 0;
    // Instruments traded since the last new day; a holding closed today stays with
    // quantity 0, so the player still sees the flat "0" and not the last quantity.
    std::map<int, Holding> holdings_;
};

} // namespace kavex::server
