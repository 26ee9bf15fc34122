// Arbitrary bytes, cut into arbitrary arrivals, through the whole receive path.
//
// Stage 1 feeds ServerReceiver with a dispatcher whose handlers parse their fields over a
// small TradingData; some handlers process pending events, so arrivals nest. It checks
// that no handler sees its message text change under it while a nested arrival runs.
// Stage 2 checks FrameBuffer against a plain model of the framing rules (copying the
// text in front off the buffer), with the same arrivals and the same nesting; the
// message views FrameBuffer hands out must stay unchanged while nested arrivals run.
// Stage 3 applies every arrival as a compact price update of the form its first byte
// selects, once with the one-pass shortcut and once the general way, and checks both
// leave the same quotes, history and failure lines.
#include "compact_price_path.h"

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/numbers.h"
#include "base/split_fields.h"
#include "base/text_list.h"
#include "model/trading_data.h"
#include "protocol/frame_buffer.h"
#include "protocol/message_dispatcher.h"
#include "protocol/server_receiver.h"
#include "protocol/wire.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace kavex;

[[noreturn]] void fault(const char* what, std::string_view a = {}, std::string_view b = {}) {
    std::fprintf(stderr, "receive path fault: %s\n  [%.*s]\n  [%.*s]\n", what, static_cast<int>(a.size()),
                 a.data(), static_cast<int>(b.size()), b.data());
    std::abort();
}

// A handler of one of the later subsystems: splits its argument into lines and fields
// and reads every field as a number, as the real handlers will.
class FieldReader {
  public:
    explicit FieldReader(TextList& log) : log_(log) {}

    void read(std::string_view argument) {
        guard(log_, "WS ", [&] {
            lines_.split(argument, wire::kLineSeparatorText, 1000);
            for (int l = 1; l <= lines_.count() && l <= lines_.maxFields(); ++l) {
                fields_.split(lines_[l], wire::kFieldSeparator, 100);
                for (int f = 1; f <= fields_.count() && f <= fields_.maxFields(); ++f)
                    skipOnFailure([&] { (void)parseInt32(fields_[f]); });
            }
        });
    }

    // The instrument list: one instrument per line, last price in field 4.
    void instrumentList(TradingData& data, std::string_view argument) {
        guard(log_, "WS_SI ", [&] {
            lines_.split(argument, wire::kLineSeparatorText, 1000);
            int count = std::min(lines_.count(), 1000);
            data.instruments.reset(static_cast<int16_t>(count));
            for (int l = 1; l <= count; ++l) {
                fields_.split(lines_[l], wire::kFieldSeparator, 1000);
                Instrument& in = data.instruments.at(l);
                in.Ticker = std::string(fields_[1]);
                in.Last = parseSingle(fields_[4]);
                in.Bid = parseSingle(fields_[5]);
                in.BidVolume = parseInt32(fields_[6]);
            }
        });
    }

  private:
    TextList& log_;
    Fields lines_, fields_;
};

struct ReceivePath {
    test::FakeEventLoop loop;
    test::FakeSystemServices system;
    TextList incoming, outgoing, log;
    Label lastQuote;
    TradingData data;
    MessageDispatcher dispatcher{DispatchContext{data, incoming, outgoing, log, system, loop}};
    ServerReceiver receiver{loop, incoming, lastQuote, dispatcher};
    bench::CompactPricePath prices{data, loop, log};
    FieldReader reader{log};
    int nesting = 0;

    ReceivePath() {
        // Instrument 4 has no history ring, so its updates fail part-way.
        data.instruments.reset(4);
        data.history.create(3);
        for (int h = 0; h < static_cast<int>(Handler::Count); ++h)
            dispatcher.setHandler(static_cast<Handler>(h), [this](std::string_view a) { reader.read(a); });
        dispatcher.setHandler(Handler::InstrumentList,
                              [this](std::string_view a) { reader.instrumentList(data, a); });
        // "@MSG" and "@HB" handle the arrivals that are waiting, as a handler that shows
        // a message box would; the text they were called with must stay as it was.
        auto nest = [this](std::string_view a) {
            if (nesting >= 4) return;
            std::string before(a);
            ++nesting;
            loop.processPendingEvents();
            --nesting;
            if (a != before) fault("message text changed by a nested arrival", before, a);
        };
        dispatcher.setHandler(Handler::ServerMessage, nest);
        dispatcher.setHandler(Handler::Heartbeat, nest);
        prices.install(dispatcher);
    }
};

void runReceivePath(const std::vector<std::string>& arrivals, bool logAll) {
    ReceivePath path;
    path.receiver.state().logAll = logAll;
    for (const std::string& bytes : arrivals)
        path.loop.post([&path, &bytes] { path.receiver.onDataArrival(bytes); });
    try {
        path.loop.processPendingEvents();
    } catch (const test::ProgramExited&) {
        return; // "!;EXIT": the process would end here
    }
    if (path.receiver.state().receivedBytes < 0) fault("received byte count went negative");
}

