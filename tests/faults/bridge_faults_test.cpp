// A front-end on the bridge that misbehaves: the server session goes on undisturbed, no
// order is placed that the front-end did not send whole, and a well-behaved front-end
// that comes next is served at once.
#include "scripted_game.h"

#include <gtest/gtest.h>

#include <random>

namespace kavex {
namespace {

using test::ScriptedGame;

const std::string kOrder = "@PO;SAP;0;BUY;LMT;1;99;0;R";

struct BridgeFault {
    const char* name;
    std::function<void(ScriptedGame&)> play;
    int ordersPlaced; // by the misbehaving front-end
    int ordersBooked; // of those, confirmed by the server
};

void frontEndSends(ScriptedGame& g, const std::string& utf8) {
    g.frontEnd.deliver(cp1252::fromUtf8(utf8));
}

const BridgeFault kFaults[] = {
    {"Garbage",
     [](ScriptedGame& g) {
         g.frontEnd.request("127.0.0.1");
         std::mt19937 random(7);
         std::string bytes(200000, '\0');
         for (char& c : bytes)
             c = static_cast<char>(random() % 4 == 0 ? wire::kStart : random());
         for (std::size_t at = 0; at < bytes.size(); at += 997)
             g.frontEnd.deliver(bytes.substr(at, 997));
         g.frontEnd.peerCloses();
     },
     0, 0},
    {"OversizeFrames",
     [](ScriptedGame& g) {
         for (int i = 0; i < 3; ++i) {
             g.frontEnd.request("127.0.0.1");
             frontEndSends(g, "\x01" + kOrder + std::string(Bridge::kMaxFrameBytes + 10, '9') + "\x02");
         }
     },
     0, 0},
    {"HalfAFrameThenClosed",
     [](ScriptedGame& g) {
         g.frontEnd.request("127.0.0.1");
         frontEndSends(g, "\x01" + kOrder.substr(0, 20));
         g.frontEnd.peerCloses();
     },
     0, 0},
    {"TwoFrontEndsAtOnce",
     [](ScriptedGame& g) {
         g.frontEnd.request("127.0.0.1");
         frontEndSends(g, wire::frame(kOrder + "1"));
         g.frontEnd.request("127.0.0.1"); // the second takes over the one connection
         frontEndSends(g, wire::frame(kOrder + "2"));
     },
     2, 2},
    {"OnlyStartCharacters",
     [](ScriptedGame& g) {
         g.frontEnd.request("127.0.0.1");
         for (int i = 0; i < 4; ++i)
             g.frontEnd.deliver(std::string(Bridge::kMaxFrameBytes / 2, wire::kStart));
     },
     0, 0},
    {"UnframedTextFlood",
     [](ScriptedGame& g) {
         g.frontEnd.request("127.0.0.1");
         for (int i = 0; i < 16; ++i)
             frontEndSends(g, std::string(64 * 1024, 'A'));
     },
     0, 0},
    {"AStrangersAddress",
     [](ScriptedGame& g) {
         g.frontEnd.request("10.9.8.7"); // never accepted, so nothing it sends arrives
         EXPECT_TRUE(g.frontEnd.sent.empty());
     },
     0, 0},
    {"AThousandOrdersInABurst",
     [](ScriptedGame& g) {
         g.frontEnd.request("127.0.0.1");
         std::string burst;
         for (int i = 0; i < 1000; ++i)
             burst += wire::frame(kOrder + std::to_string(i));
         frontEndSends(g, burst);
     },
     1000, 1000},
};

void PrintTo(const BridgeFault& f, std::ostream* os) {
    *os << f.name;
}

class BridgeFaults : public ::testing::TestWithParam<BridgeFault>, protected ScriptedGame {};

TEST_P(BridgeFaults, OnlyWholeOrdersArePlacedAndTheNextFrontEndIsServed) {
    begin([](Settings& s) { s.bridgeAddress = "127.0.0.1"; });
    GetParam().play(*this);
    loop.advance(1000);
    EXPECT_EQ(sentWith("@PO=").size(), static_cast<std::size_t>(GetParam().ordersPlaced));
    EXPECT_EQ(client->data().orderBook.count(), GetParam().ordersBooked);

    if (frontEnd.state() == static_cast<int>(SocketState::Connected)) frontEnd.peerCloses();
    loop.advance(1000);
    frontEnd.request("127.0.0.1");
    frontEndSends(*this, wire::frame("USER;USER") + wire::frame(kOrder + "next"));
    loop.advance(1000);
    EXPECT_EQ(sentWith("@PO=").size(), static_cast<std::size_t>(GetParam().ordersPlaced + 1));
    EXPECT_TRUE(nothingSentTwice());
    EXPECT_EQ(logins(), 1);
}

INSTANTIATE_TEST_SUITE_P(Faults, BridgeFaults, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kavex
