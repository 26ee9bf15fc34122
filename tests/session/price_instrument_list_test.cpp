// The instrument list message and the instrument code table.
#include "price_fixture.h"

#include "base/failure.h"

#include <gtest/gtest.h>

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
    ASSERT_EQ(f.data.InstrumentCount(), 3); // the final line separator adds no line
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
    f.data.PositionIndex[1] = 4;
    f.data.presets[1].presetName = "T1";
    // A file that appears now must not be read: the history is loaded only once.
    writeFileAtomically(f.folder.path("K2.dat"), " 46000; 1; 2; 3; 0\r\n");

    f.receive("@SI=X;C;EUR;7;6.5;1;7.5;2;N;1;0;0\nY;D;EUR;8;0;0;0;0;M;1;0;0\nZ;E;EUR;9;0;0;0;0;O;1;0;0");
    ASSERT_EQ(f.data.InstrumentCount(), 3);
    EXPECT_EQ(f.at(1).Last, 7);
    EXPECT_EQ(f.data.PositionIndex, std::vector<int16_t>(4, 0));
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
    EXPECT_EQ(f.data.InstrumentCount(), 1000);
    EXPECT_EQ(f.at(1000).Ticker, "T1000");
    EXPECT_EQ(f.outgoing.size(), 1000u);
    EXPECT_EQ(f.log.lines(), std::vector<std::string>{"F:WS_SI Subscript out of range"});
}

TEST(InstrumentList, PresetsAreLoadedAfterTheTableIsComplete) {
    PriceFixture f;
    std::vector<std::string> seen;
    f.presetHook = [&] {
        for (int n = 1; n <= f.data.InstrumentCount(); ++n)
            seen.push_back(f.at(n).Ticker);
        f.data.presets.at(2).presetName = "B";
    };
    f.receive("@SI=A\nB");
    EXPECT_EQ(seen, (std::vector<std::string>{"A", "B"}));

    // A missing preset file is a failure of the instrument list, after the table is built.
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

} // namespace
} // namespace kavex
