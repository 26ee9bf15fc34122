// The instrument list, the instrument code table, and quote updates with the history entries they add.
#include "price_fixture.h"

#include "base/failure.h"
#include "base/numbers.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace kavex {
namespace {

using test::PriceFixture;

TEST(InstrumentList, StoresEveryFieldAsReceivedAndMissingOrGarbageFieldsAsZero) {
    PriceFixture f;
    f.receive("@SI= SAP ;DE0007164600;EUR;101.5;101.25;7;101.75;9;SAP SE;1;2.5;-3\n"
              "BMW;DE0005190003;EUR\n"
              "ÄÖÜ;X;CHF;12abc;;;;;Grüße AG;100;;\n");
    ASSERT_EQ(f.data.instrumentCount(), 3); // the final line separator adds no line
    auto fields = [&](int n) {
        const Instrument& i = f.at(n);
        return std::make_tuple(i.Ticker, i.ZeltickerCode, i.Currency, i.Last, i.Bid, i.BidVolume, i.Ask,
                               i.AskVolume, i.Name, i.Multiplier, i.AuxValue1, i.AuxValue2);
    };
    using Fields = decltype(fields(1));
    EXPECT_EQ(fields(1),
              Fields(" SAP ", "DE0007164600", "EUR", 101.5f, 101.25f, 7, 101.75f, 9, "SAP SE", 1, 2.5f, -3));
    EXPECT_EQ(fields(2),
              Fields("BMW", "DE0005190003", "EUR", 0, 0, 0, 0, 0, "", 0, 0, 0)); // missing: empty or 0
    EXPECT_EQ(fields(3), Fields("ÄÖÜ", "X", "CHF", 12, 0, 0, 0, 0, "Grüße AG", 100, 0, 0));
    EXPECT_EQ(f.data.history.pos(1), 0); // the list's quote is not a history entry
    EXPECT_TRUE(f.log.empty());
}

TEST(InstrumentList, ALaterListReplacesTheTableButKeepsTheHistory) {
    PriceFixture f;
    f.instrumentList(2);
    f.receive("~1;100;1;5;1;6");
    f.data.positionIndex[1] = 4;
    f.data.presets[1].presetName = "T1";
    // A file that appears now must not be read: the history is loaded only once.
    writeFileAtomically(f.folder.path("K2.dat"), " 46000; 1; 2; 3; 0\r\n");

    f.receive("@SI=X;C;EUR;7;6.5;1;7.5;2;N;1;0;0\nY;D;EUR;8;0;0;0;0;M;1;0;0\nZ;E;EUR;9;0;0;0;0;O;1;0;0");
    ASSERT_EQ(f.data.instrumentCount(), 3);
    EXPECT_EQ(f.at(1).Last, 7);
    EXPECT_EQ(f.data.positionIndex, std::vector<int16_t>(4, 0));
    EXPECT_EQ(f.data.presets[1].presetName, "");
    EXPECT_EQ(f.data.history.pos(1), 1);
    EXPECT_EQ(f.data.history.slot(1, 1).Last, 100);

    f.receive("~3;9;1;1;1;1"); // beyond the first list's rings: a new ring
    EXPECT_EQ(f.data.history.pos(3), 1);
    EXPECT_TRUE(f.log.empty());
}

TEST(InstrumentList, LinesBeyondTheThousandthAreNotStored) {
    PriceFixture f;
    std::string list;
    for (int k = 1; k <= 1002; ++k)
        list += "T" + std::to_string(k) + ";C;EUR;1\n";
    f.receive("@SI=" + list);
    EXPECT_EQ(f.data.instrumentCount(), 1000);
    EXPECT_EQ(f.at(1000).Ticker, "T1000");
    EXPECT_EQ(f.outgoing.size(), 1000u);
    EXPECT_EQ(f.log.lines(), std::vector<std::string>{"F:WS_SI Subscript out of range"});
}

TEST(InstrumentList, PresetsAreLoadedAfterTheTableIsComplete) {
    PriceFixture f;
    std::vector<std::string> seen;
    f.presetHook = [&] {
        for (int n = 1; n <= f.data.instrumentCount(); ++n)
            seen.push_back(f.at(n).Ticker);
        f.data.presets.at(2).presetName = "B";
    };
    f.receive("@SI=A\nB");
    EXPECT_EQ(seen, (std::vector<std::string>{"A", "B"}));

    f.presetHook = [] { throw Failure("File not found"); };
    f.receive("@SI=C\nD");
    EXPECT_EQ(f.log.lines(), std::vector<std::string>{"F:WS_SI File not found"});
    EXPECT_EQ(f.at(2).Ticker, "D");
}

TEST(InstrumentList, AnEmptyListLeavesTheNextOneToLoadTheHistory) {
    PriceFixture f;
    f.receive("@SI");
    writeFileAtomically(f.folder.path("K1.dat"), " 46000; 1; 2; 3; 0\r\n");
    f.instrumentList(1);
    EXPECT_EQ(f.data.history.pos(1), 1);
    EXPECT_EQ(f.data.history.slot(1, 1).Ask, 2);
}

TEST(InstrumentCodeTable, FindsTheFirstInstrumentWithExactlyEachCode) {
    PriceFixture f;
    f.receive("@SI=A;C1\nB;C2\nC;C1\nD;c3");
    f.receive("!;T;xxC2;NONE;C1;c3;C3;");
    ASSERT_EQ(f.codes.count(), 6); // the empty text after the last ";" is a code too
    std::vector<std::pair<std::string, int>> table;
    for (int j = 1; j <= f.codes.count(); ++j)
        table.emplace_back(f.codes.code(j), f.codes.instrument(j));
    EXPECT_EQ(table, (decltype(table){{"C2", 2}, {"NONE", 0}, {"C1", 1}, {"c3", 4}, {"C3", 0}, {"", 0}}));

    f.receive("!;T;xx"); // rebuilt by every message
    ASSERT_EQ(f.codes.count(), 1);
    EXPECT_EQ(f.codes.code(1), "");
    EXPECT_THROW(f.codes.code(2), Failure);
    EXPECT_TRUE(f.log.empty());
}

// The quote fields an update may write, compared as one value.
using Quote = std::tuple<float, float, int32_t, float, int32_t>; // Last, Bid, BidVolume, Ask, AskVolume
Quote quoteOf(const Instrument& i) {
    return {i.Last, i.Bid, i.BidVolume, i.Ask, i.AskVolume};
}

class PriceUpdates : public ::testing::Test, protected PriceFixture {
  protected:
    void SetUp() override {
        instrumentList(12);
        incoming.clear();
    }
};

TEST_F(PriceUpdates, InstrumentZeroAndPartialFormsBeforeTheFirstLastPriceChangeNothing) {
    for (const char* m : {"^12;1;2;3;4", "^52;1;2", "~0;1;1;1;1;1", "^10;1;1;1;1", "^50;1;1",
                          "@KU=0;1;1;1;1;1", "~abc;1;1;1;1;1", "@KU="})
        receive(m);
    EXPECT_EQ(quoteOf(at(2)), Quote(0, 0, 0, 0, 0));
    EXPECT_FALSE(data.pricesChanged);
    EXPECT_TRUE(log.empty());

    receive("~2;50;1;1;1;1");
    receive("^12;0.5;2;0.5;3");
    EXPECT_EQ(quoteOf(at(2)), Quote(50, 49.5f, 2, 50.5f, 3));
    EXPECT_EQ(data.history.pos(2), 2);
}

TEST_F(PriceUpdates, FieldsAreReadWithTheLeadingNumberParse) {
    receive("~1; 12abc;;5x;.5");
    EXPECT_EQ(quoteOf(at(1)), Quote(12, 12, 5, 12.5f, 0)); // "" and a missing field read 0
    receive("^41;2.5");                                    // sizes: nearest integer, halves to even
    const int32_t even = at(1).AskVolume;
    receive("^41;3.5");
    EXPECT_EQ(std::make_pair(even, at(1).AskVolume), std::make_pair(2, 4));
    receive("~1.5;7;0;0;0;0"); // the instrument number too: 1.5 -> 2
    EXPECT_EQ(at(2).Last, 7);
    receive("~3;0.1;0.1;1;0.1;1");                  // bid and ask are rounded to single precision
    EXPECT_EQ(std::make_pair(at(3).Bid, at(3).Ask), // in double, then single: not 0
              std::make_pair(0.0f, 0.2f));
    // From the last price as shown, the nearest single: no float noise in what the grid shows.
    for (auto [last, distances, shown] : {std::tuple{"88.42", "0.01;1;0.02", " 88.41  88.44"},
                                          std::tuple{"89.05", "0.01;1;0.01", " 89.04  89.06"},
                                          std::tuple{"9.847", "0.01;1;0.003", " 9.837  9.85"}}) {
        receive(std::string("~3;") + last + ";0;0;0;0");
        receive(std::string("^13;") + distances + ";1");
        EXPECT_EQ(strSingle(at(3).Bid) + " " + strSingle(at(3).Ask), shown) << last;
    }
    EXPECT_TRUE(log.empty());
}

TEST_F(PriceUpdates, ShortAndOverlongMessagesOfEveryForm) {
    // From Last 100, Bid 99 x 5, Ask 101 x 6: missing fields read 0, fields beyond the form's are ignored.
    const std::vector<std::pair<std::string, Quote>> cases = {
        {"~1", {0, 0, 0, 0, 0}},
        {"^11", {100, 100, 0, 100, 0}},
        {"^41", {100, 99, 5, 101, 0}},
        {"@KU=1", {0, 0, 0, 0, 0}},
        {"^11;1;2;3;4;5;6;7", {100, 99, 2, 103, 4}},
        {"^51;1;2;3", {100, 99, 2, 101, 6}},
        {"@KU=1;1;2;3;4;5;6;7", {5, 1, 2, 3, 4}},
        {"~1;10;1;2;1;3;99;98;97;96;95;94;93;92;91;90;89;88;87;86;85;84;83;82",
         {10, 9, 2, 11, 3}},                 // > 20 fields
        {"^3garbage", {100, 99, 5, 101, 6}}, // number 0: ignored
        {"^31;x", {100, 99, 5, 100, 6}},
    };
    for (const auto& [message, expected] : cases) {
        receive("~1;100;1;5;1;6");
        receive(message);
        EXPECT_EQ(quoteOf(at(1)), expected) << message;
    }
    EXPECT_TRUE(log.empty());
}

TEST_F(PriceUpdates, OnlyAChangedBidOrAskAddsAHistoryEntry) {
    receive("@KU=1;49;5;51;6;50.25"); // entry 1
    receive("~1;50.25;1;5;0.75;6");   // bid 49.25: entry 2
    receive("~1;50.5;1.25;5;0.5;6");  // same bid and ask, new last: no entry
    receive("^51;1.25;8");            // the same bid again with a new size: no entry
    EXPECT_EQ(quoteOf(at(1)), Quote(50.5f, 49.25f, 8, 51, 6));
    ASSERT_EQ(data.history.pos(1), 2);
    EXPECT_EQ(std::make_pair(data.history.slot(1, 2).Bid, data.history.slot(1, 2).Last),
              std::make_pair(49.25f, 50.25f));
}

TEST_F(PriceUpdates, EntriesOfOneArrivalCarryItsTimeAndTheNextArrivalReadsTheClockAgain) {
    dispatcher.setHandler(Handler::Heartbeat, [this](std::string_view) { loop.advance(1000); });
    receiver.onDataArrival(wire::frame("~1;10;1;1;1;1") + wire::frame("@HB") + wire::frame("~2;20;1;1;1;1"));
    EXPECT_EQ(data.history.slot(2, 1).Time, data.history.slot(1, 1).Time);
    receive("~1;11;1;2;1;1");
    EXPECT_NEAR(data.history.slot(1, 2).Time - data.history.slot(1, 1).Time, 1000 / 86400000.0, 1e-9);
}

// The one-pass shortcut for plain updates has the effect of the general way on every text:
// the same quotes (to the bit), history entries, flags and failure lines. Instrument 4 has
// no history ring, so its entries fail.
TEST(CompactUpdateShortcut, HasTheEffectOfTheGeneralWayOnEveryText) {
    PriceFixture shortcut, general;
    for (PriceFixture* f : {&shortcut, &general}) {
        f->instrumentList(3);
        f->data.instruments.reset(4);
    }
    const std::vector<std::string> numbers = {"1", "2", "3", "4", "0", "5", "2.5", "-1", " 1", "1e0", "1 "};
    const std::vector<std::string> tokens = {
        "", " ", "0", "101.5", " .25", "-3", "7.", "1e3", "1 2", "\"", "x", "3.4e38", "-3.4e38", "12345678",
        "2147483648", "2147483647.5", "-2147483648.5", "0.1", "1e-50", " 10", "99999999999999999999", "-0",
        // about the last price's decimal: digits and range
        "0.001", "0.0009999", "9999999", "10000000", "9999.999", "1234567", "-12345.67", ".0012345",
        "16777217", "8388609.5", "1.0000001", "99.99999"};
    auto bits = [](float v) { return std::bit_cast<uint32_t>(v); };
    auto state = [&](const PriceFixture& f) {
        std::vector<uint64_t> s{f.data.pricesChanged, f.data.priceUpdates};
        for (int n = 1; n <= 4; ++n) {
            const Instrument& i = f.at(n);
            s.insert(s.end(), {bits(i.Last), bits(i.Bid), bits(i.Ask), static_cast<uint32_t>(i.BidVolume),
                               static_cast<uint32_t>(i.AskVolume), i.Changed});
            if (n <= 3 && f.data.history.pos(n) != 0) {
                const HistoryEntry& e = f.data.history.slot(n, f.data.history.pos(n));
                s.insert(s.end(), {static_cast<uint64_t>(f.data.history.pos(n)), bits(e.Bid), bits(e.Ask),
                                   bits(e.Last), std::bit_cast<uint64_t>(e.Time)});
            }
        }
        return s;
    };
    std::mt19937 rng(26);
    for (int i = 0; i < 30000; ++i) {
        const auto form = static_cast<PriceHandlers::CompactForm>(rng() % 6);
        std::string text = numbers[rng() % numbers.size()];
        for (int k = static_cast<int>(rng() % 7); k > 0; --k)
            text += ";" + tokens[rng() % tokens.size()];
        if (rng() % 8 == 0) text += ";";
        if (rng() % 10 == 0) { // a long update's last price, the same in both
            const int n = 1 + static_cast<int>(rng() % 3);
            const float last = parseSingle(tokens[rng() % tokens.size()]);
            shortcut.data.instruments.at(n).Last = general.data.instruments.at(n).Last = last;
        }
        shortcut.prices.compactUpdate(form, text);
        general.prices.compactUpdateGeneral(form, text);
        ASSERT_EQ(state(shortcut), state(general)) << static_cast<int>(form) << " " << text;
        ASSERT_EQ(shortcut.log.lines(), general.log.lines()) << static_cast<int>(form) << " " << text;
        shortcut.log.clear();
        general.log.clear();
    }
}

TEST(PriceUpdatesBeforeAList, AreSkippedSilentlyExceptTheCompactForms) {
    PriceFixture fresh;
    fresh.receive("~1;100;1;5;1;6");
    fresh.receive("@KU=1;99;1;101;1;100");
    EXPECT_TRUE(fresh.log.empty()); // the dispatcher does not call these before a list
    EXPECT_FALSE(fresh.data.pricesChanged);
}

TEST_F(PriceUpdates, AnInstrumentOutsideTheTableIsLoggedWithTheHandlersTagAndChangesNothing) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"~13;1;1;1;1;1", "F:WS_KuKurz Subscript out of range"},
        {"^113;1;1;1;1", "F:WS_KuKurzBBVAAV Subscript out of range"},
        {"^4-1;1", "F:WS_KuKurzAV Subscript out of range"},
        {"^540000;1;1", "F:WS_KuKurzBBV Subscript out of range"},
        {"@KU=13;1;1;1;1;1", "F:WS_KU Subscript out of range"},
    };
    for (const auto& [message, line] : cases) {
        log.clear();
        receive(message);
        EXPECT_EQ(log.lines(), std::vector<std::string>{line}) << message;
    }
    EXPECT_FALSE(data.pricesChanged);
}

} // namespace
} // namespace kavex
