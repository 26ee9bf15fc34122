#include "base/numbers.h"

#include "base/failure.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace kavex {
namespace {

using u128 = unsigned __int128;

constexpr std::array<u128, 39> kPowersOfTen = [] {
    std::array<u128, 39> p{};
    p[0] = 1;
    for (std::size_t i = 1; i < p.size(); ++i)
        p[i] = p[i - 1] * 10;
    return p;
}();

int bitLength(u128 v) {
    int n = 0;
    while (v >> 64) {
        v >>= 64;
        n += 64;
    }
    return n + (v == 0 ? 0 : 64 - __builtin_clzll(static_cast<uint64_t>(v)));
}

// |value| rounded to `digits` significant digits (the exact binary value, ties to even,
// as printf does it): the digits as an integer and the decimal exponent of the first.
// Exact 128-bit arithmetic; false for subnormal values and others beyond its range.
bool roundToDigits(double magnitude, int digits, uint64_t& rounded, int& exponent) {
    uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biased = static_cast<int>(bits >> 52);
    if (biased == 0) return false;
    uint64_t mantissa =
        (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52); // magnitude = mantissa * 2^q
    int q = biased - 1075;
    const int zeros = __builtin_ctzll(mantissa);
    mantissa >>= zeros;
    q += zeros;
    // A first guess from the binary exponent; the loop corrects it by one where needed.
    int e = static_cast<int>(std::floor((biased - 1023) * 0.30102999566398120));
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int k = digits - 1 - e; // wanted: round(magnitude * 10^k)
        if (k > 38 || -k > 38) return false;
        u128 quotient = 0;
        if (k >= 0 && q <= 0) {
            // The usual case: a power of two below, so shifts instead of a division.
            const u128 scale = kPowersOfTen[static_cast<std::size_t>(k)];
            if (bitLength(mantissa) + bitLength(scale) > 126 || -q > 126) return false;
            const u128 numerator = mantissa * scale;
            const int shift = -q;
            quotient = numerator >> shift;
            if (shift > 0) {
                const u128 remainder = numerator & ((u128{1} << shift) - 1);
                const u128 half = u128{1} << (shift - 1);
                if (remainder > half || (remainder == half && (quotient & 1) != 0)) ++quotient;
            }
        } else {
            u128 numerator = mantissa;
            u128 denominator = 1;
            if (k > 0) {
                if (bitLength(numerator) + bitLength(kPowersOfTen[static_cast<std::size_t>(k)]) > 126)
                    return false;
                numerator *= kPowersOfTen[static_cast<std::size_t>(k)];
            } else if (k < 0) {
                denominator = kPowersOfTen[static_cast<std::size_t>(-k)];
            }
            if (q > 0) {
                if (bitLength(numerator) + q > 126) return false;
                numerator <<= q;
            } else if (q < 0) {
                if (bitLength(denominator) - q > 126) return false;
                denominator <<= -q;
            }
            quotient = numerator / denominator;
            const u128 twiceRemainder = (numerator % denominator) * 2;
            if (twiceRemainder > denominator || (twiceRemainder == denominator && (quotient & 1) != 0))
                ++quotient;
        }
        if (quotient >= kPowersOfTen[static_cast<std::size_t>(digits)]) {
            ++e; // guess one too low, or rounding carried into a new digit
        } else if (quotient < kPowersOfTen[static_cast<std::size_t>(digits - 1)]) {
            --e;
        } else {
            rounded = static_cast<uint64_t>(quotient);
            exponent = e;
            return true;
        }
    }
    return false;
}

// Writes `count` decimal digits of `value` (leading zeros included) to `out`.
void writeDigits(uint32_t value, char* out, int count) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    for (; count >= 2; count -= 2) {
        std::memcpy(out + count - 2, kPairs + 2 * (value % 100), 2);
        value /= 100;
    }
    if (count == 1) out[0] = static_cast<char>('0' + value % 10);
}

