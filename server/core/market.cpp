#include "core/market.h"

#include <algorithm>
#include <cmath>

namespace kavex::server {

namespace {
constexpr int64_t kMaxSideTicks = 4; // widest distance of bid or ask from the last price
}

Market::Market(std::vector<InstrumentSpec> instruments, uint64_t seed)
    : specs_(std::move(instruments)), rng_(seed) {
    quotes_.resize(specs_.size());
    for (int n = 1; n <= count(); ++n) {
        Quote& q = quotes_[static_cast<std::size_t>(n - 1)];
        q.lastTicks = std::max<int64_t>(1, std::llround(setup(n).startPrice / setup(n).tickSize));
        requote(n, q);
    }
}

int32_t Market::randomSize(int n) {
    const int32_t lot = setup(n).multiplier == 1 ? 100 : 1;
    return static_cast<int32_t>(1 + below(50)) * lot;
}

void Market::requote(int n, Quote& q) {
    const int64_t spread = 1 + static_cast<int64_t>(below(3));
    const int64_t bidDistance =
        std::min<int64_t>(static_cast<int64_t>(below(static_cast<uint64_t>(spread) + 1)), q.lastTicks - 1);
    q.bidTicks = q.lastTicks - bidDistance;
    q.askTicks = q.lastTicks + (spread - bidDistance);
    q.bidSize = randomSize(n);
    q.askSize = randomSize(n);
}

// One tick up or down, keeping the side within reach of the last price, on its own
// side of it, and bid below ask.
void Market::moveSide(int64_t& sideTicks, const Quote& q, bool isAsk) {
    const int64_t moved = sideTicks + (below(2) == 0 ? 1 : -1);
    if (isAsk)
        sideTicks = std::clamp(moved, std::max(q.lastTicks, q.bidTicks + 1), q.lastTicks + kMaxSideTicks);
    else
        sideTicks = std::clamp(moved, std::max<int64_t>(1, q.lastTicks - kMaxSideTicks),
                               std::min(q.lastTicks, q.askTicks - 1));
}

QuoteEvent Market::step() {
    const int n = 1 + static_cast<int>(below(static_cast<uint64_t>(count())));
    Quote& q = quotes_[static_cast<std::size_t>(n - 1)];
    const uint64_t roll = below(100);
    QuoteEvent event{n, QuoteForm::Full};
    if (roll < 40) {
        // A trade: the last price moves by up to two ticks, pulled back towards the
        // start price the further it has wandered, and both sides are quoted anew.
        const double start = setup(n).startPrice / setup(n).tickSize;
        const double wander = (static_cast<double>(q.lastTicks) - start) / start;
        const int upPercent = 50 - static_cast<int>(std::clamp(wander * 200.0, -20.0, 20.0));
        const int64_t size = below(5) == 0 ? 0 : 1 + static_cast<int64_t>(below(2));
        const int64_t move = static_cast<int>(below(100)) < upPercent ? size : -size;
        q.lastTicks = std::max<int64_t>(2, q.lastTicks + move);
        requote(n, q);
        q.volume += randomSize(n);
        event.form = below(5) == 0 ? QuoteForm::Long : QuoteForm::Full;
    } else if (roll < 55) {
        requote(n, q);
        event.form = QuoteForm::BidAsk;
    } else if (roll < 65) {
        moveSide(q.askTicks, q, true);
        q.askSize = randomSize(n);
        event.form = QuoteForm::AskWithSize;
    } else if (roll < 75) {
        moveSide(q.askTicks, q, true);
        event.form = QuoteForm::AskOnly;
    } else if (roll < 85) {
        q.askSize = randomSize(n);
        event.form = QuoteForm::AskSize;
    } else {
        moveSide(q.bidTicks, q, false);
        q.bidSize = randomSize(n);
        event.form = QuoteForm::BidWithSize;
    }
    return event;
}

} // namespace kavex::server
