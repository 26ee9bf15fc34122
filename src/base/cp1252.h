#pragma once
// Windows-1252 <-> UTF-8. Every byte value maps to exactly one code point and back:
// the five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to
// the C1 control code points of the same value, so arbitrary bytes survive a round trip.
#include <string>
#include <string_view>

namespace kavex::cp1252 {

// Appends the UTF-8 form of `bytes` to `out` (no allocation when `out` has room).
void appendUtf8(std::string_view bytes, std::string& out);
std::string toUtf8(std::string_view bytes);

// Converts UTF-8 to Windows-1252. A character the code page cannot hold, and every
// byte of malformed UTF-8, becomes '?' so the loss stays visible.
std::string fromUtf8(std::string_view utf8);

} // namespace kavex::cp1252
