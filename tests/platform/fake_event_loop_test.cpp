// The virtual clock every timer-driven test relies on.
#include "support/fake_event_loop.h"

#include <gtest/gtest.h>

#include <vector>

namespace kavex {
namespace {

TEST(FakeEventLoop, TimersFireInDueOrderAsTheClockAdvances) {
    test::FakeEventLoop loop;
    std::vector<std::string> fired;
    auto refresh = loop.startTimer(150, [&] { fired.push_back("refresh@" + std::to_string(loop.elapsedMs())); });
    loop.startTimer(50, [&] { fired.push_back("start@" + std::to_string(loop.elapsedMs())); }, true);
    loop.advance(320);
    EXPECT_EQ(fired, (std::vector<std::string>{"start@50", "refresh@150", "refresh@300"}));
    loop.stopTimer(refresh);
    loop.advance(1000);
    EXPECT_EQ(fired.size(), 3u);
    EXPECT_EQ(loop.activeTimers(), 0u);
}

TEST(FakeEventLoop, NestedProcessingDeliversPostedEventsInsideAHandler) {
    test::FakeEventLoop loop;
    std::vector<int> order;
    loop.post([&] {
        order.push_back(1);
        loop.post([&] { order.push_back(2); });
        loop.processPendingEvents(); // a handler that waits by processing events
        order.push_back(3);
    });
    loop.processPendingEvents();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(FakeEventLoop, TimerStoppedByItsOwnCallbackDoesNotFireAgain) {
    test::FakeEventLoop loop;
    int ticks = 0;
    EventLoop::TimerId id = 0;
    id = loop.startTimer(10, [&] {
        if (++ticks == 3) loop.stopTimer(id);
    });
    loop.advance(100);
    EXPECT_EQ(ticks, 3);
}

TEST(DayNumbers, CountFromTheEndOf1899AndKeepTheTimeOfDay) {
    EXPECT_DOUBLE_EQ(dayNumber({1899, 12, 31, 0, 0, 0, 0}), 1.0);
    EXPECT_DOUBLE_EQ(dayNumber({2000, 1, 1, 12, 0, 0, 0}), 36526.5);
    LocalDateTime t = fromDayNumber(dayNumber({2026, 12, 7, 23, 59, 58, 0}));
    EXPECT_EQ(timeOfDayText(t), "23:59:58");
    EXPECT_EQ(t.day, 7);
    EXPECT_EQ(secondsSinceMidnight(t), 86398);
}

} // namespace
} // namespace kavex
