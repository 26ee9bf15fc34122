// Cutting the server's byte stream into frames on the receive path.
#include "protocol/frame_buffer.h"
#include "support/receive_fixture.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

using test::ReceiveFixture;
using Calls = std::vector<std::pair<Handler, std::string>>;

TEST(Framing, AMessageSplitOverArrivalsIsDispatchedOnceWhenItsEndArrives) {
    ReceiveFixture f;
    for (const char* part : {"\x01@O", "O=12;", "34\x02\x01@OS", "=1\x02"})
        f.receive(part);
    EXPECT_EQ(f.calls, (Calls{{Handler::WS_OO, "12;34"}, {Handler::WS_OS, "1"}}));
    EXPECT_EQ(f.receiver.buffer().pending(), "");
}

TEST(Framing, GarbageInFrontOfAndBetweenFramesIsDroppedSilently) {
    ReceiveFixture f;
    f.receive("noise\x02more\x01@OO=1\x02junk;;\x01@OS=2\x02tail");
    EXPECT_EQ(f.calls, (Calls{{Handler::WS_OO, "1"}, {Handler::WS_OS, "2"}}));
    EXPECT_EQ(f.incoming.lines(), (std::vector<std::string>{"IN:@OO=1", "IN:@OS=2"}));
    EXPECT_EQ(f.receiver.buffer().pending(), "tail"); // dropped when the next start arrives
    f.receive("\x01@EX=3\x02");
    EXPECT_EQ(f.calls.back(), std::make_pair(Handler::WS_EX, std::string("3")));

    ReceiveFixture noStart; // without any start character the first character is still cut off
    noStart.receive("x@OO=1\x02");
    EXPECT_EQ(noStart.calls, (Calls{{Handler::WS_OO, "1"}}));
}

TEST(Framing, EmptyFramesAndUnknownFirstCharactersAreLoggedAsUnknownCommands) {
    ReceiveFixture f;
    f.receive("\x01\x02\x01#what\x02\x02");
    EXPECT_EQ(f.incoming.lines(),
              (std::vector<std::string>{"IN:", "Unbekannter Befehl:", "IN:#what", "Unbekannter Befehl:#what",
                                        "IN:", "Unbekannter Befehl:"}));
    EXPECT_TRUE(f.calls.empty());
}

TEST(Framing, ANestedArrivalInsideAHandlerAppendsAndTheOuterLoopGoesOn) {
    ReceiveFixture f;
    std::vector<std::string> seen;
    f.dispatcher.setHandler(Handler::WS_OO, [&](std::string_view arg) {
        seen.emplace_back(arg);
        if (arg == "outer") {
            // The handler processes pending events: more data arrives meanwhile.
            f.receive(std::string(4000, 'g') + "\x01@OO=nested\x02\x01@OO=par");
            seen.push_back("after:" + std::string(arg)); // its own text is still intact
        }
    });
    f.receive("\x01@OO=outer\x02\x01@OO=second\x02");
    f.receive("tial\x02");
    EXPECT_EQ(seen, (std::vector<std::string>{"outer", "second", "nested", "after:outer", "partial"}));
}

TEST(FrameBuffer, ALargeMessageInTinyPiecesIsCutOnceAndCompacted) {
    FrameBuffer b;
    std::string msg;
    b.append("\x01");
    for (int i = 0; i < 100000; ++i) {
        b.append("x");
        ASSERT_FALSE(b.next(msg));
        b.compact();
    }
    b.append("\x02");
    ASSERT_TRUE(b.next(msg));
    EXPECT_EQ(msg.size(), 100000u);
    b.compact();
    EXPECT_EQ(b.pending(), "");
}

} // namespace
} // namespace kavex
