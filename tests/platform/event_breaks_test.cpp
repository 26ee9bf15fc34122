// Breaks for events during a long pass: at most one per step of the millisecond counter,
// and one as soon as the counter has moved on.
#include "support/fake_event_loop.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

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
