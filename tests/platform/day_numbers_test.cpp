// Day numbers: the clock's dates and times as counted by the history files and the wait.
#include "support/fake_event_loop.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

TEST(DayNumbers, CountFromTheEndOf1899AndKeepTheTimeOfDay) {
    EXPECT_DOUBLE_EQ(dayNumber({1899, 12, 31, 0, 0, 0, 0}), 1.0);
    EXPECT_DOUBLE_EQ(dayNumber({2000, 1, 1, 12, 0, 0, 0}), 36526.5);
    LocalDateTime t = fromDayNumber(dayNumber({2026, 12, 7, 23, 59, 58, 0}));
    EXPECT_EQ(timeOfDayText(t) + " day " + std::to_string(t.day), "23:59:58 day 7");
    EXPECT_EQ(secondsSinceMidnight(t), 86398);
}

} // namespace
} // namespace kavex
