#pragma once
// The local calendar time the game stamps on orders, executions and statements.
// The game never reads the system clock itself: the program passes the real clock,
// tests pass a fixed one.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kavex::server {

struct LocalTime {
    int year = 2024, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;

    int secondsOfDay() const { return hour * 3600 + minute * 60 + second; }
    int64_t dayNumber() const;       // whole days since 30 December 1899
    std::string hhmmss() const;      // "093015"
    std::string hhColonMmSs() const; // "09:30:15"
    std::string yyyymmdd() const;    // "20240105"
};

using Clock = std::function<LocalTime()>;

// The machine's local time.
LocalTime systemLocalTime();

// The calendar date of a day number (days since 30 December 1899); time of day 0.
LocalTime dateOfDayNumber(int64_t dayNumber);

// "HH:MM" or "HH:MM:SS" as seconds of the day; nothing for "off" or "";
// throws std::invalid_argument for anything else.
std::optional<int> parseTimeOfDay(std::string_view text);

} // namespace kavex::server
