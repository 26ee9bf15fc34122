#pragma once
// Stand-in for the compact price handlers ("~" and "^1".."^5") until the real ones
// exist: it does the same work per update (split the fields, parse them, store the
// quote, add a history entry) so the benchmark and the fuzz target measure and
// exercise a realistic path. Everything lives in this one class; to run the real
// handlers instead, replace install() by their registration.
#include "base/failure.h"
#include "base/numbers.h"
#include "base/split_fields.h"
#include "model/trading_data.h"
#include "platform/event_loop.h"
#include "platform/text_list.h"
#include "protocol/message_dispatcher.h"

#include <string_view>

namespace kavex::bench {

// The field sets, in the order of the "^1".."^5" forms after the full update.
enum class CompactForm { Full, BidAsk, AskWithVolume, Ask, AskVolume, BidWithVolume };

class CompactQuoteStandIn {
  public:
    CompactQuoteStandIn(TradingData& data, EventLoop& loop, TextList& protocol)
        : data_(data), loop_(loop), protocol_(protocol) {}

    void install(MessageDispatcher& dispatcher) {
        struct Slot {
            Handler handler;
            CompactForm form;
        };
        static constexpr Slot kSlots[] = {
            {Handler::WS_KuKurz, CompactForm::Full},
            {Handler::WS_KuKurzBBVAAV, CompactForm::BidAsk},
            {Handler::WS_KuKurzAAV, CompactForm::AskWithVolume},
            {Handler::WS_KuKurzA, CompactForm::Ask},
            {Handler::WS_KuKurzAV, CompactForm::AskVolume},
            {Handler::WS_KuKurzBBV, CompactForm::BidWithVolume},
        };
        for (const Slot& s : kSlots) {
            CompactForm form = s.form;
            dispatcher.setHandler(s.handler, [this, form](std::string_view text) { apply(form, text); });
        }
    }

    void apply(CompactForm form, std::string_view text) {
        guard(protocol_, tag(form), [&] { update(form, text); });
    }

  private:
    static std::string_view tag(CompactForm form) {
        switch (form) {
        case CompactForm::Full:
            return "WS_KuKurz ";
        case CompactForm::BidAsk:
            return "WS_KuKurzBBVAAV ";
        case CompactForm::AskWithVolume:
            return "WS_KuKurzAAV ";
        case CompactForm::Ask:
            return "WS_KuKurzA ";
        case CompactForm::AskVolume:
            return "WS_KuKurzAV ";
        case CompactForm::BidWithVolume:
            return "WS_KuKurzBBV ";
        }
        return {};
    }

    // Bid and ask arrive as distances from the last price.
    static float below(float last, std::string_view distance) {
        return static_cast<float>(last - parseLeading(distance));
    }
    static float above(float last, std::string_view distance) {
        return static_cast<float>(last + parseLeading(distance));
    }

    void update(CompactForm form, std::string_view text) {
        fields_.split(text, ";", 20);
        int n = parseInt32(fields_[1]);
        if (n == 0) return;
        Instrument& q = data_.instruments.at(n);
        if (form != CompactForm::Full && q.Last == 0) return;
        switch (form) {
        case CompactForm::Full:
            q.Last = parseSingle(fields_[2]);
            q.Bid = below(q.Last, fields_[3]);
            q.BidVolume = parseInt32(fields_[4]);
            q.Ask = above(q.Last, fields_[5]);
            q.AskVolume = parseInt32(fields_[6]);
            break;
        case CompactForm::BidAsk:
            q.Bid = below(q.Last, fields_[2]);
            q.BidVolume = parseInt32(fields_[3]);
            q.Ask = above(q.Last, fields_[4]);
            q.AskVolume = parseInt32(fields_[5]);
            break;
        case CompactForm::AskWithVolume:
            q.Ask = above(q.Last, fields_[2]);
            q.AskVolume = parseInt32(fields_[3]);
            break;
        case CompactForm::Ask:
            q.Ask = above(q.Last, fields_[2]);
            break;
        case CompactForm::AskVolume:
            q.AskVolume = parseInt32(fields_[2]);
            break;
        case CompactForm::BidWithVolume:
            q.Bid = below(q.Last, fields_[2]);
            q.BidVolume = parseInt32(fields_[3]);
            break;
        }
        q.Changed = 1;
        if (form != CompactForm::AskVolume) data_.Merkkurse(n, dayNumber(loop_.now()));
        data_.PricesChanged = 1;
    }

    TradingData& data_;
    EventLoop& loop_;
    TextList& protocol_;
    Fields fields_; // reused by every update, so steady updates allocate nothing
};

} // namespace kavex::bench
