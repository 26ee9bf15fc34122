// Whole sessions against a scripted server that dies, falls silent, talks garbage or
// moves the clock: the client comes back within one watchdog period plus the connect
// wait, keeps every order exactly once, sends nothing twice and gives the next order a
// number never used before.
#include "scripted_game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace kavex {
namespace {

using test::ScriptedGame;

// From the fault: the silence limit, at most one more watchdog period until a tick sees
// it, the reconnect pause and the connect wait, with a little room.
constexpr int kComeBackMs = 10000 + 10000 + 500 + 5000 + 500;

struct SessionFault {
    const char* name;
    std::function<void(ScriptedGame&)> before; // before the client starts
    std::function<void(ScriptedGame&)> play;   // after two orders are working
    int waitMs;                                // then the clock runs this long
    int logins;                                // logins the server has seen by then
    int orders;                                // orders in the book and the grid
};

void deliverRaw(ScriptedGame& g, const std::string& utf8) {
    g.socket.deliver(cp1252::fromUtf8(utf8));
}

// The server dies while only identifying (it gets as far as "!;ID"), then comes back whole.
void dieDuringLogin(ScriptedGame& g) {
    g.crash();
    g.script.login = false;
    g.script.heartbeats = false;
    g.loop.advance(kComeBackMs);
    g.crash();
    g.script = {};
}

// The server process is stopped: it neither sends nor accepts for a while, then goes on.
void stopServer(ScriptedGame& g, int ms) {
    g.script.accept = g.script.heartbeats = false;
    g.loop.advance(ms);
    g.script = {};
}

const SessionFault kFaults[] = {
    {"KilledWithWorkingOrders", {}, [](ScriptedGame& g) { g.crash(); }, kComeBackMs, 2, 2},
    {"KilledTwiceInARow",
     {},
     [](ScriptedGame& g) {
         g.crash();
         g.loop.advance(kComeBackMs);
         g.crash();
     },
     kComeBackMs,
     3,
     2},
    {"ClosedWithWorkingOrders", {}, [](ScriptedGame& g) { g.closeLink(); }, kComeBackMs, 2, 2},
    {"DownForAMinute",
     {},
     [](ScriptedGame& g) {
         g.script.accept = false;
         g.crash();
         g.loop.advance(60000);
         g.script = {};
     },
     kComeBackMs,
     2,
     2},
    {"KilledWithAnOrderInFlight",
     {},
     [](ScriptedGame& g) {
         g.script.confirmOrders = false; // the server takes it and dies before confirming it
         g.placeOrder("SAP", "SELL", 1, "C");
         g.loop.advance(50);
         g.crash();
         g.script = {};
     },
     kComeBackMs,
     2,
     3},
    {"KilledDuringLogin", {}, dieDuringLogin, kComeBackMs, 2, 2},
    {"KilledDuringTheInstrumentList",
     {},
     [](ScriptedGame& g) {
         deliverRaw(g, std::string(1, wire::kStart) + std::string(ScriptedGame::kInstruments).substr(0, 60));
         g.crash();
     },
     kComeBackMs,
     2,
     2},
    {"KilledDuringAFileTransfer",
     {},
     [](ScriptedGame& g) {
         g.serverSends("@FIS=T1;report.txt;10");
         g.serverSends("@FID=T1;abcde");
         g.crash();
     },
     kComeBackMs,
     2,
     2},
    {"ClosedRightAfterIdentifying",
     {},
     [](ScriptedGame& g) {
         g.crash();
         g.script.login = false;
         g.loop.advance(kComeBackMs);
         g.closeLink();
         g.script = {};
     },
     kComeBackMs,
     2,
     2},
    {"StoppedFor15SecondsTheLinkHolds", {}, [](ScriptedGame& g) { stopServer(g, 15000); }, kComeBackMs, 1, 2},
    {"StoppedFor25SecondsTheClientComesBack",
     {},
     [](ScriptedGame& g) { stopServer(g, 25000); },
     kComeBackMs,
     2,
     2},
    {"HeartbeatsOnlyForAMinute", {}, {}, 60000, 1, 2},
    {"HalfAFrameThenSilence",
     {},
     [](ScriptedGame& g) {
         deliverRaw(g, "\x01@OO=-49;S4"); // glued to the next session's first frame, it was an order
         g.script.heartbeats = false;
         g.loop.advance(21000);
         g.script.heartbeats = true;
     },
     kComeBackMs,
     2,
     2},
    {"GarbageBetweenAllFrames",
     [](ScriptedGame& g) { g.script.noise = "\x02junk\xff\x02 \x7f"; },
     {},
     1000,
     1,
     2},
    {"HundredMegabytesWithoutAnEndCharacter",
     {},
     [](ScriptedGame& g) {
         const std::string megabyte(1 << 20, 'x');
         deliverRaw(g, "\x01");
         std::size_t most = 0;
         for (int i = 0; i < 100; ++i) {
             deliverRaw(g, megabyte);
             most = std::max(most, g.client->orderClient().receiver().buffer().pending().size());
         }
         EXPECT_LE(most, ServerReceiver::kMaxPendingBytes + megabyte.size());
         // One line for each 16 MiB dropped.
         const auto& lines = g.client->orderClient().incoming().lines();
         EXPECT_EQ(std::count(lines.begin(), lines.end(),
                              "F:Nachricht zu lang: mehr als 16 MiB ohne Endezeichen verworfen"),
                   100 / 17);
     },
     1000,
     1,
     2},
    {"EveryFrameSplitAtEveryByte", [](ScriptedGame& g) { g.script.byteByByte = true; }, {}, 1000, 1, 2},
    {"MidnightPasses",
     [](ScriptedGame& g) {
         g.loop.setDateTime({2024, 3, 1, 23, 59, 40, 0});
     },
     {},
     60000,
     1,
     2},
    {"ServerSetsTheTimeBackwards", {}, [](ScriptedGame& g) { g.serverSends("@TS=01:00:00"); }, 60000, 1, 2},
    {"ServerSetsTheTimeForwards", {}, [](ScriptedGame& g) { g.serverSends("@TS=23:59:00"); }, 60000, 1, 2},
    {"MachineClockChangedUnderTheProgram",
     {},
     [](ScriptedGame& g) {
         g.loop.setDateTime({2024, 3, 2, 4, 0, 0, 0});
         g.loop.advance(3000);
         g.loop.setDateTime({2024, 2, 28, 1, 0, 0, 0});
     },
     60000,
     1,
     2},
};

void PrintTo(const SessionFault& f, std::ostream* os) {
    *os << f.name;
}

class SessionFaults : public ::testing::TestWithParam<SessionFault>, protected ScriptedGame {
  protected:
    int orderRows() const {
        int n = 0;
        for (int r = 1; r <= client->data().gridRows.rowCount(); ++r)
            n += client->data().gridRows.at(r).kind == RowOpenOrder;
        return n;
    }
    std::set<std::string> orderNumbersSent() const {
        std::set<std::string> numbers;
        for (const std::string& s : sentWith("@PO="))
            numbers.insert(s.substr(s.find(';') + 1, s.find(';', s.find(';') + 1) - s.find(';') - 1));
        return numbers;
    }
};

TEST_P(SessionFaults, NothingLostNothingSentTwice) {
    const SessionFault& fault = GetParam();
    if (fault.before) fault.before(*this);
    begin();
    placeOrder("SAP", "BUY", 5, "A");
    placeOrder("BMW", "SELL", 3, "B");
    loop.advance(100);
    const int16_t historyBefore = client->data().history.pos(1);
    if (fault.play) fault.play(*this);
    loop.advance(fault.waitMs);

    EXPECT_EQ(logins(), fault.logins);
    EXPECT_EQ(socket.state(), static_cast<int>(SocketState::Connected));
    EXPECT_EQ(client->data().instruments.count(), 2);
    EXPECT_EQ(client->data().orderBook.count(), fault.orders);
    EXPECT_EQ(orderRows(), fault.orders);
    EXPECT_GE(client->data().history.pos(1), historyBefore);

    const std::set<std::string> used = orderNumbersSent();
    placeOrder("BMW", "BUY", 2, "N");
    loop.advance(100);
    const std::set<std::string> now = orderNumbersSent();
    EXPECT_EQ(now.size(), used.size() + 1) << "the next order reused a number";
    EXPECT_EQ(client->data().orderBook.count(), fault.orders + 1);
    EXPECT_EQ(client->data().orderBook.count(), workingAtServer());
    EXPECT_TRUE(nothingSentTwice());
}

INSTANTIATE_TEST_SUITE_P(Faults, SessionFaults, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kavex
