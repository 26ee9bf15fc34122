#include "trading/order_journal.h"

#include "base/failure.h"
#include "base/numbers.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

namespace kavex {
namespace {

constexpr const char* kTag = "Journal ";
constexpr std::string_view kRotatedPrefix = "Kavex.Journal.";
constexpr std::string_view kRotatedSuffix = ".csv";

std::string dayKey(const LocalDateTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", t.year % 10000, t.month % 100, t.day % 100);
    return text;
}

// Fields holding the separator, a quote or a line break are quoted, quotes doubled.
void appendField(std::string& out, std::string_view field) {
    if (field.find_first_of(";\"\r\n") == std::string_view::npos) {
        out.append(field);
    } else {
        out.push_back('"');
        for (char c : field) {
            if (c == '"') out.push_back('"');
            out.push_back(c);
        }
        out.push_back('"');
    }
    out.push_back(';');
}

std::string number(float value) {
    return strSingleTrimmed(value);
}

// The day of the last line of a journal file ("2026-12-07 ..."), read from its tail.
std::string lastLineDay(const std::filesystem::path& file) {
    std::string bytes(512, '\0');
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
    const std::streamoff start = std::max<std::streamoff>(size - 512, 0);
    in.seekg(start);
    in.read(bytes.data(), size - start);
    bytes.resize(in ? static_cast<std::size_t>(size - start) : 0);
    if (bytes.size() < 2) return {};
    const std::size_t end = bytes.rfind('\n', bytes.size() - 2);
    const std::string_view last = std::string_view(bytes).substr(end == std::string::npos ? 0 : end + 1);
    if (last.size() < 10 || last[4] != '-' || last[7] != '-') return {};
    std::string day;
    day.append(last.substr(0, 4)).append(last.substr(5, 2)).append(last.substr(8, 2));
    return day;
}

bool isRotatedName(const std::string& name) {
    return name.size() > kRotatedPrefix.size() + kRotatedSuffix.size() && name.starts_with(kRotatedPrefix) &&
           name.ends_with(kRotatedSuffix) && name != OrderJournal::kFileName;
}

} // namespace

OrderJournal::OrderJournal(std::filesystem::path folder, std::function<LocalDateTime()> clock,
                           FailureLog& log, uint64_t maxBytes, int keptFiles)
    : folder_(std::move(folder)), clock_(std::move(clock)), log_(log), maxBytes_(maxBytes),
      keptFiles_(keptFiles) {}

std::string OrderJournal::csvLine(const LocalDateTime& t, const JournalLine& line) {
    char time[32];
    std::snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year % 10000, t.month % 100,
                  t.day % 100, t.hour % 100, t.minute % 100, t.second % 100, t.millisecond % 1000);
    std::string out;
    appendField(out, time);
    appendField(out, line.event);
    appendField(out, line.order == 0 ? std::string() : std::to_string(line.order));
    appendField(out, line.instrument);
    appendField(out, line.side);
    appendField(out, line.type);
    appendField(out, std::to_string(line.quantity));
    appendField(out, number(line.limit1));
    appendField(out, number(line.limit2));
    appendField(out, line.status);
    appendField(out, line.fillPrice ? number(*line.fillPrice) : std::string());
    appendField(out, line.origin);
    appendField(out, line.text);
    out.back() = '\r';
    out.push_back('\n');
    return out;
}

void OrderJournal::open() {
    guard(log_, kTag, [&] {
        const std::size_t cut = file_.open(current());
        if (cut > 0) log_.addLine("Journal: " + std::to_string(cut) + " Bytes einer Zeile entfernt");
        fileDay_ = lastLineDay(current());
        if (file_.size() == 0) startFile(clock_());
    });
}

void OrderJournal::startFile(const LocalDateTime& time) {
    fileDay_ = dayKey(time);
    file_.append(std::string(kHeader) + "\r\n");
}

void OrderJournal::write(const JournalLine& line) {
    guard(log_, kTag, [&] {
        if (!file_.isOpen()) return;
        const LocalDateTime now = clock_();
        const std::string text = csvLine(now, line);
        if (!fileDay_.empty() && fileDay_ != dayKey(now))
            rotate();
        else if (file_.size() + text.size() > maxBytes_ &&
                 file_.size() > std::string_view(kHeader).size() + 2)
            rotate();
        if (fileDay_.empty()) fileDay_ = dayKey(now);
        if (file_.size() == 0) startFile(now);
        file_.append(text);
    });
}

void OrderJournal::rotate() {
    file_.close();
    const std::string day = fileDay_.empty() ? dayKey(clock_()) : fileDay_;
    for (int n = 1; n <= 999; ++n) {
        char name[64];
        std::snprintf(name, sizeof name, "Kavex.Journal.%s-%03d.csv", day.c_str(), n);
        const std::filesystem::path target = folder_ / name;
        if (std::filesystem::exists(target)) continue;
        std::filesystem::rename(current(), target);
        break;
    }
    removeOldFiles();
    fileDay_.clear();
    file_.open(current());
}

void OrderJournal::removeOldFiles() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
        std::string name = entry.path().filename().string();
        if (isRotatedName(name)) names.push_back(std::move(name));
    }
    if (static_cast<int>(names.size()) <= keptFiles_) return;
    // The names sort by day and number: the oldest come first.
    std::sort(names.begin(), names.end());
    const std::size_t excess = names.size() - static_cast<std::size_t>(keptFiles_);
    for (std::size_t i = 0; i < excess; ++i) {
        std::error_code ignored;
        std::filesystem::remove(folder_ / names[i], ignored);
    }
}

} // namespace kavex
