#pragma once
// The number forms used on the wire, in files and on screen.
//
// Reading: `parseLeading` skips blanks, reads an optional sign, digits with "." as
// decimal point and an optional exponent, and stops at the first character that cannot
// continue the number; no number reads as 0. Integers take the nearest value, halves to
// the even neighbour; values that do not fit fail with "Overflow".
//
// Writing: the Str form ("." decimal point, no trailing zeros, a leading blank for
// values >= 0, no zero before the point: " .5", " 101.5", "-2", " 1.5E-07"), with 7
// significant digits for single and 15 for double values; and the locale form (no
// leading blank, the locale's decimal separator, "0,5").
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kavex {

double parseLeading(std::string_view text);
inline float parseSingle(std::string_view text) {
    return static_cast<float>(parseLeading(text));
}

// The same reading without the shortcut for plain decimals: gathers the number's
// characters and converts them. parseLeading gives the same value for every text.
double parseLeadingGeneral(std::string_view text);

// The forms nearly every number on the wire takes: blanks, an optional sign, at most 19
// digits with at most one point. Reads one at `begin`; true with the value parseLeading
// gives, `next` at the first character after it, which cannot continue the number, and
// `stop` that character ('\0' at the end). False when the text needs the general reading
// (a blank or an exponent after the digits, more digits, a mantissa beyond 2^53); `out`
// is then left unusable.
struct PlainDecimal {
    double value;
    const char* next;
    char stop;
};
bool readPlainDecimal(const char* begin, const char* end, PlainDecimal& out);

// One field of a text cut at ";", at `p` in the text that starts at `textBegin`; moves `p` past its ";".
// Past the end of the text a field reads as 0, as a missing field does. A double quote,
// which changes where fields end, stops a number in front of a character other than
// ";", so such a text goes the general way.
bool readPlainField(const char*& p, const char* end, const char* textBegin, double& value);

// The first N fields of a text cut at ";" (SplitFields), each read with the leading-number
// parse, field by field and without storing them. True when each of them is a plain decimal
// followed by ";" or the end of the text; the values are then exactly what splitting and
// parsing give (missing fields read as 0). False otherwise: the caller takes the general
// way. plain_fields::readAtOnce (base/plain_fields.h) reads the usual short forms faster.
template <std::size_t N> bool readPlainFieldsOneByOne(std::string_view text, std::array<double, N>& values) {
    const char* p = text.data();
    for (double& value : values)
        if (!readPlainField(p, text.data() + text.size(), text.data(), value)) return false;
    return true;
}

// Nearest integer, halves to even. Throws Failure("Overflow") outside the type's range.
int32_t roundToInt32Nearest(double value);
inline int32_t roundToInt32(double value) {
    // Whole numbers in range, nearly every value read, need no rounding.
    if (value >= -2147483648.0 && value <= 2147483647.0) {
        const auto whole = static_cast<int32_t>(value);
        if (static_cast<double>(whole) == value) return whole;
    }
    return roundToInt32Nearest(value);
}
int16_t roundToInt16(double value);
inline int32_t parseInt32(std::string_view text) {
    return roundToInt32(parseLeading(text));
}
inline int16_t parseInt16(std::string_view text) {
    return roundToInt16(parseLeading(text));
}

// Text typed by the user may use a decimal comma; it is read as a point.
std::string decimalCommaToPoint(std::string_view text);

std::string strSingle(float value);
std::string strDouble(double value);
std::string strInt(int64_t value);

// The same forms appended to `out`, for writers of many numbers.
void appendStrSingle(std::string& out, float value);
void appendStrDouble(std::string& out, double value);
void appendStrInt(std::string& out, int64_t value);

// The decimal a single stands for: its 7 significant digits, the digits Str shows, as the
// nearest double (88.42 rather than the single's exact 88.4199981...).
double decimalOfSingle(float value);
// The same by printing and reading the digits back; the reference for the fast way.
double decimalOfSingleByText(float value);

// Str form without its leading blank.
std::string strSingleTrimmed(float value);

struct NumberLocale {
    char decimalSeparator = '.';
};
std::string localeSingle(float value, NumberLocale locale);
std::string localeDouble(double value, NumberLocale locale);

} // namespace kavex
