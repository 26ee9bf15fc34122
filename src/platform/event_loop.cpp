#include "platform/event_loop.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace kavex {
namespace {

using namespace std::chrono;

constexpr sys_days kEpoch = year{1899} / December / 30;
constexpr double kMsPerDay = 86400000.0;

// One or two digits at `pos`, advancing it; -1 when there are none.
int twoDigits(std::string_view text, std::size_t& pos) {
    int value = -1;
    for (int n = 0; n < 2 && pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++n, ++pos)
        value = (value < 0 ? 0 : value * 10) + (text[pos] - '0');
    return value;
}

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

double EventLoop::machineDayNumber() const {
    return dayNumber(machineNow());
}

LocalDateTime EventLoop::now() const {
    return offsetMs_ == 0 ? machineNow() : fromDayNumber(nowDayNumber());
}

double EventLoop::nowDayNumber() const {
    return machineDayNumber() + static_cast<double>(offsetMs_) / kMsPerDay;
}

void EventLoop::setTimeOfDay(int secondsOfDay) {
    const double machine = machineDayNumber();
    const auto machineMs = static_cast<int64_t>(std::llround((machine - std::floor(machine)) * kMsPerDay));
    offsetMs_ = static_cast<int64_t>(secondsOfDay) * 1000 - machineMs;
}

int secondsSinceMidnight(const LocalDateTime& t) {
    return (t.hour * 60 + t.minute) * 60 + t.second;
}

std::optional<int> parseTimeOfDay(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    int parts[3] = {0, 0, 0};
    std::size_t pos = 0;
    int count = 0;
    for (; count < 3; ++count) {
        if (count > 0) {
            if (pos >= text.size() || text[pos] != ':') break;
            ++pos;
        }
        parts[count] = twoDigits(text, pos);
        if (parts[count] < 0) return std::nullopt;
    }
    if (count < 2 || pos != text.size()) return std::nullopt;
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
    return (parts[0] * 60 + parts[1]) * 60 + parts[2];
}

std::string timeOfDayText(const LocalDateTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
    return buf;
}

} // namespace kavex
