#pragma once
// Reading the first fields of a ";"-separated text of plain decimals in one pass, the way
// the price stream sends them ("17; 101.5;.25; 300"): what splitting the text and reading
// each field with parseLeading gives, bit for bit, without storing the fields.
//
// The whole text is classified at once, sixteen characters per step: which characters are
// digits, separators, points, blanks and signs. When every character is one of those and
// each field has the plain form (one blank at most, then an optional minus, digits with at
// most one point, eight characters at most), each field's digits are converted as one
// 64-bit word, with no branch on the data. Any other text is left to the field-by-field
// reading, which takes the general way where it must.
#include "base/numbers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <cpuid.h>
#include <emmintrin.h>
#include <smmintrin.h> // used only where the processor has it (pairsRunHere)
#include <tmmintrin.h>
#endif

namespace kavex {
namespace plain_fields {

// Longer texts are left to the field-by-field reading; the masks have one bit per character.
inline constexpr std::size_t kMaxText = 55; // the point bits, moved up by 8, stay inside 64

struct CharacterClasses {
    uint64_t digit = 0, separator = 0, point = 0, blank = 0, minus = 0;
};

inline uint64_t load8(const char* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}

// The first min(size, 8) characters as a little-endian word, the rest 0, reading no byte
// outside the text.
inline uint64_t loadFront(const char* p, std::size_t size) {
    if (size >= 8) return load8(p);
    uint64_t word = 0;
    if (size >= 4) {
        uint32_t low, high; // overlapping
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + size - 4, 4);
        return low | (uint64_t{high} << (8 * (size - 4)));
    }
    for (std::size_t i = 0; i < size; ++i)
        word |= uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
    return word;
}

#if defined(__SSE2__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__

// What the reading in pairs needs of the processor; pairsRunHere() asks for the same. A
// function marked with it may inline the reading, and is called only where it runs.
#define KAVEX_PAIRS_FUNCTION [[gnu::target("ssse3,sse4.1,bmi,bmi2,popcnt,lzcnt")]]

// Adds the classes of 16 characters, whose bits are shifted right by `dropLow` (characters
// already classified) and then placed from bit `at` on.
[[gnu::always_inline]] inline void classify(__m128i chars, int dropLow, int at, CharacterClasses& c) {
    const auto bits = [&](__m128i is) {
        return (static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(is))) >> dropLow) << at;
    };
    const __m128i digit = _mm_and_si128(_mm_cmpgt_epi8(chars, _mm_set1_epi8('0' - 1)),
                                        _mm_cmplt_epi8(chars, _mm_set1_epi8('9' + 1)));
    const __m128i minus = _mm_cmpeq_epi8(chars, _mm_set1_epi8('-'));
    c.digit |= bits(digit);
    c.separator |= bits(_mm_cmpeq_epi8(chars, _mm_set1_epi8(';')));
    c.point |= bits(_mm_cmpeq_epi8(chars, _mm_set1_epi8('.')));
    c.blank |= bits(_mm_cmpeq_epi8(chars, _mm_set1_epi8(' ')));
    c.minus |= bits(minus);
}

inline __m128i loadChunk(const char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The text copied behind eight zero bytes, so that the eight characters in front of any
// place in it are one load, whether or not the text has eight characters there.
struct PaddedText {
    alignas(16) char bytes[8 + 64];
    // The eight characters that end at `end` (0 <= end <= size), the last in the highest byte.
    uint64_t windowEndingAt(int end) const { return load8(bytes + end); }
};

// Classifies the whole text (at most kMaxText characters), reading no byte outside it, and
// copies it into `copy`.
[[gnu::always_inline]] inline CharacterClasses classifyText(const char* p, std::size_t size,
                                                            PaddedText& copy) {
    CharacterClasses c;
    std::memset(copy.bytes, 0, 8);
    char* const to = copy.bytes + 8;
    const int whole = static_cast<int>(size / 16);
    for (int k = 0; k < whole; ++k) {
        const __m128i chunk = loadChunk(p + 16 * k);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 16 * k), chunk);
        classify(chunk, 0, 16 * k, c);
    }
    const int rest = static_cast<int>(size % 16);
    if (rest == 0) return c;
    if (size >= 16) {
        // The last sixteen characters; those classified already are shifted out.
        const __m128i chunk = loadChunk(p + size - 16);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + size - 16), chunk);
        classify(chunk, 16 - rest, 16 * whole, c);
    } else {
        const uint64_t low = loadFront(p, size);
        const uint64_t high = size > 8 ? load8(p + size - 8) >> (8 * (16 - size)) : 0;
        const __m128i chunk = _mm_set_epi64x(static_cast<int64_t>(high), static_cast<int64_t>(low));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), chunk);
        classify(chunk, 0, 0, c);
    }
    return c;
}

