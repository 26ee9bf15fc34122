#include "platform/qt/qt_event_loop.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kavex {
namespace {

TEST(QtEventLoopClock, TheFastDayNumberAgreesWithTheLocalTime) {
    QtEventLoop loop;
    double fast = loop.nowDayNumber();
    double slow = dayNumber(loop.now());
    EXPECT_LT(std::fabs(fast - slow) * 86400.0, 1.0); // within a second
    EXPECT_GE(loop.nowDayNumber(), fast);
}

} // namespace
} // namespace kavex
