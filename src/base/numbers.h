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
#include <cstdint>
#include <string>
#include <string_view>

namespace kavex {

double parseLeading(std::string_view text);
inline float parseSingle(std::string_view text) {
    return static_cast<float>(parseLeading(text));
}

// Nearest integer, halves to even. Throws Failure("Overflow") outside the type's range.
int32_t roundToInt32(double value);
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

// Str form without its leading blank.
std::string strSingleTrimmed(float value);

struct NumberLocale {
    char decimalSeparator = '.';
};
std::string localeSingle(float value, NumberLocale locale);
std::string localeDouble(double value, NumberLocale locale);

} // namespace kavex
