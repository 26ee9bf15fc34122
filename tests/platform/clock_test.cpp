// The clock as the history files and the wait count it, and the breaks for events during
// a long pass: at most one per step of the millisecond counter.
#include "support/fake_event_loop.h"

#include <gtest/gtest.h>

#include <string>

namespace kavex {
namespace {

TEST(DayNumbers, CountFromTheEndOf1899AndKeepTheTimeOfDay) {
    EXPECT_DOUBLE_EQ(dayNumber({1899, 12, 31, 0, 0, 0, 0}), 1.0);
    EXPECT_DOUBLE_EQ(dayNumber({2000, 1, 1, 12, 0, 0, 0}), 36526.5);
    LocalDateTime t = fromDayNumber(dayNumber({2026, 12, 7, 23, 59, 58, 0}));
    EXPECT_EQ(timeOfDayText(t) + " day " + std::to_string(t.day), "23:59:58 day 7");
    EXPECT_EQ(secondsSinceMidnight(t), 86398);
}

TEST(ProgramClock, TheServersTimeOfDayBecomesTheProgramsClockAndTheMachinesStays) {
    test::FakeEventLoop loop; // the machine's clock: 7 December 2026, 09:30:00
    loop.setTimeOfDay(*parseTimeOfDay(" 23:59:58 "));
    loop.advance(3000);
    EXPECT_EQ(timeOfDayText(loop.now()) + " day " + std::to_string(loop.now().day), "00:00:01 day 8");
    EXPECT_NEAR(loop.nowDayNumber(), dayNumber({2026, 12, 8, 0, 0, 1, 0}), 1e-9);
    loop.clearClockOffset();
    EXPECT_EQ(timeOfDayText(loop.now()), "09:30:03");
}

TEST(ProgramClock, TimeOfDayTexts) {
    EXPECT_EQ(parseTimeOfDay("0:0:0"), 0);
    EXPECT_EQ(parseTimeOfDay(" 9:05 "), 32700);
    for (std::string text : {"", "25:00", "12:60:00", "12", "12:03:", "1:2:3:4", "123:00", "12:03x", "-1:00"})
        EXPECT_EQ(parseTimeOfDay(text), std::nullopt) << text;
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
