#pragma once
// The simulated market: one quote per instrument and a seeded random walk that moves
// one instrument per step. Prices are whole numbers of ticks, so they never drift off
// the instrument's price grid.
#include "core/instrument_data.h"

#include <cstdint>
#include <random>
#include <vector>

namespace kavex::server {

struct Quote {
    int64_t lastTicks = 0, bidTicks = 0, askTicks = 0;
    int32_t bidSize = 0, askSize = 0;
    int64_t volume = 0; // contracts traded since the start
};

// Which fields a step changed, and so in which message form it is sent.
enum class QuoteForm {
    Long,        // absolute prices, all fields
    Full,        // last price with bid and ask as distances, all fields
    BidAsk,      // bid and ask distances with sizes
    AskWithSize, // ask distance and size
    AskOnly,     // ask distance
    AskSize,     // ask size
    BidWithSize, // bid distance and size
};

struct QuoteEvent {
    int instrument = 0; // 1-based
    QuoteForm form = QuoteForm::Full;
};

class Market {
  public:
    Market(std::vector<InstrumentSpec> instruments, uint64_t seed);

    int count() const { return static_cast<int>(specs_.size()); }
    bool valid(int n) const { return n >= 1 && n <= count(); }
    const InstrumentSpec& setup(int n) const { return specs_[static_cast<std::size_t>(n - 1)]; }
    const Quote& quote(int n) const { return quotes_[static_cast<std::size_t>(n - 1)]; }

    double price(int n, int64_t ticks) const { return static_cast<double>(ticks) * setup(n).tickSize; }
    double last(int n) const { return price(n, quote(n).lastTicks); }
    double bid(int n) const { return price(n, quote(n).bidTicks); }
    double ask(int n) const { return price(n, quote(n).askTicks); }

    // Moves one instrument, chosen at random, and says what changed.
    QuoteEvent step();

    // Sets a quote directly (tests and scripted scenarios).
    void setQuote(int n, const Quote& q) { quotes_[static_cast<std::size_t>(n - 1)] = q; }
    // A new random sequence from here on (a restarted game goes on from its stored quotes).
    void reseed(uint64_t seed) { rng_.seed(seed); }
    // Counts traded contracts into the instrument's volume.
    void addVolume(int n, int64_t contracts) { quotes_[static_cast<std::size_t>(n - 1)].volume += contracts; }

  private:
    uint64_t below(uint64_t n) { return rng_() % n; }
    int32_t randomSize(int n);
    void requote(int n, Quote& q);
    void moveSide(int64_t& sideTicks, const Quote& q, bool isAsk);

    std::vector<InstrumentSpec> specs_;
    std::vector<Quote> quotes_;
    std::mt19937_64 rng_;
};

} // namespace kavex::server
