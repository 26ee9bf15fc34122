#pragma once
// The instrument list and the price updates: the long update with absolute prices, the
// full compact update "~" and the partial compact updates "^1".."^5", whose bid and ask
// arrive as distances from the instrument's last price.
//
// Failures are logged to the log list as "F:" + the handler's name + " " + the
// description, and the handler goes on with its next statement: a field that cannot be
// converted is skipped, the others are still written. An instrument number outside the
// table fails once and the update changes nothing (not even pricesChanged).
#include "base/split_fields.h"

#include <functional>
#include <string_view>
#include <vector>

namespace kavex {

class ArrivalClock;
class EventLoop;
class HistoryFiles;
class MessageDispatcher;
class TextList;
struct TradingData;

class PriceHandlers {
  public:
    // Loads the instrument presets into TradingData::presets after every instrument list,
    // matching the preset file's blocks to instruments by Ticker. A Failure it throws (a
    // missing preset file) is logged with the instrument list's tag; the table built
    // before stays complete. The default loads nothing.
    using PresetLoader = std::function<void()>;

    // Instrument lists longer than this are cut; the lines beyond are not stored.
    static constexpr int kMaxInstruments = 1000;

    PriceHandlers(TradingData& data, TextList& log, TextList& outgoing, EventLoop& loop,
                  HistoryFiles& history, PresetLoader presetLoader = {});

    // Registers the instrument list and every price update form. From then on the
    // history entries carry the time of the arrival that brought the update.
    void bind(MessageDispatcher& dispatcher);

    // "@SI": one line per instrument, replaces the table as a whole.
    void onInstrumentList(std::string_view text);
    // "@KU": number; bid; bid size; ask; ask size; last (all absolute).
    void onPriceUpdate(std::string_view text);
    // "~": number; last; bid distance; bid size; ask distance; ask size.
    void onCompactPrice(std::string_view text);
    // "^1": number; bid distance; bid size; ask distance; ask size.
    void onCompactBidAsk(std::string_view text);
    // "^2": number; ask distance; ask size.
    void onCompactAsk(std::string_view text);
    // "^3": number; ask distance.
    void onCompactAskPrice(std::string_view text);
    // "^4": number; ask size (no history entry).
    void onCompactAskSize(std::string_view text);
    // "^5": number; bid distance; bid size.
    void onCompactBid(std::string_view text);

    void InitWPVorgabe();

    enum class CompactForm { Full, BidAsk, AskWithVolume, Ask, AskVolume, BidWithVolume };
    // The compact update of the given form ("~" is Full, "^1".."^5" the others in order).
    void compactUpdate(CompactForm form, std::string_view text);
    // The same without the one-pass shortcut for the steady stream's plain updates:
    // splits the fields and reads each with its own failure line. compactUpdate has the
    // same effect for every text.
    void compactUpdateGeneral(CompactForm form, std::string_view text);

  private:
    void storeInstrumentLine(int number, std::string_view line);
    template <CompactForm kForm> void compactUpdateOf(std::string_view text);
    template <CompactForm kForm> [[gnu::noinline]] void compactUpdateOtherwise(std::string_view text);
    template <CompactForm kForm> bool storePlainUpdate(const double* values, bool shortDecimals);
    double now();

    TradingData& data_;
    TextList& log_;
    TextList& outgoing_;
    EventLoop& loop_;
    ArrivalClock* clock_ = nullptr; // set by bind()
    HistoryFiles& history_;
    PresetLoader presetLoader_;
    Fields lines_;
    Fields fields_; // reused by every update, so steady updates allocate nothing

    // The decimal each instrument's last price stands for (decimalOfSingle), as last
    // worked out: bid and ask of the partial forms are measured from it, and the last price
    // rarely changes between them.
    struct LastDecimal {
        uint32_t lastBits = 0;
        bool known = false;
        double decimal = 0;
    };
    std::vector<LastDecimal> lastDecimals_;
    const bool readInPairs_; // plain_fields::pairsRunHere(), asked once
};

} // namespace kavex
