#include "base/line_file.h"

#include "base/failure.h"
#include "base/fixed_text.h"
#include "base/numbers.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace kavex {

std::string readField(std::string_view line) {
    std::string_view f = trimBlanks(line);
    if (!f.empty() && f.front() == '"') {
        f.remove_prefix(1);
        std::size_t close = f.find('"');
        return std::string(close == std::string_view::npos ? f : f.substr(0, close));
    }
    std::size_t comma = f.find(',');
    return std::string(trimBlanks(comma == std::string_view::npos ? f : f.substr(0, comma)));
}

std::string_view LineFileReader::take() {
    if (atEnd()) throw Failure("Input past end of file");
    return lines_[next_++];
}

std::string LineFileReader::text() {
    return readField(take());
}
double LineFileReader::number() {
    return parseLeading(readField(take()));
}
int32_t LineFileReader::int32() {
    return roundToInt32(number());
}
int16_t LineFileReader::int16() {
    return roundToInt16(number());
}
float LineFileReader::single() {
    return static_cast<float>(number());
}

void LineFileWriter::quoted(std::string_view text) {
    lines_.push_back("\"" + std::string(text) + "\"");
}
void LineFileWriter::bare(std::string_view text) {
    lines_.emplace_back(text);
}
void LineFileWriter::integer(int64_t value) {
    lines_.push_back(strInt(value) + " ");
}
void LineFileWriter::single(float value) {
    lines_.push_back(strSingle(value) + " ");
}

std::string findFileIgnoringCase(const std::string& folder, const std::string& name) {
    namespace fs = std::filesystem;
    fs::path exact = fs::path(folder) / name;
    std::error_code ec;
    if (fs::exists(exact, ec)) return exact.string();
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
        return s;
    };
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (lower(entry.path().filename().string()) == lower(name)) return entry.path().string();
    return exact.string();
}

} // namespace kavex
