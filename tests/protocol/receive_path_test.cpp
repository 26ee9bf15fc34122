// The receive path: cutting the byte stream into frames, the command table, the dispatch of
// every message kind and the built-in commands.
#include "protocol/frame_buffer.h"
#include "support/receive_fixture.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace kavex {
namespace {

using test::ProgramExited;
using test::ReceiveFixture;
using Calls = std::vector<std::pair<Handler, std::string>>;
using Lines = std::vector<std::string>;

TEST(Framing, GarbageAroundFramesIsDroppedAndASplitMessageIsDispatchedOnceWhenItsEndArrives) {
    ReceiveFixture f;
    for (const char* part : {"noise\x02more\x01@O", "O=12;", "34\x02junk;;\x01@OS", "=2\x02tail"})
        f.receive(part);
    EXPECT_EQ(f.calls, (Calls{{Handler::OpenOrder, "12;34"}, {Handler::OrderStatus, "2"}}));
    EXPECT_EQ(f.incoming.lines(), (Lines{"IN:@OO=12;34", "IN:@OS=2"}));
    EXPECT_EQ(f.receiver.buffer().pending(), "tail"); // dropped when the next start arrives
    f.receive("\x01@EX=3\x02");
    EXPECT_EQ(f.calls.back(), std::make_pair(Handler::Execution, std::string("3")));
    EXPECT_EQ(f.receiver.buffer().pending(), "");

    ReceiveFixture noStart; // without any start character the first character is still cut off
    noStart.receive("x@OO=1\x02");
    EXPECT_EQ(noStart.calls, (Calls{{Handler::OpenOrder, "1"}}));
    // Without one, an end character first is an empty message, also with more messages close
    // behind it.
    const std::size_t linesBefore = noStart.incoming.lines().size();
    const std::string ys(20, 'y');
    noStart.receive("\x02x@OO=2;" + ys + "\x02x@OO=3;" + std::string(40, 'z') + "\x02");
    EXPECT_EQ(Lines(noStart.incoming.lines().begin() + static_cast<std::ptrdiff_t>(linesBefore),
                    noStart.incoming.lines().end()),
              (Lines{"IN:", "Unbekannter Befehl:", "IN:@OO=2;" + ys, "IN:@OO=3;" + std::string(40, 'z')}));
}

TEST(Framing, EmptyFramesAndUnknownFirstCharactersAreLoggedAsUnknownCommands) {
    ReceiveFixture f;
    f.receive("\x01\x02\x01#what\x02\x02");
    EXPECT_EQ(f.incoming.lines(), (Lines{"IN:", "Unbekannter Befehl:", "IN:#what", "Unbekannter Befehl:#what",
                                         "IN:", "Unbekannter Befehl:"}));
    EXPECT_TRUE(f.calls.empty());
}

// Frames of every length, some broken off by the sender (a start character, text, no end),
// arrive in pieces cut anywhere: each whole frame reaches its handler exactly as sent, and
// no broken one glues itself to the frame after it, wherever the two lie in the buffer.
TEST(Framing, BrokenOffFramesNeverGlueToTheNextOneWhereverThePiecesAreCut) {
    std::mt19937 random(7);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 200; ++round) {
        ReceiveFixture f;
        std::string stream;
        Calls expected;
        for (int frame = 0; frame < 40; ++frame) {
            const std::string text =
                std::to_string(frame) + ";" + std::string(static_cast<std::size_t>(below(90)), 'x');
            if (below(4) == 0) {
                stream += "\x01@OO=" +
                          text.substr(0, static_cast<std::size_t>(below(static_cast<int>(text.size()))));
            } else {
                stream += "\x01@OO=" + text + "\x02";
                expected.emplace_back(Handler::OpenOrder, text);
            }
        }
        for (std::size_t at = 0; at < stream.size();) {
            const std::size_t size =
                std::min<std::size_t>(1 + static_cast<std::size_t>(below(200)), stream.size() - at);
            f.receive(std::string_view(stream).substr(at, size));
            at += size;
        }
        ASSERT_EQ(f.calls, expected) << "round " << round;
    }
}

