#pragma once
// A server receiver wired to recording handlers, for tests of the receive path.
#include "base/cp1252.h"
#include "base/text_list.h"
#include "model/trading_data.h"
#include "protocol/message_dispatcher.h"
#include "protocol/server_receiver.h"
#include "protocol/wire.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"

#include <string>
#include <utility>
#include <vector>

namespace kavex::test {

struct ReceiveFixture {
    ReceiveFixture() {
        for (int h = 0; h < static_cast<int>(Handler::Count); ++h) {
            auto which = static_cast<Handler>(h);
            dispatcher.setHandler(which,
                                  [this, which](std::string_view arg) { calls.emplace_back(which, arg); });
        }
    }

    void receive(std::string_view wireBytes) { receiver.onDataArrival(wireBytes); }
    // Frames a UTF-8 text and delivers it in the wire code page.
    void receiveFrame(std::string_view text) { receive(cp1252::fromUtf8(wire::frame(text))); }

    TradingData data;
    TextList incoming, outgoing, log;
    Label lastQuote;
    FakeSystemServices system;
    FakeEventLoop loop;
    MessageDispatcher dispatcher{{data, incoming, outgoing, log, system, loop}};
    ServerReceiver receiver{loop, incoming, lastQuote, dispatcher};
    std::vector<std::pair<Handler, std::string>> calls;
};

} // namespace kavex::test
