#include "core/clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <stdexcept>

namespace kavex::server {

namespace {

// Days since 30 December 1899 of a proleptic Gregorian date.
int64_t daysFromCivil(int y, int m, int d) {
    using namespace std::chrono;
    const sys_days date = year{y} / month{static_cast<unsigned>(m)} / day{static_cast<unsigned>(d)};
    const sys_days epoch = year{1899} / December / day{30};
    return (date - epoch).count();
}

std::string twoDigits(int a, int b, int c, const char* sep) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d%s%02d%s%02d", a % 100, sep, b % 100, sep, c % 100);
    return text;
}

} // namespace

int64_t LocalTime::dayNumber() const {
    return daysFromCivil(year, month, day);
}

std::string LocalTime::hhmmss() const {
    return twoDigits(hour, minute, second, "");
}

std::string LocalTime::hhColonMmSs() const {
    return twoDigits(hour, minute, second, ":");
}

std::string LocalTime::yyyymmdd() const {
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", year % 10000, month % 100, day % 100);
    return text;
}

LocalTime systemLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                     parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

LocalTime dateOfDayNumber(int64_t dayNumber) {
    using namespace std::chrono;
    const sys_days epoch = year{1899} / December / day{30};
    const year_month_day date{epoch + days{dayNumber}};
    return LocalTime{static_cast<int>(date.year()),
                     static_cast<int>(static_cast<unsigned>(date.month())),
                     static_cast<int>(static_cast<unsigned>(date.day())),
                     0,
                     0,
                     0};
}

std::optional<int> parseTimeOfDay(std::string_view text) {
    if (text.empty() || text == "off") return std::nullopt;
    int parts[3] = {0, 0, 0};
    int count = 0;
    std::size_t i = 0;
    while (count < 3) {
        std::size_t digits = 0;
        int value = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 2) {
            value = value * 10 + (text[i++] - '0');
            ++digits;
        }
        if (digits == 0) break;
        parts[count++] = value;
        if (i < text.size() && text[i] == ':')
            ++i;
        else
            break;
    }
    if (count < 2 || i != text.size() || parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
        throw std::invalid_argument("not a time of day (HH:MM): " + std::string(text));
    return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

} // namespace kavex::server
