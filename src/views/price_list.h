#pragma once
// The price list window ("Kurse"), kept headless: the history of the chart instrument,
// oldest entry first, one line "hhmmss;bid;last;ask" per ring slot. The "fill" button and
// a click on any line refill the list.
#include "base/text_list.h"

#include <string>
#include <string_view>

namespace kavex {

struct HistoryEntry;
struct TradingData;

class PriceList {
  public:
    static constexpr std::string_view kCaption = "Kurse";
    static constexpr std::string_view kFillButton = "fill";

    explicit PriceList(const TradingData& data) : data_(data) {}

    std::string_view caption() const { return kCaption; }
    TextList& list() { return list_; }
    const TextList& list() const { return list_; }

    void fill() { refresh(); }
    void lineClicked(int /*index*/) { refresh(); }

    // Without a chart instrument (or without its ring) the list stays empty, silently:
    // the window only shows what the chart shows.
    void refresh();

    static std::string lineOf(const HistoryEntry& entry);

  private:
    const TradingData& data_;
    TextList list_;
};

} // namespace kavex
