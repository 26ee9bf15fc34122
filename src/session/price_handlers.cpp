#include "session/price_handlers.h"

#include "base/failure.h"
#include "base/numbers.h"
#include "base/text_list.h"
#include "model/trading_data.h"
#include "platform/event_loop.h"
#include "protocol/message_dispatcher.h"
#include "session/history_files.h"
#include "session/price_fields.h"

#include <algorithm>
#include <charconv>

namespace kavex {
namespace {

using Form = PriceHandlers::CompactForm;

constexpr int kCompactFields = 20;
constexpr int kLongFields = 1000;

struct FormRule {
    std::string_view tag;
    bool needsLast;  // ignored while the instrument has no last price
    bool addHistory; // the new quote enters the price history
};

const FormRule& ruleOf(Form form) {
    static constexpr FormRule kRules[] = {
        {"WS_KuKurz ", false, true}, {"WS_KuKurzBBVAAV ", true, true}, {"WS_KuKurzAAV ", true, true},
        {"WS_KuKurzA ", true, true}, {"WS_KuKurzAV ", true, false},    {"WS_KuKurzBBV ", true, true},
    };
    return kRules[static_cast<int>(form)];
}

// The last price as the decimal it stands for, its 7 significant digits: 88.42 rather
// than the single's exact 88.4199981...; the distance is then added in double precision.
double decimalOf(float last) {
    char digits[32];
    const auto printed = std::to_chars(digits, digits + sizeof digits, last, std::chars_format::general, 7);
    double value = last;
    std::from_chars(digits, printed.ptr, value);
    return value;
}

// Bid and ask of the compact forms: distances from the last price, stored as the nearest
// single, so that 88.42 + 0.02 is 88.44 and not 88.43999.
float below(float last, std::string_view distance) {
    return toPrice(decimalOf(last) - parseLeading(distance));
}
float above(float last, std::string_view distance) {
    return toPrice(decimalOf(last) + parseLeading(distance));
}

} // namespace

PriceHandlers::PriceHandlers(TradingData& data, TextList& log, TextList& outgoing, EventLoop& loop,
                             HistoryFiles& history, PresetLoader presetLoader)
    : data_(data), log_(log), outgoing_(outgoing), loop_(loop), history_(history),
      presetLoader_(std::move(presetLoader)) {}

void PriceHandlers::bind(MessageDispatcher& dispatcher) {
    dispatcher.setHandler(Handler::InstrumentList, [this](std::string_view t) { onInstrumentList(t); });
    dispatcher.setHandler(Handler::PriceUpdate, [this](std::string_view t) { onPriceUpdate(t); });
    dispatcher.setHandler(Handler::CompactPrice, [this](std::string_view t) { onCompactPrice(t); });
    dispatcher.setHandler(Handler::CompactBidAsk, [this](std::string_view t) { onCompactBidAsk(t); });
    dispatcher.setHandler(Handler::CompactAsk, [this](std::string_view t) { onCompactAsk(t); });
    dispatcher.setHandler(Handler::CompactAskPrice, [this](std::string_view t) { onCompactAskPrice(t); });
    dispatcher.setHandler(Handler::CompactAskSize, [this](std::string_view t) { onCompactAskSize(t); });
    dispatcher.setHandler(Handler::CompactBid, [this](std::string_view t) { onCompactBid(t); });
}

double PriceHandlers::now() const {
    return loop_.nowDayNumber();
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
    compactUpdate(Form::Full, text);
}
void PriceHandlers::onCompactBidAsk(std::string_view text) {
    compactUpdate(Form::BidAsk, text);
}
void PriceHandlers::onCompactAsk(std::string_view text) {
    compactUpdate(Form::AskWithVolume, text);
}
void PriceHandlers::onCompactAskPrice(std::string_view text) {
    compactUpdate(Form::Ask, text);
}
void PriceHandlers::onCompactAskSize(std::string_view text) {
    compactUpdate(Form::AskVolume, text);
}
void PriceHandlers::onCompactBid(std::string_view text) {
    compactUpdate(Form::BidWithVolume, text);
}

void PriceHandlers::compactUpdate(Form form, std::string_view text) {
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
    auto bid = [&](int f) { guard(log_, tag, [&] { q->Bid = below(q->Last, fields_[f]); }); };
    auto bidVolume = [&](int f) { guard(log_, tag, [&] { q->BidVolume = parseInt32(fields_[f]); }); };
    auto ask = [&](int f) { guard(log_, tag, [&] { q->Ask = above(q->Last, fields_[f]); }); };
    auto askVolume = [&](int f) { guard(log_, tag, [&] { q->AskVolume = parseInt32(fields_[f]); }); };
    switch (form) {
    case Form::Full:
        guard(log_, tag, [&] { q->Last = readPrice(fields_[2]); });
        bid(3);
        bidVolume(4);
        ask(5);
        askVolume(6);
        break;
    case Form::BidAsk:
        bid(2);
        bidVolume(3);
        ask(4);
        askVolume(5);
        break;
    case Form::AskWithVolume:
        ask(2);
        askVolume(3);
        break;
    case Form::Ask:
        ask(2);
        break;
    case Form::AskVolume:
        askVolume(2);
        break;
    case Form::BidWithVolume:
        bid(2);
        bidVolume(3);
        break;
    }
    q->Changed = true;
    if (rule.addHistory) guard(log_, tag, [&] { data_.recordPriceAt(n, [this] { return now(); }); });
    data_.pricesChanged = true;
    ++data_.priceUpdates;
}

} // namespace kavex