// Eight digit values 0..9, the most significant in the lowest byte, as one number.
inline uint32_t eightDigits(uint64_t d) {
    d = d * 10 + (d >> 8);
    constexpr uint64_t kLowBytes = 0x000000FF000000FF;
    d = (((d & kLowBytes) * (100 + (uint64_t{1000000} << 32))) +
         (((d >> 16) & kLowBytes) * (1 + (uint64_t{10000} << 32)))) >>
        32;
    return static_cast<uint32_t>(d);
}

// Every power of ten up to 1e8 and every integer below 2^32 are exact doubles, so their
// quotient, one division, is rounded correctly, as the general conversion rounds.
inline constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};

// Masks of the classified text that each field's reading uses.
struct FieldMasks {
    uint64_t separators;
    uint64_t digitsAndPointsAfter; // bit i + 1 for each digit or point at i
    uint64_t minusAfter;           // bit i + 1 for each '-' at i
    uint64_t pointsAfter;          // bit i + 8 for each point at i: (pointsAfter >> end) & 0xFF are
                                   // the points among the eight characters in front of `end`
};

// Classifies the text into `copy` and checks that every character belongs to a plain field:
// one blank at most, in front of a field; a sign first or after that blank; digits and
// points, eight at most in a row.
[[gnu::always_inline]] inline bool plainMasks(std::string_view text, FieldMasks& masks, PaddedText& copy) {
    const std::size_t size = text.size();
    if (size > kMaxText) return false;
    const CharacterClasses c = classifyText(text.data(), size, copy);
    const uint64_t all = (uint64_t{1} << size) - 1;
    const uint64_t digitsAndPoints = c.digit | c.point;
    // A '+' sign is rare on the wire; such texts are read field by field.
    if ((digitsAndPoints | c.separator | c.blank | c.minus) != all) return false;
    const uint64_t starts = ((c.separator << 1) | 1) & all;
    if ((c.blank & ~starts) != 0 || (c.minus & ~(starts | ((c.blank & starts) << 1))) != 0) return false;
    // Bit i stays set where the 2, 4, 8 and then 9 characters from i on are digits or points.
    uint64_t run = digitsAndPoints & (digitsAndPoints >> 1);
    run &= run >> 2;
    run &= run >> 4;
    if ((run & (digitsAndPoints >> 8)) != 0) return false;
    masks = {c.separator, digitsAndPoints << 1, c.minus << 1, c.point << 8};
    return true;
}

// The bytes of the last `length` characters of a window, and the same as bits.
inline constexpr uint64_t kWindowBytes[9] = {0,
                                             0xFF00000000000000,
                                             0xFFFF000000000000,
                                             0xFFFFFF0000000000,
                                             0xFFFFFFFF00000000,
                                             0xFFFFFFFFFF000000,
                                             0xFFFFFFFFFFFF0000,
                                             0xFFFFFFFFFFFFFF00,
                                             0xFFFFFFFFFFFFFFFF};
inline constexpr unsigned kWindowBits[9] = {0, 0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE, 0xFF};

// One field, found: the eight characters that end where it ends (its last digit in the
// highest byte), how many of them are its digits and point, and which byte is the point
// (8 for none).
struct FieldParts {
    uint64_t window = 0;
    int length = 0;
    int pointByte = 8;
    bool negative = false;
};

// The field that ends at `end` (a separator or the end of the text); false when it has two
// points. No branch depends on the digits, which vary from update to update.
template <bool kSigned = true>
inline bool fieldParts(const PaddedText& copy, const FieldMasks& m, int end, FieldParts& out) {
    // Its digits and point run back from `end` to the blank, sign or separator in front:
    // at most eight (plainMasks).
    out.length = std::countl_one(m.digitsAndPointsAfter << (63 - end));
    const unsigned points = static_cast<unsigned>(m.pointsAfter >> end) & kWindowBits[out.length];
    if ((points & (points - 1)) != 0) return false;
    out.pointByte = std::countr_zero(points | 0x100u);
    out.negative = kSigned && ((m.minusAfter >> (end - out.length)) & 1) != 0;
    out.window = copy.windowEndingAt(end);
    return true;
}

// The first N fields found; missing fields (past the end of the text) stay empty.
template <std::size_t N>
inline bool findFields(std::string_view text, const FieldMasks& masks, const PaddedText& copy,
                       std::array<FieldParts, N>& fields) {
    const int size = static_cast<int>(text.size());
    uint64_t separators = masks.separators;
    int start = 0;
    for (FieldParts& field : fields) {
        if (start > size) break;
        const int end = separators != 0 ? std::countr_zero(separators) : size;
        separators &= separators - 1;
        if (!fieldParts(copy, masks, end, field)) return false;
        start = end + 1;
    }
    return true;
}

