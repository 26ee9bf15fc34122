#include "model/price_history.h"

#include "base/failure.h"
#include "model/instrument.h"

#include <algorithm>

namespace kavex {

void PriceHistory::create(int count) {
    count = std::max(count, 0);
    created_ = true;
    instruments_ = count;
    entries_.assign(static_cast<std::size_t>(count) * kSlots, HistoryEntry{});
    std::fill(pos_.begin(), pos_.end(), int16_t{0});
    std::fill(newest_.begin(), newest_.end(), NewestQuote{});
}

// Rings for numbers beyond the first list are added rather than failing every update.
void PriceHistory::growTo(int count) {
    if (!created_ || count <= instruments_) return;
    instruments_ = count;
    entries_.resize(static_cast<std::size_t>(count) * kSlots, HistoryEntry{});
}

void PriceHistory::setPos(int instrument, int16_t slot) {
    if (instrument < 0 || instrument > kMaxInstruments) failSubscript();
    pos_[static_cast<std::size_t>(instrument)] = slot;
    forgetNewest(instrument);
}

void PriceHistory::forgetNewest(int instrument) {
    if (instrument >= 0 && instrument <= kMaxInstruments)
        newest_[static_cast<std::size_t>(instrument)].known = false;
}

HistoryEntry& PriceHistory::slot(int instrument, int slotNumber) {
    if (slotNumber < 1 || slotNumber > kSlots) failSubscript();
    forgetNewest(instrument); // the caller may change the newest entry
    return entries_[ringStart(instrument) + static_cast<std::size_t>(slotNumber - 1)];
}

const HistoryEntry& PriceHistory::slot(int instrument, int slotNumber) const {
    if (slotNumber < 1 || slotNumber > kSlots) failSubscript();
    return entries_[ringStart(instrument) + static_cast<std::size_t>(slotNumber - 1)];
}

const HistoryEntry& PriceHistory::oldestFirst(int instrument, int k) const {
    return slot(instrument, (pos(instrument) + k - 1) % kSlots + 1);
}

void PriceHistory::readNewest(int instrument, std::size_t start, int p) {
    static constexpr HistoryEntry kEmpty{};
    const HistoryEntry& e = p == 0 ? kEmpty : entries_[start + static_cast<std::size_t>(p - 1)];
    newest_[static_cast<std::size_t>(instrument)] = {e.Bid, e.Ask, e.Volume, true};
}

} // namespace kavex