// ---- framing against the plain model ---------------------------------------------------

// The framing rules done the simple way: the consumed text is cut off the front.
class PlainFramer {
  public:
    void append(std::string_view wireBytes) {
        buffer_ += cp1252::toUtf8(wireBytes);
        dropInFrontOfStart();
    }
    bool next(std::string& message) {
        std::size_t e = buffer_.find(wire::kEnd);
        if (e == std::string::npos) return false;
        message = e >= 2 ? buffer_.substr(1, e - 1) : std::string();
        buffer_.erase(0, e + 1);
        dropInFrontOfStart();
        return true;
    }
    void compact() {}
    std::string_view pending() const { return buffer_; }

  private:
    void dropInFrontOfStart() {
        std::size_t s = buffer_.find(wire::kStart);
        if (s != std::string::npos && s > 0) buffer_.erase(0, s);
    }
    std::string buffer_;
};

// Delivers the arrivals the way ServerReceiver does; a message starting with "@MSG"
// takes the next arrival in while it is being handled.
template <class Framer, class Message> struct FramingRun {
    const std::vector<std::string>& arrivals;
    Framer framer;
    std::vector<std::string> messages;
    std::size_t nextArrival = 0;
    int depth = 0;

    void arrive() {
        framer.append(arrivals[nextArrival++]);
        ++depth;
        Message message;
        while (framer.next(message)) {
            const std::string copy(message);
            messages.push_back(copy);
            if (copy.starts_with("@MSG") && nextArrival < arrivals.size() && depth < 8) {
                arrive();
                if (std::string_view(message) != copy)
                    fault("message changed by a nested arrival", copy, message);
            }
        }
        --depth;
        if (depth == 0) framer.compact();
    }
    void run() {
        while (nextArrival < arrivals.size())
            arrive();
    }
};

void checkFraming(const std::vector<std::string>& arrivals) {
    FramingRun<FrameBuffer, std::string_view> real{arrivals, {}, {}};
    FramingRun<PlainFramer, std::string> model{arrivals, {}, {}};
    real.run();
    model.run();
    std::size_t n = std::min(real.messages.size(), model.messages.size());
    for (std::size_t i = 0; i < n; ++i)
        if (real.messages[i] != model.messages[i])
            fault("framing differs from the model", real.messages[i], model.messages[i]);
    if (real.messages.size() != model.messages.size()) fault("framing found a different number of messages");
    if (real.framer.pending() != model.framer.pending())
        fault("framing keeps different pending text", real.framer.pending(), model.framer.pending());
}

// ---- the compact update shortcut against the general way ------------------------------

struct PricePath {
    test::FakeEventLoop loop;
    TextList log;
    TradingData data;
    bench::CompactPricePath prices{data, loop, log};

    PricePath() {
        // Instrument 4 has no history ring, so its entries fail.
        data.instruments.reset(4);
        data.history.create(3);
    }
    std::vector<uint64_t> state() const {
        std::vector<uint64_t> s{data.pricesChanged};
        for (int n = 1; n <= 4; ++n) {
            const Instrument& i = data.instruments.at(n);
            s.insert(s.end(), {std::bit_cast<uint32_t>(i.Last), std::bit_cast<uint32_t>(i.Bid),
                               std::bit_cast<uint32_t>(i.Ask), static_cast<uint32_t>(i.BidVolume),
                               static_cast<uint32_t>(i.AskVolume), i.Changed});
            if (n <= 3) s.push_back(static_cast<uint64_t>(data.history.pos(n)));
        }
        return s;
    }
};

void checkCompactShortcut(const std::vector<std::string>& arrivals) {
    PricePath shortcut, general;
    for (const std::string& bytes : arrivals) {
        if (bytes.empty()) continue; // the input ran out: no form byte
        const auto form = static_cast<bench::CompactForm>(static_cast<unsigned char>(bytes[0]) % 6);
        const std::string_view text = std::string_view(bytes).substr(1);
        shortcut.prices.apply(form, text);
        general.prices.applyGeneral(form, text);
        if (shortcut.state() != general.state()) fault("compact shortcut and general way differ", text);
        if (shortcut.log.lines() != general.log.lines())
            fault("compact shortcut and general way log differently", text);
        shortcut.log.clear();
        general.log.clear();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const bool logAll = input.ConsumeBool();
    const std::size_t largest = input.ConsumeBool() ? 8 : 512;
    std::vector<std::string> arrivals;
    while (input.remaining_bytes() > 0)
        arrivals.push_back(input.ConsumeBytesAsString(input.ConsumeIntegralInRange<std::size_t>(1, largest)));
    checkFraming(arrivals);
    checkCompactShortcut(arrivals);
    runReceivePath(arrivals, logAll);
    return 0;
}