// A sign in front of no digit reads as 0, not as a negative zero.
inline uint64_t signBit(const FieldParts& f) {
    return uint64_t{f.negative && f.length > (f.pointByte < 8)} << 63;
}

// One field's value with 64-bit arithmetic (SSE2 only).
inline double valueOf(const FieldParts& f) {
    uint64_t d = (f.window ^ 0x3030303030303030) & kWindowBytes[f.length]; // '0'..'9' become 0..9
    // The point taken out: the digits in front of it move up one byte.
    const int pointByte = f.pointByte & 7;
    const uint64_t below = (uint64_t{1} << (8 * pointByte)) - 1;
    const uint64_t above = (~uint64_t{0} << (8 * pointByte)) << 8;
    const uint64_t hasPoint = uint64_t{0} - (f.pointByte < 8);
    d = (((d & above) | ((d & below) << 8)) & hasPoint) | (d & ~hasPoint);
    const int fractionDigits = (7 - pointByte) & static_cast<int>(hasPoint);
    const double magnitude = static_cast<double>(eightDigits(d)) / kPowersOfTen[fractionDigits];
    return std::bit_cast<double>(std::bit_cast<uint64_t>(magnitude) | signBit(f));
}

// The first N fields at once, each converted with 64-bit arithmetic; false when the text
// is longer than kMaxText or not of the plain form throughout (the values are then unusable).
template <std::size_t N> bool readAtOnceOneByOne(std::string_view text, std::array<double, N>& values) {
    FieldMasks masks;
    PaddedText copy;
    std::array<FieldParts, N> fields;
    if (!plainMasks(text, masks, copy) || !findFields(text, masks, copy, fields)) return false;
    for (std::size_t i = 0; i < N; ++i)
        values[i] = valueOf(fields[i]);
    return true;
}

// What a field's digits are moved to, by the shape of the field (length * 16 + pointByte):
// the digits without the point, the last in byte 7, and zeros in front; and what the
// number they make is divided by. Sixteen bytes, loaded as one.
struct alignas(16) FieldShape {
    std::array<uint8_t, 8> shuffle; // a window byte for each byte, 0x80 for a zero
    double divisor;                 // 10 to the number of digits after the point
};
inline constexpr std::array<FieldShape, 9 * 16> kFieldShapes = [] {
    std::array<FieldShape, 9 * 16> shapes{};
    for (int length = 0; length <= 8; ++length) {
        for (int pointByte = 0; pointByte <= 8; ++pointByte) {
            FieldShape& shape = shapes[static_cast<std::size_t>(length * 16 + pointByte)];
            int to = 7;
            for (int from = 7; from >= 8 - length; --from)
                if (from != pointByte)
                    shape.shuffle[static_cast<std::size_t>(to--)] = static_cast<uint8_t>(from);
            for (; to >= 0; --to)
                shape.shuffle[static_cast<std::size_t>(to)] = 0x80;
            shape.divisor = kPowersOfTen[pointByte < 8 ? 7 - pointByte : 0];
        }
    }
    return shapes;
}();

inline __m128i shapeOf(const FieldParts& f) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(
        &kFieldShapes[static_cast<std::size_t>(f.length * 16 + f.pointByte)]));
}

// Two fields' values with byte shuffles and multiply-adds, two at a time (SSSE3 and SSE4.1).
template <bool kSigned = true>
KAVEX_PAIRS_FUNCTION inline void twoValues(const FieldParts& a, const FieldParts& b, double* out, bool both) {
    const __m128i shapeA = shapeOf(a), shapeB = shapeOf(b);
    // The second window's bytes are 8..15; a zero's 0x80 stays >= 0x80.
    const __m128i controls =
        _mm_add_epi8(_mm_unpacklo_epi64(shapeA, shapeB), _mm_set_epi64x(0x0808080808080808, 0));
    const __m128d divisors = _mm_castsi128_pd(_mm_unpackhi_epi64(shapeA, shapeB));
    __m128i digits = _mm_sub_epi8(
        _mm_set_epi64x(static_cast<int64_t>(b.window), static_cast<int64_t>(a.window)), _mm_set1_epi8('0'));
    digits = _mm_shuffle_epi8(digits, controls);
    // Pairs, fours, eights of digits: 10a + b, 100ab + cd, 10000abcd + efgh.
    __m128i x = _mm_maddubs_epi16(digits, _mm_set1_epi16(0x010A));
    x = _mm_madd_epi16(x, _mm_set1_epi32(0x00010064));
    x = _mm_packus_epi32(x, x);
    x = _mm_madd_epi16(x, _mm_set1_epi32(0x00012710));
    const __m128d magnitudes = _mm_div_pd(_mm_cvtepi32_pd(x), divisors);
    __m128d values = magnitudes;
    if constexpr (kSigned)
        values = _mm_or_pd(values, _mm_castsi128_pd(_mm_set_epi64x(static_cast<int64_t>(signBit(b)),
                                                                   static_cast<int64_t>(signBit(a)))));
    if (both)
        _mm_storeu_pd(out, values);
    else
        _mm_storel_pd(out, values);
}

