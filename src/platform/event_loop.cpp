#include "platform/event_loop.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace kavex {
namespace {

using namespace std::chrono;

constexpr sys_days kEpoch = year{1899} / December / 30;

} // namespace

double dayNumber(const LocalDateTime& t) {
    sys_days d = year{t.year} / month{static_cast<unsigned>(t.month)} / day{static_cast<unsigned>(t.day)};
    double days = static_cast<double>((d - kEpoch).count());
    double ms = ((t.hour * 60.0 + t.minute) * 60.0 + t.second) * 1000.0 + t.millisecond;
    return days + ms / 86400000.0;
}

LocalDateTime fromDayNumber(double value) {
    double whole = std::floor(value);
    auto msOfDay = static_cast<long long>(std::llround((value - whole) * 86400000.0));
    if (msOfDay >= 86400000) {
        whole += 1;
        msOfDay -= 86400000;
    }
    year_month_day ymd{kEpoch + days{static_cast<long long>(whole)}};
    LocalDateTime t;
    t.year = static_cast<int>(ymd.year());
    t.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    t.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    t.hour = static_cast<int>(msOfDay / 3600000);
    t.minute = static_cast<int>(msOfDay / 60000 % 60);
    t.second = static_cast<int>(msOfDay / 1000 % 60);
    t.millisecond = static_cast<int>(msOfDay % 1000);
    return t;
}

double EventLoop::nowDayNumber() const {
    return dayNumber(now());
}

int secondsSinceMidnight(const LocalDateTime& t) {
    return (t.hour * 60 + t.minute) * 60 + t.second;
}

std::string timeOfDayText(const LocalDateTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
    return buf;
}

} // namespace kavex
