// The clock as the history files and the wait count it, and the breaks for events during
// a long pass: at most one per step of the millisecond counter.
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

struct SteppedLoop : test::FakeEventLoop {
    void processPendingEvents() override { ++processed; }
    uint32_t tickCount() const override { return ms; }
    uint32_t ms = 0xFFFFFFFE; // the counter wraps during the test
    int processed = 0;
};

TEST(EventBreaks, EventsRunOncePerMillisecondOfThePass) {
    SteppedLoop loop;
    EventBreaks breaks(loop);
    for (int i = 0; i < 100; ++i)
        breaks.between();
    EXPECT_EQ(loop.processed, 0); // the pass has not yet taken a millisecond
    for (int step = 1; step <= 3; ++step) {
        ++loop.ms;
        breaks.between();
        breaks.between();
        EXPECT_EQ(loop.processed, step);
    }
}

} // namespace
} // namespace kavex
