// Arbitrary bytes from a front-end, cut into arbitrary arrivals, through the bridge's
// receive path and command parser. The order operations are fakes that check what
// reaches them; the front-end reconnects whenever the bridge has dropped it.
//
// Checked: every order text reaches the placement; every message logged as received is a
// text that the front-end sent, followed by an end character, on one line (control
// characters as blanks); the unconsumed text never grows past the frame limit;
// everything sent to the front-end is framed, but for the answer to "HI".
#include "base/cp1252.h"
#include "base/fixed_text.h"
#include "external/bridge.h"
#include "external/command_line.h"
#include "model/settings_file.h"
#include "model/trading_data.h"
#include "protocol/server_sender.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"
#include "views/external_orders.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace kavex;

[[noreturn]] void fault(const char* what, std::string_view a = {}, std::string_view b = {}) {
    std::fprintf(stderr, "bridge fault: %s\n  [%.*s]\n  [%.*s]\n", what, static_cast<int>(a.size()), a.data(),
                 static_cast<int>(b.size()), b.data());
    std::abort();
}

struct CheckingCommands : ExternalCommands {
    ExternalOrderResult placeOrder(std::string_view) override { return ExternalOrderResult::Placed; }
    void cancelOrder(int32_t) override {}
    void closeAllPositions() override { fault("the bridge has no close-all command"); }
    void cancelAllOrders() override { fault("the bridge has no cancel-all command"); }
};

struct Env {
    Env() {
        server.socketState = static_cast<int>(SocketState::Connected);
        data.instruments.reset(2);
        data.instruments.at(1).Ticker = "KDX";
        data.instruments.at(1).ZeltickerCode = "KDX.FUT";
        data.instruments.at(2).Name = "M\xC3\xBCnchen";
        bridge.startListening();
    }
    test::FakeEventLoop loop;
    test::FakeTcpListener socket;
    test::FakeTcpClient server;
    TextList log, outgoing;
    ServerSender sender{server, outgoing};
    TradingData data;
    Settings settings;
    Label statusLine;
    CheckingCommands commands;
    Bridge bridge{socket, loop, data, settings, log, statusLine, commands, sender};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    static Env env;
    FuzzedDataProvider in(bytes, size);
    std::string received; // everything the front-end sent, as the bridge reads it
    env.log.clear();
    env.socket.sent.clear();
    env.server.sent.clear();
    env.outgoing.clear();
    // Each input is a new front-end: nothing of the last one's text is left.
    env.socket.peerCloses();
    env.socket.request("127.0.0.1");
    while (in.remaining_bytes() > 0) {
        if (!env.bridge.connected() || env.socket.state() != static_cast<int>(SocketState::Connected)) {
            env.bridge.onClose();
            env.socket.request("127.0.0.1");
        }
        const std::string chunk = in.ConsumeRandomLengthString(256);
        received += cp1252::toUtf8(chunk);
        env.socket.deliver(chunk);
        if (env.bridge.buffered() > Bridge::kMaxFrameBytes) fault("receive buffer past the limit");
        if (in.ConsumeBool()) env.loop.advance(in.ConsumeIntegralInRange(0, 6000));
        env.bridge.statusTick();
    }
    // The end character shows as a blank where control characters are blanked.
    const std::string sentOnOneLine = blankControls(received);
    for (const std::string& line : env.log.lines()) {
        if (!line.starts_with("IN:")) continue;
        const std::string message = line.substr(3);
        if (message != blankControls(message)) fault("control character in a logged message", message);
        if (sentOnOneLine.find(message + ' ') == std::string::npos)
            fault("message not sent by the front-end", message);
    }
    for (const std::string& sent : env.socket.sent) {
        if (sent.starts_with("HERE I AM;")) continue;
        if (sent.size() < 2 || sent.front() != '\x01' || sent.back() != '\x02')
            fault("unframed message sent", sent);
    }
    return 0;
}
