// The command table and the dispatch of every message kind, with the built-in commands.
#include "support/receive_fixture.h"

#include <gtest/gtest.h>

#include <map>

namespace kavex {
namespace {

using test::ProgramExited;
using test::ReceiveFixture;
using Calls = std::vector<std::pair<Handler, std::string>>;

TEST(CommandTable, EveryShortAndLongNameReachesItsHandler) {
    using H = Handler;
    // clang-format off
    const std::map<std::string, Handler> expected = {
        {"@", H::WS_HB}, {"@WELCOME", H::Welcome}, {"@RV", H::WS_RV}, {"@SV", H::WS_SV},
        {"@SYI", H::WS_ShowSystemInfo}, {"@PI", H::WS_PlatzInfo}, {"@PlatzInfo", H::WS_PlatzInfo},
        {"@GV", H::WS_GewinnerVerlierer}, {"@GewinnerVerlierer", H::WS_GewinnerVerlierer}, {"@UD", H::ws_ud},
        {"@SAO", H::WS_SAO}, {"@SENDALLORDERS", H::WS_SAO}, {"@SAE", H::WS_SAE},
        {"@SENDALLEXECUTIONS", H::WS_SAE}, {"@SUK", H::WS_SUK}, {"@SUD1", H::WS_SUK},
        {"@SENDUSERKONTO", H::WS_SUK}, {"@SUD", H::WS_SUD}, {"@SENDUSERDATA", H::WS_SUD}, {"@SUP", H::WS_SUP},
        {"@SENDUSERPLAETZE", H::WS_SUP}, {"@OO", H::WS_OO}, {"@OpenOrder", H::WS_OO}, {"@CR", H::WS_CR},
        {"@CancelRejected", H::WS_CR}, {"@OR", H::WS_OR}, {"@OrderRejected", H::WS_OR}, {"@SOO", H::WS_SOO},
        {"@SENDOPENORDERS", H::WS_SOO}, {"@SI", H::WS_SI}, {"@SENDINSTRUMENTS", H::WS_SI}, {"@KU", H::WS_KU},
        {"@KURSUPDATE", H::WS_KU}, {"@EX", H::WS_EX}, {"@Execution", H::WS_EX}, {"@OS", H::WS_OS},
        {"@ORDERSTATUS", H::WS_OS}, {"@RC", H::WS_ReceiveChat}, {"@ReceiveChat", H::WS_ReceiveChat},
        {"@RT", H::WS_ReceiveTChat}, {"@ReceiveTChat", H::WS_ReceiveTChat}, {"@SD", H::WS_SendDocument},
        {"@SENDDOCUMENT", H::WS_SendDocument}, {"@SA", H::WS_SendAnnotation},
        {"@SENDANNOTATION", H::WS_SendAnnotation}, {"@MSG", H::WS_Message}, {"@MESSAGE", H::WS_Message},
        {"@HB", H::WS_Heartbeat}, {"@Heartbeat", H::WS_Heartbeat}, {"@FIS", H::WS_FIS}, {"@FID", H::WS_FID},
        {"@FIE", H::WS_FIE}, {"@SCU", H::WS_SCU}, {"@CU1", H::WS_CU1}, {"@CU0", H::WS_CU0}};
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
    EXPECT_EQ(
        f.calls,
        (Calls{{Handler::WS_SI, ""}, {Handler::InstrumentListShown, ""}, {Handler::WS_SendDocument, "a=b"}}));
}

TEST(PriceDispatch, PartialFormsBySecondCharacter) {
    ReceiveFixture f;
    for (std::string m : {"^1a", "^2b", "^3c", "^4d", "^5e", "^6f", "^", "^x"})
        f.receiveFrame(m);
    EXPECT_EQ(f.calls, (Calls{{Handler::WS_KuKurzBBVAAV, "a"},
                              {Handler::WS_KuKurzAAV, "b"},
                              {Handler::WS_KuKurzA, "c"},
                              {Handler::WS_KuKurzAV, "d"},
                              {Handler::WS_KuKurzBBV, "e"}}));
}

TEST(SpecialCommands, LastUserOrderIdIsStoredAndLogged) {
    ReceiveFixture f;
    f.receiveFrame("@LI=4711");
    EXPECT_EQ(f.data.account.lastUserOrderId, 4711);
    EXPECT_EQ(f.outgoing.lines(), (std::vector<std::string>{"LI->4711"}));
    f.receiveFrame("@LI=1e12");
    EXPECT_EQ(f.data.account.lastUserOrderId, 4711);
    EXPECT_EQ(f.log.lines(), (std::vector<std::string>{"F:WS_LI Overflow"}));
    EXPECT_EQ(f.outgoing.back(), "LI->1e12");
}

TEST(SpecialCommands, TimeSetGoesToTheSystemAndAFailureIsLoggedInTheIncomingList) {
    ReceiveFixture f;
    f.receiveFrame("@TS=14:03:07");
    EXPECT_EQ(f.system.timesSet, (std::vector<std::string>{"14:03:07"}));
    f.system.refuseTime = true;
    f.receive("\x01@TIMESET=25:00\x02\x01@OO=1\x02");
    EXPECT_EQ(f.incoming.lines()[2], "F:Permission denied");
    EXPECT_EQ(f.calls, (Calls{{Handler::WS_OO, "1"}})); // the rest of the buffer still runs
}

TEST(SpecialCommands, AFailureEscapingAHandlerIsContainedByTheReceiveLoop) {
    ReceiveFixture f;
    f.dispatcher.setHandler(Handler::WS_OS,
                            [](std::string_view) { throw Failure("Subscript out of range"); });
    f.receive("\x01@OS=1\x02\x01@OO=2\x02");
    EXPECT_EQ(f.incoming.lines()[1], "F:Subscript out of range");
    EXPECT_EQ(f.calls.back(), std::make_pair(Handler::WS_OO, std::string("2")));
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
