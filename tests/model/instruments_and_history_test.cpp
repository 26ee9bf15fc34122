// The instrument table's lookups and the price history rings.
#include "base/failure.h"
#include "model/trading_data.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace kavex {
namespace {

TEST(InstrumentTable, LookupsFindTheFirstExactMatchAndResetClearsEveryField) {
    TradingData empty;
    EXPECT_EQ(empty.instruments.findByTicker("SAP"), 0);
    EXPECT_EQ(empty.instruments.findByCode("X"), 0);
    EXPECT_THROW(empty.instruments.at(1), Failure);
    EXPECT_THROW(empty.recordPrice(1, 1.0), Failure);

    InstrumentTable t;
    t.reset(3);
    t.at(1).Ticker = "SAP";
    t.at(2).Ticker = t.at(3).Ticker = "BMW";
    t.at(2).ZeltickerCode = "de0005190003";
    t.at(3).ZeltickerCode = "DE0005190003";
    EXPECT_EQ((std::vector<int>{t.findByTicker("BMW"), t.findByTicker("bmw"), t.findByCode("DE0005190003"),
                                t.findByCodeIgnoringCase("DE0005190003")}),
              (std::vector<int>{2, 0, 3, 2}));
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
        data.recordPrice(n, time);
    }
    const HistoryEntry& oldestFirst(int k) const { return data.history.oldestFirst(1, k); }
    TradingData data;
};

TEST_F(History, OnlyANewBidOrAskMakesAnEntryAndAnAllZeroQuoteOnAnEmptyRingNone) {
    quote(1, 99, 101, 100);
    quote(1, 99, 101, 100.5f);
    EXPECT_EQ(data.history.pos(1), 1);
    EXPECT_EQ(data.history.slot(1, 1).Last, 100);
    quote(1, 99, 101.5f, 100.5f, 2.0);
    EXPECT_EQ(data.history.pos(1), 2);
    EXPECT_EQ(std::make_pair(data.history.slot(1, 2).Ask, data.history.slot(1, 2).Time),
              std::make_pair(101.5f, 2.0));
    quote(2, 0, 0, 7);
    EXPECT_EQ(data.history.pos(2), 0);
}

TEST_F(History, ReadingOrderIsOldestFirstBeforeAndAfterTheRingWraps) {
    quote(1, 1, 2, 1);
    quote(1, 2, 3, 1);
    auto bids = [&] {
        return std::vector<float>{oldestFirst(1).Bid, oldestFirst(2998).Bid, oldestFirst(2999).Bid,
                                  oldestFirst(3000).Bid};
    };
    // A partly filled ring starts with its never written slots.
    EXPECT_EQ(bids(), (std::vector<float>{0, 0, 1, 2}));
    for (int k = 3; k <= 3001; ++k)
        quote(1, static_cast<float>(k), static_cast<float>(k + 1), 1);
    EXPECT_EQ(data.history.pos(1), 1); // entry 3001 overwrote the oldest
    EXPECT_EQ(bids(), (std::vector<float>{2, 2999, 3000, 3001}));
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
    // Asking ahead for an entry's memory never fails, whatever the number.
    for (int n : {-1, 0, 1, 3, 4, 3001, 100000})
        EXPECT_NO_THROW(data.history.prepareEntry(n)) << n;
}

// Loading a history file writes entries and positions directly; the next quote is compared
// with what is then the newest entry, not with the quote recorded before.
TEST_F(History, AQuoteIsComparedWithTheNewestEntryEvenWhenItWasWrittenOrMovedFromOutside) {
    quote(1, 1, 2, 1);
    quote(1, 3, 4, 1);
    data.history.setPos(1, 1);
    quote(1, 1, 2, 1); // equals entry 1, newest again
    EXPECT_EQ(data.history.pos(1), 1);
    quote(1, 3, 4, 1); // no longer equal to the newest entry
    EXPECT_EQ(data.history.pos(1), 2);

    HistoryEntry& newest = data.history.slot(1, 2);
    newest.Bid = 7;
    newest.Ask = 8;
    quote(1, 7, 8, 1);
    EXPECT_EQ(data.history.pos(1), 2);
    quote(1, 3, 4, 1);
    EXPECT_EQ(data.history.pos(1), 3);

    data.history.create(1); // a new run's empty rings
    quote(1, 3, 4, 1);
    EXPECT_EQ(data.history.pos(1), 1);
}

} // namespace
} // namespace kavex
