#include "base/failure.h"
#include "model/trading_data.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

TEST(InstrumentTable, EmptyBeforeTheFirstListAndEveryLookupYieldsZero) {
    TradingData data;
    EXPECT_EQ(data.InstrumentCount(), 0);
    EXPECT_EQ(data.instruments.findByTicker("SAP"), 0);
    EXPECT_EQ(data.instruments.findByCode("X"), 0);
    EXPECT_THROW(data.instruments.at(1), Failure);
    EXPECT_THROW(data.Merkkurse(1, 1.0), Failure);
}

TEST(InstrumentTable, LookupsFindTheFirstMatchAndResetClearsEveryField) {
    InstrumentTable t;
    t.reset(3);
    t.at(1).Ticker = "SAP";
    t.at(2).Ticker = "BMW";
    t.at(3).Ticker = "BMW";
    t.at(2).ZeltickerCode = "de0005190003";
    t.at(3).ZeltickerCode = "DE0005190003";
    EXPECT_EQ(t.findByTicker("BMW"), 2);
    EXPECT_EQ(t.findByTicker("bmw"), 0);
    EXPECT_EQ(t.findByCode("DE0005190003"), 3);
    EXPECT_EQ(t.findByCodeIgnoringCase("DE0005190003"), 2);
    EXPECT_THROW(t.at(0), Failure);
    EXPECT_THROW(t.at(4), Failure);
    t.at(1).Last = 5;
    t.reset(2);
    EXPECT_EQ(t.at(1).Last, 0);
    EXPECT_EQ(t.at(1).Ticker, "");
}

class History : public ::testing::Test {
protected:
    void SetUp() override {
        data.instruments.reset(2);
        data.history.create(2);
    }
    void quote(int n, float bid, float ask, float last, double time = 1.0) {
        auto& i = data.instruments.at(n);
        i.Bid = bid;
        i.Ask = ask;
        i.Last = last;
        data.Merkkurse(n, time);
    }
    TradingData data;
};

TEST_F(History, ANewLastPriceAloneMakesNoEntry) {
    quote(1, 99, 101, 100);
    quote(1, 99, 101, 100.5f);
    EXPECT_EQ(data.history.pos(1), 1);
    EXPECT_EQ(data.history.slot(1, 1).Last, 100);
    quote(1, 99, 101.5f, 100.5f, 2.0);
    EXPECT_EQ(data.history.pos(1), 2);
    EXPECT_EQ(data.history.slot(1, 2).Ask, 101.5f);
    EXPECT_EQ(data.history.slot(1, 2).Time, 2.0);
}

TEST_F(History, AnAllZeroQuoteOnAnEmptyRingMakesNoEntry) {
    quote(2, 0, 0, 7);
    EXPECT_EQ(data.history.pos(2), 0);
}

TEST_F(History, TheRingOverwritesTheOldestEntryAfter3000) {
    for (int k = 1; k <= 3001; ++k) quote(1, static_cast<float>(k), static_cast<float>(k + 1), 1);
    EXPECT_EQ(data.history.pos(1), 1);
    EXPECT_EQ(data.history.slot(1, 1).Bid, 3001);
    // Reading order: oldest first, newest last.
    EXPECT_EQ(data.history.oldestFirst(1, 1).Bid, 2);
    EXPECT_EQ(data.history.oldestFirst(1, 3000).Bid, 3001);
}

TEST_F(History, ReadingOrderOfAPartlyFilledRingStartsWithNeverWrittenSlots) {
    quote(1, 1, 2, 1);
    quote(1, 3, 4, 1);
    EXPECT_EQ(data.history.oldestFirst(1, 1).Bid, 0);
    EXPECT_EQ(data.history.oldestFirst(1, 2998).Bid, 0);
    EXPECT_EQ(data.history.oldestFirst(1, 2999).Bid, 1);
    EXPECT_EQ(data.history.oldestFirst(1, 3000).Bid, 3);
}

TEST_F(History, RingsGrowForNumbersBeyondTheFirstListButKeepTheirEntries) {
    quote(1, 1, 2, 1);
    data.instruments.reset(3);
    data.history.growTo(3);
    EXPECT_EQ(data.history.pos(1), 1);
    EXPECT_EQ(data.history.slot(1, 1).Bid, 1);
    quote(3, 5, 6, 5);
    EXPECT_EQ(data.history.pos(3), 1);
    EXPECT_THROW(data.history.slot(4, 1), Failure);
    EXPECT_THROW(data.history.slot(1, 3001), Failure);
}

} // namespace
} // namespace kavex
