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
            return static_cast<unsigned>(_mm_movemask_epi8(
                _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)), wanted)));
        };
        // Four steps inline; a longer stretch goes to memchr.
        for (int step = 0; step < 4 && end - p >= 16; ++step, p += 16)
            if (const unsigned found = hits(p)) return p + __builtin_ctz(found);
        if (end - p >= 16)
            return static_cast<const char*>(std::memchr(p, c, static_cast<std::size_t>(end - p)));
        if (p == end) return nullptr;
        // The last sixteen bytes, those compared already left out.
        const int done = static_cast<int>(16 - (end - p));
        if (const unsigned found = hits(end - 16) >> done) return p + __builtin_ctz(found);
        return nullptr;
    }
#endif
    return p == end ? nullptr
                    : static_cast<const char*>(std::memchr(p, c, static_cast<std::size_t>(end - p)));
}

// Where bytes of value `highest` or below lie among the 64 at p (all readable): bit i set
// for p[i]. Control characters are found this way with one comparison per byte.
inline uint64_t bytesUpToIn64(const char* p, unsigned char highest) {
    uint64_t found = 0;
#if defined(__SSE2__)
    const __m128i limit = _mm_set1_epi8(static_cast<char>(highest));
    for (int k = 0; k < 4; ++k) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        const __m128i atMost = _mm_cmpeq_epi8(_mm_min_epu8(chunk, limit), chunk);
        found |= uint64_t{static_cast<uint32_t>(_mm_movemask_epi8(atMost))} << (16 * k);
    }
#else
    for (int i = 0; i < 64; ++i)
        found |= uint64_t{static_cast<unsigned char>(p[i]) <= highest} << i;
#endif
    return found;
}

} // namespace kavex
