// The whole client behind its server socket: every handler the dispatcher has (order
// reports, account, documents, file transfer, ranking, chat, prices, login) over the
// real trading data, grids and files, in a logged-in session on the virtual clock.
//
// The input is a sequence of steps: a command of the dispatcher's table with a fuzzed
// argument (framed), raw bytes as they come off the wire, or the clock moving on. The
// sanitizers judge memory and undefined behaviour; beyond that nothing may escape the
// event loop but the end of the program that "!;EXIT" asks for.
#include "protocol/message_dispatcher.h"
#include "support/client_fixture.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

using namespace kavex;

void play(test::ClientFixture& f, FuzzedDataProvider& input) {
    const auto table = commandTable();
    while (input.remaining_bytes() > 0) {
        switch (input.ConsumeIntegralInRange<int>(0, 3)) {
        case 0:
        case 1: {
            const CommandEntry& command =
                table[input.ConsumeIntegralInRange<std::size_t>(0, table.size() - 1)];
            std::string text(command.name);
            if (input.ConsumeBool()) text += '=';
            text += input.ConsumeRandomLengthString(600);
            f.socket.deliver(cp1252::fromUtf8(wire::frame(text)));
            break;
        }
        case 2:
            f.socket.deliver(input.ConsumeRandomLengthString(300));
            break;
        default:
            f.loop.advance(input.ConsumeIntegralInRange<int>(0, 12000));
        }
    }
    f.loop.advance(1000);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    test::ClientFixture f;
    f.writeSettings();
    f.startSession();
    try {
        play(f, input);
    } catch (const test::ProgramExited&) {
        // "!;EXIT": the process would end here
    } catch (const std::exception& e) {
        std::fprintf(stderr, "client dispatch fault: escaped the event loop: %s\n", e.what());
        std::abort();
    }
    return 0;
}
