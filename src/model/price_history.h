#pragma once
// A ring of the last 3000 quotes per instrument.
#include "base/failure.h"
#include "model/instrument.h"

#include <cstdint>
#include <vector>

namespace kavex {

struct HistoryEntry {
    float Bid = 0;
    float Ask = 0;
    float Last = 0;
    int32_t Volume = 0;
    double Time = 0; // day number: days since 30 Dec 1899 plus the fraction of the day
};

class PriceHistory {
  public:
    static constexpr int kSlots = 3000;
    // HistoryPos has room for instrument numbers up to this.
    static constexpr int kMaxInstruments = 3000;

    bool created() const { return created_; }
    int instrumentCount() const { return instruments_; }

    // Creates zeroed rings for instruments 1..count (once per run).
    void create(int count);
    // Adds zeroed rings up to `count` when a later list has more instruments than the first.
    void growTo(int count);

    // HistoryPos: the slot of the newest entry, 0 for an empty ring. Checked.
    int16_t pos(int instrument) const {
        if (instrument < 0 || instrument > kMaxInstruments) failSubscript();
        return pos_[static_cast<std::size_t>(instrument)];
    }
    void setPos(int instrument, int16_t slot);

    // Slot 1..3000 of an instrument's ring. Checked.
    HistoryEntry& slot(int instrument, int slotNumber);
    const HistoryEntry& slot(int instrument, int slotNumber) const;

    // k-th oldest entry, k = 1..3000 (k = 3000 is the newest).
    const HistoryEntry& oldestFirst(int instrument, int k) const;

    // What an entry takes from the instrument.
    struct Quote {
        float Bid, Ask, Last;
        int32_t Volume;
    };
    static Quote quoteOf(const Instrument& i) { return {i.Bid, i.Ask, i.Last, i.Volume}; }

    // Appends the instrument's quote when volume, ask or bid differ from the newest entry.
    void recordPrice(int instrument, const Instrument& quote, double now) {
        recordPriceAt(instrument, quoteOf(quote), [now] { return now; });
    }
    // The same, asking the clock only when an entry is written. A quote just written to the
    // instrument is best passed from the values at hand: reading it back would wait for
    // the writes.
    template <class Clock> void recordPriceAt(int instrument, const Quote& quote, Clock&& now) {
        const DueEntry due = dueEntry(instrument, quote);
        if (!due.entry) return;
        *due.entry = {quote.Bid, quote.Ask, quote.Last, quote.Volume, now()};
        pos_[static_cast<std::size_t>(instrument)] = due.slot;
        newest_[static_cast<std::size_t>(instrument)] = {quote.Bid, quote.Ask, quote.Volume, true};
        prefetchForWriting(entries_[due.start + indexAfter(due.slot)]);
    }

    // Asks for the memory the instrument's next entry goes to, some time before the entry
    // is written (see prefetchForWriting). A number without a ring asks for nothing.
    void prepareEntry(int instrument) const {
        if (instrument < 1 || instrument > instruments_ || instrument > kMaxInstruments) return;
        const int p = pos_[static_cast<std::size_t>(instrument)];
        if (p < 0) return; // only setPos() could have put it there
        prefetchForWriting(entries_[static_cast<std::size_t>(instrument - 1) * kSlots + indexAfter(p)]);
    }

  private:
    // The slot a new entry goes to, or none when the quote equals the newest entry. Checked.
    struct DueEntry {
        HistoryEntry* entry;
        int16_t slot;
        std::size_t start; // of the instrument's ring
    };
    DueEntry dueEntry(int instrument, const Quote& quote) {
        const std::size_t start = ringStart(instrument);
        const int p = pos(instrument);
        NewestQuote& newest = newest_[static_cast<std::size_t>(instrument)];
        if (!newest.known) readNewest(instrument, start, p);
        if (quote.Volume == newest.Volume && quote.Ask == newest.Ask && quote.Bid == newest.Bid)
            return {nullptr, 0, start};
        const std::size_t index = indexAfter(p);
        return {&entries_[start + index], static_cast<int16_t>(index + 1), start};
    }
    std::size_t ringStart(int instrument) const {
        if (instrument < 1 || instrument > instruments_) failSubscript();
        return static_cast<std::size_t>(instrument - 1) * kSlots;
    }
    void readNewest(int instrument, std::size_t start, int p);
    // Where in a ring the slot after slot p (0 for an empty ring) lies, counted from 0: the
    // slot after the last is the first.
    static std::size_t indexAfter(int p) { return p >= kSlots ? 0 : static_cast<std::size_t>(p); }
    // The rings are far larger than the caches, and an instrument's next entry is written
    // long after this one: its memory is asked for now, so that the write does not hold up
    // every later store while the line is read.
    static void prefetchForWriting(const HistoryEntry& entry) {
        __builtin_prefetch(&entry, 1);
        __builtin_prefetch(reinterpret_cast<const unsigned char*>(&entry + 1) - 1, 1);
    }

    bool created_ = false;
    int instruments_ = 0;
    std::vector<HistoryEntry> entries_;
    std::vector<int16_t> pos_ = std::vector<int16_t>(kMaxInstruments + 1, 0);

    // What each quote is compared with: the newest entry's bid, ask and volume, kept in a
    // small table beside the rings, which lie far apart in memory. Forgotten (known false)
    // whenever an entry or a position may be changed from outside; read again then.
    struct NewestQuote {
        float Bid = 0;
        float Ask = 0;
        int32_t Volume = 0;
        bool known = false;
    };
    std::vector<NewestQuote> newest_ = std::vector<NewestQuote>(kMaxInstruments + 1);
    void forgetNewest(int instrument);
};

} // namespace kavex