TEST(Framing, TheReceiveCountersGoPastTwoGibibytesInOneSession) {
    ReceiveFixture f;
    f.receiver.state().receivedBytes = INT32_MAX - 1;
    f.receiver.state().receiveEvents = INT32_MAX;
    f.receive("\x01!;HB\x02");
    EXPECT_EQ(f.receiver.state().receivedBytes, int64_t{INT32_MAX} + 5);
    EXPECT_EQ(f.receiver.state().receiveEvents, int64_t{INT32_MAX} + 1);
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

TEST(Framing, TextBeyondSixteenMiBWithoutAnEndIsDroppedWithOneLineAndReceivingGoesOn) {
    ReceiveFixture f;
    const std::string mebibyte(std::size_t{1} << 20, 'x');
    f.receive("\x01@FID=");
    for (int i = 0; i < 16; ++i)
        f.receive(mebibyte);
    EXPECT_EQ(f.incoming.lines(), (Lines{"F:Nachricht zu lang: mehr als 16 MiB ohne Endezeichen verworfen"}));
    EXPECT_EQ(f.receiver.buffer().pending().size(), 0u);
    EXPECT_EQ(f.receiver.state().receiveEvents, 17);
    f.receive("\x01@OO=1\x02");
    EXPECT_EQ(f.calls, (Calls{{Handler::OpenOrder, "1"}}));
}

TEST(Framing, AMessageStaysIntactWhileANestedArrivalOutgrowsTheBuffer) {
    ReceiveFixture f;
    std::string nested;
    for (int i = 0; i < 20000; ++i)
        nested += "\x01@OS=" + std::to_string(i) + "\x02";
    std::string seen;
    f.dispatcher.setHandler(Handler::ServerMessage, [&](std::string_view text) {
        const std::string before(text);
        f.receive(nested); // as a handler that shows a message box lets arrivals in
        seen = std::string(text) == before ? before : "changed";
    });
    f.receive("\x01@MSG=hello\x02");
    f.receive("\x01@OO=2\x02");
    EXPECT_EQ(seen, "hello");
    ASSERT_EQ(f.calls.size(), 20001u);
    EXPECT_EQ(f.calls.back(), std::make_pair(Handler::OpenOrder, std::string("2")));
}

TEST(CommandTable, EveryShortAndLongNameReachesItsHandler) {
    using H = Handler;
    // clang-format off
    const std::map<std::string, Handler> expected = {
        {"@", H::EmptyHeartbeat}, {"@WELCOME", H::Welcome}, {"@RV", H::VersionRequest}, {"@SV", H::ServiceLevel},
        {"@SYI", H::SystemInfo}, {"@PI", H::PlaceInfo}, {"@PlatzInfo", H::PlaceInfo},
        {"@GV", H::WinnersAndLosers}, {"@GewinnerVerlierer", H::WinnersAndLosers}, {"@UD", H::UserInfo},
        {"@SAO", H::AllOrders}, {"@SENDALLORDERS", H::AllOrders}, {"@SAE", H::AllExecutions},
        {"@SENDALLEXECUTIONS", H::AllExecutions}, {"@SUK", H::UserAccount}, {"@SUD1", H::UserAccount},
        {"@SENDUSERKONTO", H::UserAccount}, {"@SUD", H::UserData}, {"@SENDUSERDATA", H::UserData}, {"@SUP", H::UserPlaces},
        {"@SENDUSERPLAETZE", H::UserPlaces}, {"@OO", H::OpenOrder}, {"@OpenOrder", H::OpenOrder}, {"@CR", H::CancelRejected},
        {"@CancelRejected", H::CancelRejected}, {"@OR", H::OrderRejected}, {"@OrderRejected", H::OrderRejected}, {"@SOO", H::OpenOrders},
        {"@SENDOPENORDERS", H::OpenOrders}, {"@SI", H::InstrumentList}, {"@SENDINSTRUMENTS", H::InstrumentList}, {"@KU", H::PriceUpdate},
        {"@KURSUPDATE", H::PriceUpdate}, {"@EX", H::Execution}, {"@Execution", H::Execution}, {"@OS", H::OrderStatus},
        {"@ORDERSTATUS", H::OrderStatus}, {"@RC", H::ChatMessage}, {"@ReceiveChat", H::ChatMessage},
        {"@RT", H::TradeMessage}, {"@ReceiveTChat", H::TradeMessage}, {"@SD", H::Document},
        {"@SENDDOCUMENT", H::Document}, {"@SA", H::Annotation},
        {"@SENDANNOTATION", H::Annotation}, {"@MSG", H::ServerMessage}, {"@MESSAGE", H::ServerMessage},
        {"@HB", H::Heartbeat}, {"@Heartbeat", H::Heartbeat}, {"@FIS", H::FileStart}, {"@FID", H::FileData},
        {"@FIE", H::FileEnd}, {"@SCU", H::ChatUsers}, {"@CU1", H::ChatUserJoined}, {"@CU0", H::ChatUserLeft}};
    // clang-format on
    for (const auto& [name, handler] : expected) {
        ReceiveFixture f;
        f.data.instruments.reset(1);
        f.receiveFrame(name + "=a;b");
        ASSERT_FALSE(f.calls.empty()) << name;
        EXPECT_EQ(f.calls.front(), std::make_pair(handler, std::string("a;b"))) << name;
    }
    for (const CommandEntry& e : commandTable()) // no handler name beyond these
        EXPECT_TRUE(e.kind != Builtin::Handler || expected.count(std::string(e.name))) << e.name;
}

TEST(CommandTable, NamesAreExactUnknownOnesAreIgnoredAndOnlyTheFirstEqualsSplits) {
    ReceiveFixture f;
    for (const char* m : {"@oo=1", "@NOSUCH=1", "@ST=x", "@ERROR=x"})
        f.receiveFrame(m);
    EXPECT_TRUE(f.calls.empty());
    EXPECT_EQ(f.incoming.size(), 4u); // just the "IN:" lines
    f.receiveFrame("@SI");
    f.receiveFrame("@SD=a=b");
    EXPECT_EQ(f.calls, (Calls{{Handler::InstrumentList, ""},
                              {Handler::InstrumentListShown, ""},
                              {Handler::Document, "a=b"}}));
}

TEST(PriceDispatch, PartialFormsBySecondCharacter) {
    ReceiveFixture f;
    for (std::string m : {"^1a", "^2b", "^3c", "^4d", "^5e", "^6f", "^", "^x"})
        f.receiveFrame(m);
    EXPECT_EQ(f.calls, (Calls{{Handler::CompactBidAsk, "a"},
                              {Handler::CompactAsk, "b"},
                              {Handler::CompactAskPrice, "c"},
                              {Handler::CompactAskSize, "d"},
                              {Handler::CompactBid, "e"}}));
}

TEST(SpecialCommands, LastUserOrderIdIsStoredAndLogged) {
    ReceiveFixture f;
    f.receiveFrame("@LI=4711");
    EXPECT_EQ(f.data.account.lastUserOrderId, 4711);
    EXPECT_EQ(f.outgoing.lines(), (Lines{"LI->4711"}));
    f.receiveFrame("@LI=1e12");
    EXPECT_EQ(f.data.account.lastUserOrderId, 4711);
    EXPECT_EQ(f.log.lines(), (Lines{"F:WS_LI Overflow"}));
    EXPECT_EQ(f.outgoing.back(), "LI->1e12");
}

TEST(SpecialCommands, TheServersTimeSetsTheProgramsClockAndTheMachinesOnlyWhenAsked) {
    ReceiveFixture f;
    f.receiveFrame("@TS=14:03:07");
    EXPECT_TRUE(f.system.timesSet.empty());
    EXPECT_EQ(timeOfDayText(f.loop.now()), "14:03:07");
    f.dispatcher.setMachineClockFromServer(true);
    f.receiveFrame("@TIMESET=15:00");
    EXPECT_EQ(f.system.timesSet, (Lines{"15:00:00"}));
    EXPECT_EQ(f.loop.clockOffsetMs(), 0); // the machine's clock now shows the server's time

    // A failure is logged in the incoming list and the rest runs; the program's clock
    // keeps the last good time even when the machine refuses it.
    f.system.refuseTime = true;
    f.dispatcher.setHandler(Handler::OrderStatus,
                            [](std::string_view) { throw Failure("Subscript out of range"); });
    f.receive("\x01@TIMESET=25:00\x02\x01@TS=16:00:00\x02\x01@OS=1\x02\x01@OO=2\x02");
    EXPECT_EQ(f.incoming.lines(), (Lines{"IN:@TS=14:03:07", "IN:@TIMESET=15:00", "IN:@TIMESET=25:00",
                                         "F:Type mismatch", "IN:@TS=16:00:00", "F:Permission denied",
                                         "IN:@OS=1", "F:Subscript out of range", "IN:@OO=2"}));
    EXPECT_EQ(timeOfDayText(f.loop.now()), "16:00:00");
    EXPECT_EQ(f.calls, (Calls{{Handler::OpenOrder, "2"}}));
}

TEST(ControlMessages, BeepsAndExit) {
    ReceiveFixture f;
    for (std::string m : {"!;MULTI;BEEP", "!;MULTI;BEEP3", "!;MULTI;BEEP6", "!;MULTI;BEEP7", "!;MULTI;beep",
                          "!;MULTI;", "!;MSG", "!;MSX;1", "!;X", "!;"})
        f.receiveFrame(m);
    EXPECT_EQ(f.system.beeps, 3);
    EXPECT_EQ(f.system.exits, 0);
    EXPECT_TRUE(f.calls.empty());

    for (std::string m : {"!;EXIT", "!;MULTI;EXIT"}) { // ends the program at once
        ReceiveFixture g;
        EXPECT_THROW(g.receive(wire::frame(m) + wire::frame("@OO=1")), ProgramExited) << m;
        EXPECT_TRUE(g.calls.empty());
    }
}

} // namespace
} // namespace kavex