// The first N fields when the text has all of them: each pair is found and converted
// before the next, so the fields' parts stay in registers. Without a minus in the text
// (nearly always) no sign is looked at.
template <std::size_t N, bool kSigned>
KAVEX_PAIRS_FUNCTION [[gnu::always_inline]] inline bool
readPresentInPairs(const PaddedText& copy, const FieldMasks& masks, uint64_t ends,
                   std::array<double, N>& values) {
    const auto next = [&](FieldParts& field) {
        const int end = std::countr_zero(ends);
        ends &= ends - 1;
        return fieldParts<kSigned>(copy, masks, end, field);
    };
#pragma GCC unroll 4
    for (std::size_t i = 0; i < N; i += 2) {
        FieldParts a, b;
        if (!next(a) || (i + 1 < N && !next(b))) return false;
        twoValues<kSigned>(a, b, values.data() + i, i + 1 < N);
    }
    return true;
}

// The first N fields at once, converted two at a time; needs SSSE3, SSE4.1, BMI1, BMI2,
// POPCNT and LZCNT (pairsRunHere).
template <std::size_t N>
KAVEX_PAIRS_FUNCTION bool readAtOnceInPairs(std::string_view text, std::array<double, N>& values) {
    FieldMasks masks;
    PaddedText copy;
    if (!plainMasks(text, masks, copy)) return false;
    // Each field ends at a separator or at the end of the text.
    const uint64_t ends = masks.separators | (uint64_t{1} << text.size());
    if (static_cast<std::size_t>(std::popcount(ends)) >= N) {
        return masks.minusAfter == 0 ? readPresentInPairs<N, false>(copy, masks, ends, values)
                                     : readPresentInPairs<N, true>(copy, masks, ends, values);
    }
    // Fields past the end of the text read as 0.
    const int present = std::popcount(ends);
    uint64_t left = ends;
    const auto next = [&](FieldParts& field, std::size_t index) {
        if (static_cast<int>(index) >= present) return true; // a missing field stays empty
        const int end = std::countr_zero(left);
        left &= left - 1;
        return fieldParts(copy, masks, end, field);
    };
    for (std::size_t i = 0; i < N; i += 2) {
        FieldParts a, b;
        if (!next(a, i) || (i + 1 < N && !next(b, i + 1))) return false;
        twoValues(a, b, values.data() + i, i + 1 < N);
    }
    return true;
}

// LZCNT is bit 5 of ECX in CPUID leaf 0x80000001 (not every compiler's
// __builtin_cpu_supports knows its name).
inline bool lzcntRunsHere() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid(0x80000001, &eax, &ebx, &ecx, &edx) != 0 && (ecx & (1u << 5)) != 0;
}

inline bool pairsRunHere() {
    return __builtin_cpu_supports("ssse3") && __builtin_cpu_supports("sse4.1") &&
           __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2") &&
           __builtin_cpu_supports("popcnt") && lzcntRunsHere();
}

// The first N fields at once; false when the text is longer than kMaxText or not of the
// plain form throughout (the values are then unusable). `inPairs`: pairsRunHere(), asked
// once by the caller.
template <std::size_t N> bool readAtOnce(std::string_view text, std::array<double, N>& values, bool inPairs) {
    return inPairs ? readAtOnceInPairs(text, values) : readAtOnceOneByOne(text, values);
}

#else

// Without SSE2 every text is read field by field.
#define KAVEX_PAIRS_FUNCTION
inline bool pairsRunHere() {
    return false;
}
template <std::size_t N> bool readAtOnceOneByOne(std::string_view, std::array<double, N>&) {
    return false;
}
template <std::size_t N> bool readAtOnceInPairs(std::string_view, std::array<double, N>&) {
    return false;
}
template <std::size_t N> bool readAtOnce(std::string_view, std::array<double, N>&, bool) {
    return false;
}

#endif

} // namespace plain_fields

} // namespace kavex
