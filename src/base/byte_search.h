#pragma once
// Finding one byte in received text, where the byte is usually within a few dozen bytes:
// sixteen bytes are compared at a time inline, without the call and set-up of memchr,
// which takes over for long stretches.
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kavex {

// The first `c` in [p, end), or nullptr.
inline const char* findByte(const char* p, const char* end, char c) {
#if defined(__SSE2__)
    if (end - p >= 16) {
        const __m128i wanted = _mm_set1_epi8(c);
        const auto hits = [&](const char* at) {
            return static_cast<unsigned>(
                _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)), wanted)));
        };
        // Four steps inline; a longer stretch goes to memchr.
        for (int step = 0; step < 4 && end - p >= 16; ++step, p += 16)
            if (const unsigned found = hits(p)) return p + __builtin_ctz(found);
        if (end - p >= 16) return static_cast<const char*>(std::memchr(p, c, static_cast<std::size_t>(end - p)));
        if (p == end) return nullptr;
        // The last sixteen bytes, those compared already left out.
        const int done = static_cast<int>(16 - (end - p));
        if (const unsigned found = hits(end - 16) >> done) return p + __builtin_ctz(found);
        return nullptr;
    }
#endif
    return p == end ? nullptr : static_cast<const char*>(std::memchr(p, c, static_cast<std::size_t>(end - p)));
}

// Where two bytes lie among the 64 at p (all readable): bit i set for p[i].
struct TwoByteMasks {
    uint64_t first = 0, second = 0;
};
inline TwoByteMasks findTwoBytesIn64(const char* p, char first, char second) {
    TwoByteMasks found;
#if defined(__SSE2__)
    const __m128i a = _mm_set1_epi8(first), b = _mm_set1_epi8(second);
    for (int k = 0; k < 4; ++k) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        found.first |= uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, a)))} << (16 * k);
        found.second |= uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, b)))} << (16 * k);
    }
#else
    for (int i = 0; i < 64; ++i) {
        found.first |= uint64_t{p[i] == first} << i;
        found.second |= uint64_t{p[i] == second} << i;
    }
#endif
    return found;
}

} // namespace kavex
