#pragma once
// Small helpers for the server's own text files (instruments, accounts).
#include <functional>
#include <string>
#include <string_view>

namespace kavex::server {

// The whole file; throws std::runtime_error when it cannot be read.
std::string readTextFile(const std::string& path);

// Calls `line` for every line of the text; CR LF and LF both end a line and
// surrounding blanks are removed.
void forEachLine(std::string_view text, const std::function<void(std::string_view)>& line);

std::string_view trimmed(std::string_view text);

// Joins texts and numbers into one string, appending each in turn.
inline void appendPart(std::string& out, std::string_view part) {
    out.append(part);
}
inline void appendPart(std::string& out, long long number) {
    out.append(std::to_string(number));
}
inline void appendPart(std::string& out, unsigned long long number) {
    out.append(std::to_string(number));
}
inline void appendPart(std::string& out, int number) {
    out.append(std::to_string(number));
}
inline void appendPart(std::string& out, unsigned long number) {
    out.append(std::to_string(number));
}
inline void appendPart(std::string& out, long number) {
    out.append(std::to_string(number));
}
template <class... Parts> std::string concat(const Parts&... parts) {
    std::string out;
    (appendPart(out, parts), ...);
    return out;
}

} // namespace kavex::server
