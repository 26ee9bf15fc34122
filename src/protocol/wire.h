#pragma once
// Framing of the game server's wire protocol (also spoken by the local bridge):
// start character, message text, end character; lines inside a message separated by
// a line feed, fields by ";".
#include <string>
#include <string_view>

namespace kavex::wire {

constexpr char kStart = '\x01';
constexpr char kEnd = '\x02';
constexpr char kLineSeparator = '\n';
constexpr std::string_view kFieldSeparator = ";";
constexpr std::string_view kLineSeparatorText = "\n";

inline std::string frame(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out.push_back(kStart);
    out.append(text);
    out.push_back(kEnd);
    return out;
}

} // namespace kavex::wire
