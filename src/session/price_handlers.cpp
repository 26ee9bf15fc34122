#include "session/price_handlers.h"

#include "base/failure.h"
#include "base/numbers.h"
#include "base/plain_fields.h"
#include "base/text_list.h"
#include "model/trading_data.h"
#include "platform/event_loop.h"
#include "protocol/message_dispatcher.h"
#include "session/history_files.h"
#include "session/price_fields.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <utility>

namespace kavex {
namespace {

using Form = PriceHandlers::CompactForm;

constexpr int kCompactFields = 20;
constexpr int kLongFields = 1000;

// What a field after the instrument number carries.
enum class Quote { Last, Bid, BidVolume, Ask, AskVolume };

struct FormRule {
    std::string_view tag;
    bool needsLast;  // ignored while the instrument has no last price
    bool addHistory; // the new quote enters the price history
    std::array<Quote, 5> fields;
    std::size_t fieldCount;
};

constexpr FormRule kRules[] = {
    {"WS_KuKurz ", false, true, {Quote::Last, Quote::Bid, Quote::BidVolume, Quote::Ask, Quote::AskVolume}, 5},
    {"WS_KuKurzBBVAAV ", true, true, {Quote::Bid, Quote::BidVolume, Quote::Ask, Quote::AskVolume}, 4},
    {"WS_KuKurzAAV ", true, true, {Quote::Ask, Quote::AskVolume}, 2},
    {"WS_KuKurzA ", true, true, {Quote::Ask}, 1},
    {"WS_KuKurzAV ", true, false, {Quote::AskVolume}, 1},
    {"WS_KuKurzBBV ", true, true, {Quote::Bid, Quote::BidVolume}, 2},
};

constexpr const FormRule& ruleOf(Form form) {
    return kRules[static_cast<int>(form)];
}

// Bid and ask of the compact forms: distances from the last price, stored as the nearest
// single, so that 88.42 + 0.02 is 88.44 and not 88.43999.
float below(float last, std::string_view distance) {
    return toPrice(decimalOfSingle(last) - parseLeading(distance));
}
float above(float last, std::string_view distance) {
    return toPrice(decimalOfSingle(last) + parseLeading(distance));
}

bool fitsPrice(double value) {
    return std::fabs(value) <= static_cast<double>(std::numeric_limits<float>::max());
}

// The quote of one instrument while a plain update is read; it is stored only when every
// field fits, so an update that the general way would log changes nothing here.
struct QuoteValues {
    float last, bid, ask;
    int32_t bidVolume, askVolume;
    // The decimal of `last` that bid and ask are measured from; worked out when the first
    // of them needs it, unless the instrument's memo has it.
    double lastDecimal = std::numeric_limits<double>::quiet_NaN();
    bool shortDecimals = false; // every value read has at most seven significant digits
    uint32_t memoBits = 0;      // the instrument's memo: the decimal of the single with these bits
    bool memoKnown = false;
    double memoDecimal = 0;

