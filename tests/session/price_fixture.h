#pragma once
// The price handlers, the code table and the history files wired to a real receive path
// and dispatcher, with a temporary working directory.
#include "base/cp1252.h"
#include "base/files.h"
#include "base/text_list.h"
#include "model/trading_data.h"
#include "protocol/message_dispatcher.h"
#include "protocol/server_receiver.h"
#include "protocol/wire.h"
#include "session/history_files.h"
#include "session/instrument_code_table.h"
#include "session/price_handlers.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

#include <functional>
#include <string>
#include <string_view>

namespace kavex::test {

struct PriceFixture {
    PriceFixture() {
        prices.bind(dispatcher);
        codes.bind(dispatcher);
    }

    // One framed message through the receive path.
    void receive(std::string_view text) { receiver.onDataArrival(cp1252::fromUtf8(wire::frame(text))); }

    // "@SI=" with `count` instruments T1..Tn, codes C1..Cn, no prices.
    void instrumentList(int count) {
        std::string list;
        for (int k = 1; k <= count; ++k)
            list += "T" + std::to_string(k) + ";C" + std::to_string(k) + ";EUR;0;0;0;0;0;Name " +
                    std::to_string(k) + ";1;0;0\n";
        receive("@SI=" + list);
    }

    const Instrument& at(int n) const { return data.instruments.at(n); }

    TempDir dir;
    WorkingDirectory folder{dir.root};
    TradingData data;
    TextList incoming, outgoing, log;
    Label lastQuote;
    FakeSystemServices system;
    FakeEventLoop loop;
    std::function<void()> presetHook; // what the preset loader does in a test
    HistoryFiles history{data, folder, log};
    PriceHandlers prices{data, log, outgoing, loop, history, [this] {
                             if (presetHook) presetHook();
                         }};
    InstrumentCodeTable codes{data, log};
    MessageDispatcher dispatcher{{data, incoming, outgoing, log, system, loop}};
    ServerReceiver receiver{loop, incoming, lastQuote, dispatcher};
};

} // namespace kavex::test
