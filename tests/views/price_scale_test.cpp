// The chart's scale arithmetic: level steps and labels, ring slots, and the price range
// of the newest points.
#include "views/price_scale.h"
#include "history_builder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kavex {
namespace {

using test::putHistory;

TEST(NiceStep, TheFirstMatchingRowGivesTheStepOthersStayAsTheyAre) {
    // One step for a whole decade (0.015); 50000 is in two rows and the first wins.
    // clang-format off
    const std::vector<std::pair<float, float>> rows = {
        {0, 0.001f}, {0.00199999f, 0.001f}, {0.002f, 0.01f}, {0.015f, 0.01f}, {0.02f, 0.025f}, {0.312f, 0.25f},
        {1.999999f, 1}, {3, 2.5f}, {585, 500}, {50000, 25000}, {1000000, 500000}, {9999999, 5000000}};
    // clang-format on
    for (auto [range, step] : rows)
        EXPECT_FLOAT_EQ(niceStep(range), step) << range;
    // Values outside every row come back unchanged.
    const float gap = std::nextafter(0.00199999f, 1.0f); // between two rows
    ASSERT_LT(gap, 0.002f);
    EXPECT_EQ(niceStep(gap), gap);
    EXPECT_EQ(niceStep(199.9995f), 199.9995f);
    EXPECT_EQ(niceStep(-1), -1);
    EXPECT_EQ(niceStep(2e7f), 2e7f);
}

TEST(LevelLabelAndPointSlot, LabelsCutTowardsMinusInfinityAndPoint3000IsTheNewestSlot) {
    EXPECT_EQ((std::vector<std::string>{levelLabel(12.345), levelLabel(-0.001), levelLabel(100),
                                        levelLabel(99.25)}),
              (std::vector<std::string>{" 12.34", "-.01", " 100", " 99.25"}));
    // Older points wrap; an empty ring (newest slot 0) reads from slot 3000.
    EXPECT_EQ((std::vector<int>{pointSlot(5, 3000), pointSlot(5, 2996), pointSlot(5, 2995),
                                pointSlot(3000, 1), pointSlot(0, 3000)}),
              (std::vector<int>{5, 1, 3000, 1, 3000}));
}

class MimaTest : public ::testing::Test {
  protected:
    void SetUp() override { history.create(2); }
    PriceHistory history;
};

TEST_F(MimaTest, HighestAskAndLowestBidOfTheNewestPointsOnlyAndUnwrittenSlotsOnlyRaiseTheMaximum) {
    putHistory(history, 1, {{90, 200, 0}, {99, 101, 100}, {98.5f, 100.5f, 99}, {99.5f, 100, 100}}, 2);
    auto range = [&](int instrument, int points) {
        const PriceRange r = Mima(history, instrument, points);
        return std::pair<float, float>{r.minimum, r.maximum};
    };
    EXPECT_EQ(range(1, 3), (std::pair<float, float>{98.5f, 101}));
    EXPECT_EQ(range(1, 1), (std::pair<float, float>{99.5f, 100}));
    EXPECT_EQ(range(1, 100), (std::pair<float, float>{90, 200})); // the 96 empty slots are skipped
    putHistory(history, 2, {{-5, -3, -4}}, 1);
    EXPECT_EQ(range(2, 100), (std::pair<float, float>{-5, 0})); // an empty slot's ask raised it
}

TEST_F(MimaTest, EmptyHistoryNoPointsOrNoRingKeepTheStartingValues) {
    PriceRange r = Mima(history, 1, 100); // empty slots raise the maximum to 0
    EXPECT_EQ(std::make_pair(r.minimum, r.maximum), std::make_pair(1000000.0f, 0.0f));
    for (PriceRange none : {Mima(history, 1, 0), Mima(history, 3, 100), Mima(history, 0, 100)})
        EXPECT_EQ(std::make_pair(none.minimum, none.maximum), std::make_pair(1000000.0f, -999999.0f));
}

} // namespace
} // namespace kavex
