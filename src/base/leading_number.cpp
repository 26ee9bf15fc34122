// Reading numbers: the leading-number parse and its shortcut for plain decimals.
#include "base/numbers.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <limits>
#include <string>

namespace kavex {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool continuesAfterDigits(char c) {
    return isBlank(c) || c == 'E' || c == 'e';
}

// Every power of ten up to 1e22 is an exact double; so is every integer up to 2^53.
// Their quotient, one division, is then rounded correctly, as the general conversion does.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                   1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
constexpr uint64_t kExactMantissa = uint64_t{1} << 53;

// The bytes [p, end), at most eight, as a little-endian word, the rest 0. Whole loads
// only: bytes stored one by one and read back as a word would stall the load. When the
// eight bytes in front of `end` may be read, there is no branch on the length.
[[gnu::always_inline]] inline uint64_t loadUpTo8(const char* p, const char* end, const char* readableFrom) {
    const std::ptrdiff_t n = end - p;
    uint64_t word = 0;
    if (end - readableFrom >= 8) {
        const std::ptrdiff_t back = std::max<std::ptrdiff_t>(8 - n, 0);
        std::memcpy(&word, p - back, 8);
        return (word >> (4 * back)) >> (4 * back);
    }
    if (n >= 4) {
        uint32_t low = 0, high = 0; // overlapping
        std::memcpy(&low, p, 4);
        std::memcpy(&high, end - 4, 4);
        word = low | (uint64_t{high} << (8 * (n - 4)));
    } else if (n > 0) {
        const auto byte = [p](std::ptrdiff_t i) {
            return uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
        };
        word = byte(0) | byte(n / 2) | byte(n - 1);
    }
    return word;
}

// One blank, a sign, then digits with at most one point, seven characters at most, read
// as one 64-bit word: no loop, and no branch that depends on the digits (which vary
// from field to field, so a mispredicted branch would cost more than the conversion).
// False for other forms. Bytes past the end read as 0, which ends a number like any
// character that cannot continue it.
[[gnu::always_inline]] inline bool readShortDecimal(const char* p, const char* end, const char* readableFrom,
                                                    PlainDecimal& out) {
    if constexpr (std::endian::native != std::endian::little) return false;
    const uint64_t front = loadUpTo8(p, end, readableFrom);
    const bool blank = static_cast<char>(front) == ' ';
    const char signChar = static_cast<char>(front >> (8 * blank));
    const bool negative = signChar == '-';
    p += blank + (negative | (signChar == '+'));
    const uint64_t word = loadUpTo8(p, end, readableFrom);
    constexpr uint64_t kEachByte = 0x0101010101010101;
    uint64_t d = word ^ (0x30 * kEachByte); // '0'..'9' become 0..9
    // The high bit of each byte that is no digit. A carry out of such a byte can only
    // mark bytes after it, and only the first two marks are used.
    const uint64_t noDigit = ((d + 0x76 * kEachByte) | d) & (0x80 * kEachByte);
    if (noDigit == 0) return false;
    const int first = __builtin_ctzll(noDigit) / 8;
    const uint64_t afterFirst = noDigit & (noDigit - 1);
    const bool point = static_cast<char>(word >> (8 * first)) == '.';
    if (point & (afterFirst == 0)) return false;
    const int pointMask = -static_cast<int>(point);
    const int second = __builtin_ctzll(afterFirst | (uint64_t{1} << 63)) / 8;
    const int stop = first + ((second - first) & pointMask);
    out.stop = static_cast<char>(word >> (8 * stop));
    if (continuesAfterDigits(out.stop)) return false;
    out.next = p + stop; // at most the end: the first byte past it reads as 0
    const int digits = stop - point;

    // The point taken out; the digits as eight with leading zeros (all zeros when there
    // are none), combined in pairs, fours and eights.
    const uint64_t below = d & ((uint64_t{1} << (8 * first)) - 1);
    const uint64_t withoutPoint = below | (((d >> (8 * first)) >> 8) << (8 * first));
    const uint64_t pointWordMask = uint64_t{0} - point;
    d = (withoutPoint & pointWordMask) | (d & ~pointWordMask);
    d = (d << (8 * (7 - digits))) << 8;
    d = d * 10 + (d >> 8);
    constexpr uint64_t kLowBytes = 0x000000FF000000FF;
    d = (((d & kLowBytes) * (100 + (uint64_t{1000000} << 32))) +
         (((d >> 16) & kLowBytes) * (1 + (uint64_t{10000} << 32)))) >>
        32;
    // Without a point the division is by 1, which is exact.
    const int fractionDigits = (stop - first - 1) & pointMask;
    const double value = static_cast<double>(static_cast<uint32_t>(d)) / kExactPowers[fractionDigits];
    // No number reads as 0, not as a negative zero.
    const uint64_t sign = static_cast<uint64_t>(negative && digits > 0) << 63;
    out.value = std::bit_cast<double>(std::bit_cast<uint64_t>(value) | sign);
    return true;
}

// Longer plain decimals, a character at a time: at most 19 digits fit in 64 bits.
[[gnu::noinline]] bool readLongDecimal(const char* p, const char* end, PlainDecimal& out) {
    while (p != end && isBlank(*p))
        ++p;
    bool negative = false;
    if (p != end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    uint64_t mantissa = 0;
    const char* digitsStart = p;
    while (p != end && isDigit(*p))
        mantissa = mantissa * 10 + static_cast<uint64_t>(*p++ - '0');
    std::ptrdiff_t digits = p - digitsStart;
    std::ptrdiff_t fractionDigits = 0;
    if (p != end && *p == '.') {
        const char* fractionStart = ++p;
        while (p != end && isDigit(*p))
            mantissa = mantissa * 10 + static_cast<uint64_t>(*p++ - '0');
        fractionDigits = p - fractionStart;
        digits += fractionDigits;
    }
    if (digits > 19 || mantissa > kExactMantissa) return false;
    out.stop = p != end ? *p : '\0';
    if (continuesAfterDigits(out.stop)) return false;
    out.next = p;
    if (digits == 0) {
        out.value = 0;
        return true;
    }
    const double value = static_cast<double>(mantissa) / kExactPowers[fractionDigits];
    out.value = negative ? -value : value;
    return true;
}

[[gnu::always_inline]] inline bool readPlain(const char* p, const char* end, const char* readableFrom,
                                             PlainDecimal& out) {
    return readShortDecimal(p, end, readableFrom, out) || readLongDecimal(p, end, out);
}

} // namespace

bool readPlainDecimal(const char* begin, const char* end, PlainDecimal& out) {
    return readPlain(begin, end, begin, out);
}

bool readPlainField(const char*& p, const char* end, const char* textBegin, double& value) {
    PlainDecimal number;
    if (!readPlain(p, end, textBegin, number)) return false;
    if (!((number.stop == ';') | (number.next == end))) return false;
    value = number.value;
    p = number.next + (number.next != end);
    return true;
}

double parseLeading(std::string_view text) {
    PlainDecimal plain;
    if (readPlainDecimal(text.data(), text.data() + text.size(), plain)) return plain.value;
    return parseLeadingGeneral(text);
}

// Gathers the number's characters (blanks dropped), then converts them.
double parseLeadingGeneral(std::string_view text) {
    std::string buf;
    buf.reserve(text.size() + 1);
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-') buf.push_back('-');
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (isDigit(c)) {
            buf.push_back(c);
            digits = true;
        } else if (c == '.' && !point) {
            buf.push_back(c);
            point = true;
        } else if (!isBlank(c)) {
            break;
        }
    }
    if (!digits) return 0.0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        std::size_t mark = buf.size();
        std::size_t j = i + 1;
        buf.push_back('e');
        if (j < text.size() && (text[j] == '-' || text[j] == '+')) buf.push_back(text[j++]);
        bool expDigits = false;
        for (; j < text.size() && (isDigit(text[j]) || isBlank(text[j])); ++j) {
            if (isDigit(text[j])) {
                buf.push_back(text[j]);
                expDigits = true;
            }
        }
        if (!expDigits) buf.resize(mark);
    }
    double value = 0;
    auto [ptr, ec] = std::from_chars(buf.data(), buf.data() + buf.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone when it does not fit: saturate, or 0 for tiny values.
        bool tiny = buf.find("e-") != std::string::npos;
        value = tiny            ? 0.0
                : buf[0] == '-' ? -std::numeric_limits<double>::infinity()
                                : std::numeric_limits<double>::infinity();
    }
    return value;
}

} // namespace kavex