    double lastAsDecimal() {
        if (!std::isnan(lastDecimal)) return lastDecimal;
        const uint32_t bits = std::bit_cast<uint32_t>(last);
        if (memoKnown && memoBits == bits) return lastDecimal = memoDecimal;
        lastDecimal = decimalOfSingle(last);
        memoBits = bits;
        memoKnown = true;
        memoDecimal = lastDecimal;
        return lastDecimal;
    }
};

template <Quote kField> bool take(QuoteValues& q, double value) {
    if constexpr (kField == Quote::Last) {
        if (!fitsPrice(value)) return false;
        q.last = static_cast<float>(value);
        // A decimal of at most seven significant digits between 1e-3 and 1e7 is what its
        // nearest single prints as: the singles there lie closer together than such
        // decimals, so decimalOfSingle gives the value read back without working it out.
        const double size = std::fabs(value);
        q.lastDecimal =
            q.shortDecimals && size >= 1e-3 && size < 1e7 ? value : std::numeric_limits<double>::quiet_NaN();
    } else if constexpr (kField == Quote::Bid) {
        const double bid = q.lastAsDecimal() - value;
        if (!fitsPrice(bid)) return false;
        q.bid = static_cast<float>(bid);
    } else if constexpr (kField == Quote::Ask) {
        const double ask = q.lastAsDecimal() + value;
        if (!fitsPrice(ask)) return false;
        q.ask = static_cast<float>(ask);
    } else {
        // Rounding to the nearest integer stays inside these bounds.
        if (!(value >= -2147483648.0 && value <= 2147483647.0)) return false;
        (kField == Quote::BidVolume ? q.bidVolume : q.askVolume) = roundToInt32(value);
    }
    return true;
}

// The fields of the form in their order, unrolled: which field comes next never
// depends on the data.
template <Form kForm, std::size_t... kIndex>
bool takeAll(QuoteValues& q, const double* values, std::index_sequence<kIndex...>) {
    return (take<ruleOf(kForm).fields[kIndex]>(q, values[kIndex]) && ...);
}

} // namespace

// The update as the steady stream sends it: every field a plain decimal, a known
// instrument, values that fit. The general way would then write exactly these values
// and log nothing, so it is done in one pass over the text, without storing the fields;
// storePlainUpdate returns false before a value is written for anything else. The usual
// case, read in pairs, sets up nothing for the other ways, which are out of line.
template <Form kForm> void PriceHandlers::compactUpdateOf(std::string_view text) {
    std::array<double, ruleOf(kForm).fieldCount + 1> values;
    if (readInPairs_ && plain_fields::readAtOnceInPairs(text, values)) {
        if (!storePlainUpdate<kForm>(values.data(), true)) compactUpdateGeneral(kForm, text);
        return;
    }
    compactUpdateOtherwise<kForm>(text);
}

template <Form kForm> void PriceHandlers::compactUpdateOtherwise(std::string_view text) {
    std::array<double, ruleOf(kForm).fieldCount + 1> values;
    bool stored = false;
    if (!readInPairs_ && plain_fields::readAtOnceOneByOne(text, values))
        stored = storePlainUpdate<kForm>(values.data(), true);
    else if (readPlainFieldsOneByOne(text, values))
        stored = storePlainUpdate<kForm>(values.data(), false);
    if (!stored) compactUpdateGeneral(kForm, text);
}

template <Form kForm> bool PriceHandlers::storePlainUpdate(const double* values, bool shortDecimals) {
    constexpr const FormRule& rule = ruleOf(kForm);
    const double number = values[0];
    if (!(number >= 1 && number <= data_.instrumentCount()) || number != static_cast<int>(number))
        return false;
    const int n = static_cast<int>(number);
    // The ring's memory is asked for now, while the update is worked out.
    if (rule.addHistory) data_.history.prepareEntry(n);
    Instrument& i = data_.instruments.at(n);
    if (rule.needsLast && i.Last == 0) return true;

    if (lastDecimals_.size() <= static_cast<std::size_t>(n))
        lastDecimals_.resize(static_cast<std::size_t>(n) + 1);
    LastDecimal& memo = lastDecimals_[static_cast<std::size_t>(n)];
    QuoteValues q{.last = i.Last,
                  .bid = i.Bid,
                  .ask = i.Ask,
                  .bidVolume = i.BidVolume,
                  .askVolume = i.AskVolume,
                  .shortDecimals = shortDecimals,
                  .memoBits = memo.lastBits,
                  .memoKnown = memo.known,
                  .memoDecimal = memo.decimal};
    if (!takeAll<kForm>(q, values + 1, std::make_index_sequence<ruleOf(kForm).fieldCount>{})) return false;
    i.Last = q.last;
    i.Bid = q.bid;
    i.Ask = q.ask;
    i.BidVolume = q.bidVolume;
    i.AskVolume = q.askVolume;
    i.Changed = true;
    if (!std::isnan(q.lastDecimal)) memo = {std::bit_cast<uint32_t>(q.last), true, q.lastDecimal};
    if (rule.addHistory) {
        const PriceHistory::Quote quote{q.bid, q.ask, q.last, i.Volume};
        const auto clock = [this] { return now(); };
        // Only an instrument without a ring makes the entry fail; the usual one is written
        // without the failure guard around it.
        if (n <= data_.history.instrumentCount())
            data_.history.recordPriceAt(n, quote, clock);
        else
            guard(log_, rule.tag, [&] { data_.history.recordPriceAt(n, quote, clock); });
    }
    data_.pricesChanged = true;
    ++data_.priceUpdates;
    return true;
}

PriceHandlers::PriceHandlers(TradingData& data, TextList& log, TextList& outgoing, EventLoop& loop,
                             HistoryFiles& history, PresetLoader presetLoader)
    : data_(data), log_(log), outgoing_(outgoing), loop_(loop), history_(history),
      presetLoader_(std::move(presetLoader)), readInPairs_(plain_fields::pairsRunHere()) {}

void PriceHandlers::bind(MessageDispatcher& dispatcher) {
    clock_ = &dispatcher.arrivalClock();
    dispatcher.setHandler(Handler::InstrumentList, [this](std::string_view t) { onInstrumentList(t); });
    dispatcher.setHandler(Handler::PriceUpdate, [this](std::string_view t) { onPriceUpdate(t); });
    dispatcher.setHandler(Handler::CompactPrice, [this](std::string_view t) { onCompactPrice(t); });
    dispatcher.setHandler(Handler::CompactBidAsk, [this](std::string_view t) { onCompactBidAsk(t); });
    dispatcher.setHandler(Handler::CompactAsk, [this](std::string_view t) { onCompactAsk(t); });
    dispatcher.setHandler(Handler::CompactAskPrice, [this](std::string_view t) { onCompactAskPrice(t); });
    dispatcher.setHandler(Handler::CompactAskSize, [this](std::string_view t) { onCompactAskSize(t); });
    dispatcher.setHandler(Handler::CompactBid, [this](std::string_view t) { onCompactBid(t); });
}

double PriceHandlers::now() {
    return clock_ ? clock_->now() : loop_.nowDayNumber();
}

// ---- instrument list ------------------------------------------------------------------

void PriceHandlers::onInstrumentList(std::string_view text) {
    static constexpr std::string_view kTag = "WS_SI ";
    lines_.split(text, "\n", kMaxInstruments);
    int count = std::min(lines_.count(), kMaxInstruments);
    // Reading the first line beyond the limit fails like every read past the split's
    // limit; the table keeps the first kMaxInstruments lines.
    if (lines_.count() > kMaxInstruments) guard(log_, kTag, [&] { (void)lines_[kMaxInstruments + 1]; });

    for (int k = 1; k <= count; ++k)
        outgoing_.addLine(std::string(lines_[k]));

    if (data_.instrumentCount() == 0) {
        history_.loadHistory(count);
    } else {
        // The rings of the first list stay; numbers beyond them get new, empty rings.
        data_.history.growTo(count);
    }

    data_.instruments.reset(static_cast<int16_t>(count));
    data_.positionIndex.assign(static_cast<std::size_t>(count) + 1, 0);
    data_.presets.assign(static_cast<std::size_t>(count) + 1, BracketPreset{});
    for (int k = 1; k <= count; ++k)
        storeInstrumentLine(k, lines_[k]);

    guard(log_, kTag, [&] { InitWPVorgabe(); });
}

void PriceHandlers::storeInstrumentLine(int number, std::string_view line) {
    static constexpr std::string_view kTag = "WS_SI ";
    fields_.split(line, ";", kLongFields);
    Instrument& i = data_.instruments.at(number);
    i.Ticker = fields_[1];
    i.ZeltickerCode = fields_[2];
    i.Currency = fields_[3];
    guard(log_, kTag, [&] { i.Last = readPrice(fields_[4]); });
    guard(log_, kTag, [&] { i.Bid = readPrice(fields_[5]); });
    guard(log_, kTag, [&] { i.BidVolume = parseInt32(fields_[6]); });
    guard(log_, kTag, [&] { i.Ask = readPrice(fields_[7]); });
    guard(log_, kTag, [&] { i.AskVolume = parseInt32(fields_[8]); });
    i.Name = fields_[9];
    guard(log_, kTag, [&] { i.Multiplier = readPrice(fields_[10]); });
    guard(log_, kTag, [&] { i.AuxValue1 = readPrice(fields_[11]); });
    guard(log_, kTag, [&] { i.AuxValue2 = readPrice(fields_[12]); });
}

void PriceHandlers::InitWPVorgabe() {
    if (presetLoader_) presetLoader_();
}

// ---- long update ----------------------------------------------------------------------

void PriceHandlers::onPriceUpdate(std::string_view text) {
    static constexpr std::string_view kTag = "WS_KU ";
    fields_.split(text, ";", kLongFields);
    int n = 0;
    guard(log_, kTag, [&] { n = parseInt32(fields_[1]); });
    if (n == 0) return;
    Instrument* q = nullptr;
    guard(log_, kTag, [&] { q = &data_.instruments.at(n); });
    if (!q) return;
    guard(log_, kTag, [&] { q->Bid = readPrice(fields_[2]); });
    guard(log_, kTag, [&] { q->BidVolume = parseInt32(fields_[3]); });
    guard(log_, kTag, [&] { q->Ask = readPrice(fields_[4]); });
    guard(log_, kTag, [&] { q->AskVolume = parseInt32(fields_[5]); });
    guard(log_, kTag, [&] { q->Last = readPrice(fields_[6]); });
    q->Changed = true;
    guard(log_, kTag, [&] { data_.recordPriceAt(n, [this] { return now(); }); });
    data_.pricesChanged = true;
    ++data_.priceUpdates;
}

// ---- compact updates ------------------------------------------------------------------

void PriceHandlers::onCompactPrice(std::string_view text) {
    compactUpdateOf<Form::Full>(text);
}
void PriceHandlers::onCompactBidAsk(std::string_view text) {
    compactUpdateOf<Form::BidAsk>(text);
}
void PriceHandlers::onCompactAsk(std::string_view text) {
    compactUpdateOf<Form::AskWithVolume>(text);
}
void PriceHandlers::onCompactAskPrice(std::string_view text) {
    compactUpdateOf<Form::Ask>(text);
}
void PriceHandlers::onCompactAskSize(std::string_view text) {
    compactUpdateOf<Form::AskVolume>(text);
}
void PriceHandlers::onCompactBid(std::string_view text) {
    compactUpdateOf<Form::BidWithVolume>(text);
}

void PriceHandlers::compactUpdate(Form form, std::string_view text) {
    switch (form) {
    case Form::Full:
        return onCompactPrice(text);
    case Form::BidAsk:
        return onCompactBidAsk(text);
    case Form::AskWithVolume:
        return onCompactAsk(text);
    case Form::Ask:
        return onCompactAskPrice(text);
    case Form::AskVolume:
        return onCompactAskSize(text);
    case Form::BidWithVolume:
        return onCompactBid(text);
    }
}

void PriceHandlers::compactUpdateGeneral(Form form, std::string_view text) {
    const FormRule& rule = ruleOf(form);
    const std::string_view tag = rule.tag;
    fields_.split(text, ";", kCompactFields);
    int n = 0;
    guard(log_, tag, [&] { n = parseInt32(fields_[1]); });
    if (n == 0) return;
    Instrument* q = nullptr;
    guard(log_, tag, [&] { q = &data_.instruments.at(n); });
    if (!q) return;
    if (rule.needsLast && q->Last == 0) return;

    // Field 1 is the number; the form decides what the fields after it carry.
    for (std::size_t i = 0; i < rule.fieldCount; ++i) {
        const std::string_view field = fields_[static_cast<int>(i) + 2];
        guard(log_, tag, [&] {
            switch (rule.fields[i]) {
            case Quote::Last:
                q->Last = readPrice(field);
                break;
            case Quote::Bid:
                q->Bid = below(q->Last, field);
                break;
            case Quote::BidVolume:
                q->BidVolume = parseInt32(field);
                break;
            case Quote::Ask:
                q->Ask = above(q->Last, field);
                break;
            case Quote::AskVolume:
                q->AskVolume = parseInt32(field);
                break;
            }
        });
    }
    q->Changed = true;
    if (rule.addHistory) guard(log_, tag, [&] { data_.recordPriceAt(n, [this] { return now(); }); });
    data_.pricesChanged = true;
    ++data_.priceUpdates;
}

} // namespace kavex
