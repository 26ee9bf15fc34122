#include "views/statements.h"

#include "base/failure.h"
#include "base/files.h"
#include "base/fixed_text.h"
#include "base/numbers.h"
#include "model/trading_data.h"
#include "platform/event_loop.h"
#include "platform/services.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace kavex {
namespace {

using namespace std::chrono;

constexpr sys_days kEpoch = year{1899} / December / 30;

int32_t dayOf(const year_month_day& ymd) {
    return static_cast<int32_t>((sys_days{ymd} - kEpoch).count());
}

year_month_day dateOf(int32_t day) {
    return year_month_day{kEpoch + days{day}};
}

// The day of year, month and day as a date routine reads them: months past 12 or below 1
// run into the neighbouring years and days past the month's end into the next months.
int32_t serialDay(int32_t y, int32_t m, int32_t d) {
    int64_t months = int64_t{y} * 12 + (m - 1);
    int64_t whole = months >= 0 ? months / 12 : -((-months + 11) / 12);
    auto first = year{static_cast<int>(whole)} / month{static_cast<unsigned>(months - whole * 12 + 1)} / 1;
    return dayOf(first) + (d - 1);
}

std::string yyyymmdd(int32_t day) {
    year_month_day ymd = dateOf(day);
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(ymd.year()) % 10000,
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
    return text;
}

bool isStatementFile(const std::string& name) {
    static constexpr std::string_view kEnding = "K.TXT";
    if (name.size() < kEnding.size()) return false;
    std::string_view tail = std::string_view(name).substr(name.size() - kEnding.size());
    return std::equal(tail.begin(), tail.end(), kEnding.begin(),
                      [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
}

// Saturday and Sunday: day 0, 30 December 1899, was a Saturday.
bool isWeekend(int32_t day) {
    int32_t weekday = ((day % 7) + 7) % 7;
    return weekday == 0 || weekday == 1;
}

} // namespace

Statements::Statements(TradingData& data, WorkingDirectory& folder, EventLoop& loop, Printer& printer,
                       TextList& log, std::function<void(int32_t day)> requestStatement)
    : data_(data), folder_(folder), loop_(loop), printer_(printer), log_(log),
      requestStatement_(std::move(requestStatement)) {}

std::string Statements::statementFileName(std::string_view accountCode, int32_t day) {
    return std::string(trimBlanks(accountCode)) + yyyymmdd(day) + "K.TXT";
}

void Statements::fillStatementList() {
    selected_ = -1;
    files.clear();
    guard(log_, "FillAuszug ", [&] {
        std::vector<std::string> names;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(folder_.root(), ec), end; !ec && it != end;
             it.increment(ec)) {
            std::string name = it->path().filename().string();
            if (isStatementFile(name)) names.push_back(std::move(name));
        }
        if (ec) throw Failure(ec.message());
        // Sorted by name, so each account's statements stand in date order.
        std::sort(names.begin(), names.end());
        files.setLines(std::move(names));
    });
}

void Statements::showStatement(int index) {
    selected_ = index;
    if (!append.checked()) statement.clear();
    guard(log_, "Combo7_Click ", [&] {
        if (index < 0 || index >= static_cast<int>(files.size())) failSubscript();
        std::vector<std::string> lines =
            readTextLines(folder_.path(files.lines()[static_cast<std::size_t>(index)]));
        for (std::string& line : lines)
            statement.addLine(std::move(line));
        statement.addLine(kEndLine);
    });
}

void Statements::setAppendAll(bool checked) {
    append.setChecked(checked);
    if (!checked) return;
    selected_ = -1;
    statement.clear();
    for (int i = 0; i < static_cast<int>(files.size()); ++i)
        showStatement(i);
}

void Statements::deleteStatement() {
    if (selected_ >= 0 && selected_ < static_cast<int>(files.size())) {
        std::error_code ec;
        std::filesystem::remove(folder_.path(files.lines()[static_cast<std::size_t>(selected_)]), ec);
    }
    fillStatementList();
}

void Statements::requestStatements() {
    const std::string& begin = data_.account.kontoText1;
    auto part = [&](std::size_t from, std::size_t length) {
        return from < begin.size() ? std::string_view(begin).substr(from, length) : std::string_view();
    };
    int32_t start = kFirstDay;
    skipOnFailure(
        [&] { start = serialDay(parseInt32(part(0, 4)), parseInt32(part(4, 2)), parseInt32(part(6, 2))); });
    start = std::max(start, kFirstDay);
    const auto today = static_cast<int32_t>(std::floor(dayNumber(loop_.now())));
    if (today - start > kMaxDaysBack) start = today - kMaxDaysBack;
    for (int32_t d = start; d <= today; ++d) {
        if (isWeekend(d)) continue;
        std::error_code ec;
        if (std::filesystem::exists(folder_.path(statementFileName(data_.account.accountCode.str(), d)), ec))
            continue;
        if (requestStatement_) requestStatement_(d);
    }
}

void Statements::print() {
    // A printer that fails is reported under the button's name, like the other commands.
    guard(log_, "Drucken_Click ", [&] {
        LocalDateTime now = loop_.now();
        char date[16];
        std::snprintf(date, sizeof date, "%02d-%02d-%04d", now.month % 100, now.day % 100, now.year % 10000);
        printer_.printLine("Ausdruck vom " + std::string(date) + " " + timeOfDayText(now));
        printer_.printLine("");
        for (const std::string& line : statement.lines())
            printer_.printLine(line);
        printer_.endDocument();
    });
}

} // namespace kavex
