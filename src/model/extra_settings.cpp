#include "model/extra_settings.h"

#include "base/failure.h"
#include "base/files.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace kavex {
namespace {

constexpr std::string_view kTag = "LoadExtra: ";

} // namespace

void ExtraSettings::load(const std::filesystem::path& file, FailureLog& log) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return;
    std::vector<std::string> lines;
    guard(log, kTag, [&] { lines = readTextLines(file); });
    // The first line names the version; every version so far reads the same way.
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::size_t eq = line.find('=');
        if (eq == 0 || eq == std::string::npos) {
            if (!line.empty()) log.addLine("F:" + std::string(kTag) + line);
            continue;
        }
        set(std::string_view(line).substr(0, eq), std::string_view(line).substr(eq + 1));
    }
}

void ExtraSettings::save(const std::filesystem::path& file) const {
    std::vector<std::string> lines{kVersionLine};
    for (const auto& [name, value] : entries_)
        lines.push_back(name + "=" + value);
    writeTextLines(file, lines);
}

std::string ExtraSettings::value(std::string_view name, std::string_view fallback) const {
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const auto& e) { return e.first == name; });
    return std::string(it == entries_.end() ? fallback : std::string_view(it->second));
}

double ExtraSettings::number(std::string_view name, double fallback, FailureLog& log) const {
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const auto& e) { return e.first == name; });
    if (it == entries_.end()) return fallback;
    const std::string& text = it->second;
    double value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (error == std::errc() && stop == end && value >= 0 && value < 1e15) return value;
    log.addLine("F:" + std::string(kTag) + it->first + "=" + text);
    return fallback;
}

void ExtraSettings::set(std::string_view name, std::string_view value) {
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const auto& e) { return e.first == name; });
    if (it == entries_.end())
        entries_.emplace_back(std::string(name), std::string(value));
    else
        it->second = std::string(value);
}

} // namespace kavex
