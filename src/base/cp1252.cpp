#include "base/cp1252.h"

#include <array>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kavex::cp1252 {
namespace {

// Code points of bytes 0x80..0x9F; undefined bytes keep their own value.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t codePointOf(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F) return kHigh[b - 0x80];
    return b;
}

void appendCodePoint(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

int byteOf(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
    return '?';
}

} // namespace

namespace {

// How many bytes at the front are ASCII, 64 at a time (received text is nearly all ASCII).
std::size_t asciiPrefix(std::string_view bytes) {
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 64 <= bytes.size(); i += 64) {
        const auto at = [&](std::size_t k) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i + k));
        };
        const __m128i any = _mm_or_si128(_mm_or_si128(at(0), at(16)), _mm_or_si128(at(32), at(48)));
        if (_mm_movemask_epi8(any) != 0) break;
    }
#endif
    return i;
}

} // namespace

void appendUtf8(std::string_view bytes, std::string& out) {
    std::size_t start = 0;
    std::size_t i = asciiPrefix(bytes);
    while (i < bytes.size()) {
        // Pure ASCII, the normal case on the wire, is skipped eight bytes at a time.
        if (i + 8 <= bytes.size()) {
            uint64_t word;
            std::memcpy(&word, bytes.data() + i, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80) {
            out.append(bytes.data() + start, i - start);
            appendCodePoint(codePointOf(b), out);
            start = i + 1;
        }
        ++i;
    }
    out.append(bytes.data() + start, bytes.size() - start);
}

std::string toUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    appendUtf8(bytes, out);
    return out;
}

std::string fromUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        int len = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
        if (len == 0 || i + len > s.size()) {
            out.push_back('?');
            ++i;
            continue;
        }
        char32_t cp = b & (0x7F >> len);
        bool ok = true;
        for (int k = 1; k < len; ++k) {
            auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok) {
            out.push_back('?');
            ++i;
            continue;
        }
        out.push_back(static_cast<char>(byteOf(cp)));
        i += len;
    }
    return out;
}

} // namespace kavex::cp1252