// Formats in the %G style with the given significant digits ("0.5", "1.5E-07") into
// `out` (room for 40 characters); returns the length.
std::size_t generalForm(double value, int digits, char* out) {
    uint64_t rounded = 0;
    int x = 0;
    if (!std::isfinite(value) || value == 0 || !roundToDigits(std::fabs(value), digits, rounded, x))
        return static_cast<std::size_t>(std::snprintf(out, 40, "%.*G", digits, value));
    char d[20];
    // Two independent halves of at most eight digits each, two digits per step.
    writeDigits(static_cast<uint32_t>(rounded % 100000000), d + digits - std::min(digits, 8),
                std::min(digits, 8));
    if (digits > 8) writeDigits(static_cast<uint32_t>(rounded / 100000000), d, digits - 8);
    int used = digits; // significant digits left after dropping trailing zeros
    while (used > 1 && d[used - 1] == '0')
        --used;
    std::size_t n = 0;
    if (value < 0) out[n++] = '-';
    if (x < -4 || x >= digits) {
        out[n++] = d[0];
        if (used > 1) {
            out[n++] = '.';
            for (int i = 1; i < used; ++i)
                out[n++] = d[i];
        }
        out[n++] = 'E';
        out[n++] = x < 0 ? '-' : '+';
        int a = x < 0 ? -x : x;
        if (a >= 100) out[n++] = static_cast<char>('0' + a / 100);
        out[n++] = static_cast<char>('0' + a / 10 % 10);
        out[n++] = static_cast<char>('0' + a % 10);
    } else if (x >= 0) {
        for (int i = 0; i <= x; ++i)
            out[n++] = d[i];
        if (used > x + 1) {
            out[n++] = '.';
            for (int i = x + 1; i < used; ++i)
                out[n++] = d[i];
        }
    } else {
        out[n++] = '0';
        out[n++] = '.';
        for (int i = -1; i > x; --i)
            out[n++] = '0';
        for (int i = 0; i < used; ++i)
            out[n++] = d[i];
    }
    return n;
}

void appendStrForm(std::string& out, double value, int digits) {
    if (value == 0 || std::isnan(value)) {
        out += " 0";
        return;
    }
    char buf[40];
    std::string_view s(buf, generalForm(value, digits, buf));
    if (s.starts_with("0.")) s.remove_prefix(1);
    if (value > 0) out += ' ';
    if (s.starts_with("-0.")) {
        out += '-';
        s.remove_prefix(2);
    }
    out += s;
}

std::string strForm(double value, int digits) {
    std::string s;
    appendStrForm(s, value, digits);
    return s;
}

std::string localeForm(double value, int digits, NumberLocale locale) {
    if (value == 0 || std::isnan(value)) return "0";
    char buf[40];
    std::string s(buf, generalForm(value, digits, buf));
    for (char& c : s)
        if (c == '.') c = locale.decimalSeparator;
    return s;
}

} // namespace

int32_t roundToInt32Nearest(double value) {
    double r = std::nearbyint(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) failOverflow();
    return static_cast<int32_t>(r);
}

int16_t roundToInt16(double value) {
    double r = std::nearbyint(value);
    if (!(r >= -32768.0 && r <= 32767.0)) failOverflow();
    return static_cast<int16_t>(r);
}

std::string decimalCommaToPoint(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c == ',') c = '.';
    return s;
}

std::string strSingle(float value) {
    return strForm(value, 7);
}
std::string strDouble(double value) {
    return strForm(value, 15);
}

std::string strInt(int64_t value) {
    std::string s = std::to_string(value);
    if (value >= 0) s.insert(s.begin(), ' ');
    return s;
}

void appendStrSingle(std::string& out, float value) {
    appendStrForm(out, value, 7);
}
void appendStrDouble(std::string& out, double value) {
    appendStrForm(out, value, 15);
}

void appendStrInt(std::string& out, int64_t value) {
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    (void)ec;
    if (value >= 0) out += ' ';
    out.append(buf, end);
}

double decimalOfSingleByText(float value) {
    char digits[32];
    const auto printed = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 7);
    double result = value;
    std::from_chars(digits, printed.ptr, result);
    return result;
}

double decimalOfSingle(float value) {
    // Between 1e-3 and 1e7 the 7 digits are the single scaled by 10^k (k <= 9) and rounded
    // to a whole number. The product is exact (24 bits times 5^k of at most 21 bits), so
    // rounding it (ties to even, as the printing does) gives exactly the printed digits,
    // and dividing them by the exact 10^k rounds as reading them back does.
    static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const double v = value;
    const double a = std::fabs(v);
    if (!(a >= 1e-3 && a < 1e7)) return decimalOfSingleByText(value);
    int k = 0; // 10^(6-k) <= a < 10^(7-k)
    while (k < 9 && a * kPow10[k] < 1e6)
        ++k;
    const double scaled = std::nearbyint(v * kPow10[k]);
    if (std::fabs(scaled) >= 1e7) return decimalOfSingleByText(value); // rounded up past 7 digits
    return scaled / kPow10[k];
}

std::string strSingleTrimmed(float value) {
    std::string s = strSingle(value);
    if (!s.empty() && s.front() == ' ') s.erase(0, 1);
    return s;
}

std::string localeSingle(float value, NumberLocale locale) {
    return localeForm(value, 7, locale);
}
std::string localeDouble(double value, NumberLocale locale) {
    return localeForm(value, 15, locale);
}

} // namespace kavex
