#include "base/numbers.h"

#include "base/failure.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace kavex {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Formats in the %G style with the given significant digits ("0.5", "1.5E-07").
std::string generalForm(double value, int digits) {
    char buf[40];
    int n = std::snprintf(buf, sizeof buf, "%.*G", digits, value);
    return std::string(buf, static_cast<std::size_t>(n));
}

std::string strForm(double value, int digits) {
    if (value == 0 || std::isnan(value)) return " 0";
    std::string s = generalForm(value, digits);
    if (s.starts_with("0.")) s.erase(0, 1);
    else if (s.starts_with("-0.")) s.erase(1, 1);
    if (value > 0) s.insert(s.begin(), ' ');
    return s;
}

std::string localeForm(double value, int digits, NumberLocale locale) {
    if (value == 0 || std::isnan(value)) return "0";
    std::string s = generalForm(value, digits);
    for (char& c : s)
        if (c == '.') c = locale.decimalSeparator;
    return s;
}

} // namespace

double parseLeading(std::string_view text) {
    // Copy the number's characters (blanks dropped) into a small buffer, then convert.
    char buf[80];
    std::size_t n = 0;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && isBlank(text[i])) ++i;
    };
    auto put = [&](char c) {
        if (n < sizeof buf) buf[n++] = c;
    };
    skipBlanks();
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-') put('-');
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (isDigit(c)) {
            put(c);
            digits = true;
        } else if (c == '.' && !point) {
            put(c);
            point = true;
        } else if (!isBlank(c)) {
            break;
        }
    }
    if (!digits) return 0.0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        std::size_t mark = n;
        std::size_t j = i + 1;
        put('e');
        if (j < text.size() && (text[j] == '-' || text[j] == '+')) put(text[j++]);
        bool expDigits = false;
        for (; j < text.size() && (isDigit(text[j]) || isBlank(text[j])); ++j) {
            if (isDigit(text[j])) {
                put(text[j]);
                expDigits = true;
            }
        }
        if (!expDigits) n = mark;
    }
    double value = 0;
    auto [ptr, ec] = std::from_chars(buf, buf + n, value);
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone on overflow; saturate like a reader would.
        value = (buf[0] == '-') ? -std::numeric_limits<double>::infinity()
                                : std::numeric_limits<double>::infinity();
        if (n > 0 && std::string_view(buf, n).find("e-") != std::string_view::npos) value = 0;
    }
    (void)ptr;
    return value;
}

int32_t roundToInt32(double value) {
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

std::string strSingle(float value) { return strForm(value, 7); }
std::string strDouble(double value) { return strForm(value, 15); }

std::string strInt(int64_t value) {
    std::string s = std::to_string(value);
    if (value >= 0) s.insert(s.begin(), ' ');
    return s;
}

std::string strSingleTrimmed(float value) {
    std::string s = strSingle(value);
    if (!s.empty() && s.front() == ' ') s.erase(0, 1);
    return s;
}

std::string localeSingle(float value, NumberLocale locale) { return localeForm(value, 7, locale); }
std::string localeDouble(double value, NumberLocale locale) { return localeForm(value, 15, locale); }

} // namespace kavex
