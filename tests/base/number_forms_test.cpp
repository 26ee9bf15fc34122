// Reading numbers from text, rounding to integers, and the Str and locale forms.
#include "base/failure.h"
#include "base/numbers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace kavex {
namespace {

TEST(LeadingNumberParse, ReadsTheLeadingNumberOfAnyText) {
    const double inf = std::numeric_limits<double>::infinity();
    // "," is no decimal point whatever the locale, blanks are skipped, an exponent needs digits,
    // long digit runs are read whole.
    // clang-format off
    const std::vector<std::pair<std::string, double>> rows = {
        {"101.5", 101.5}, {"  -17", -17}, {"+3", 3}, {".5", 0.5}, {"12abc", 12}, {"1.2.3", 1.2}, {"7;8", 7},
        {"1,5", 1}, {"", 0}, {"abc", 0}, {"-", 0}, {".", 0}, {"   ", 0}, {"E5", 0}, {"1.5E-07", 1.5e-7},
        {" 1.234568E+07", 12345680}, {"2e3x", 2000}, {"2E", 2}, {"1 2", 12}, {"1e999", inf},
        {std::string(85, '0') + "5", 5}, {"1" + std::string(100, '0'), 1e100},
        {"1" + std::string(79, '0') + "E5", 1e84}, {"0." + std::string(30, '0') + "1", 1e-31},
        {std::string(500, '9'), inf}};
    // clang-format on
    for (const auto& [text, expected] : rows)
        EXPECT_DOUBLE_EQ(parseLeading(text), expected) << text;
}

TEST(LeadingNumberParse, ThePlainFastPathAgreesWithTheGeneralConversion) {
    for (const char* t : {"101.5", "-0.25", "123456789012345", "1234567890123456", "0.1", "99.99", "-7.",
                          "+.5", "3.14159265358979", "0.000001", "42;7", "12abc"})
        EXPECT_EQ(parseLeading(t), std::strtod(t, nullptr)) << t;
}

TEST(NearestInteger, HalvesGoToTheEvenNeighbourAndValuesOutsideTheTypeOverflow) {
    for (auto [value, expected] : std::vector<std::pair<double, int32_t>>{
             {0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {-3.5, -4}, {2.51, 3}})
        EXPECT_EQ(roundToInt32(value), expected) << value;
    EXPECT_EQ((std::vector<int>{parseInt32("10.5"), parseInt16(" 11.5;"), roundToInt16(32767.4),
                                roundToInt16(-32768)}),
              (std::vector<int>{10, 12, 32767, -32768}));
    EXPECT_THROW(roundToInt16(32767.5), Failure); // rounds to 32768
    EXPECT_THROW(roundToInt32(3e9), Failure);
    EXPECT_THROW(parseInt32("1e999"), Failure);
}

// Str itself is compared with printf in str_form_exactness_test.cpp.
TEST(StrForm, TrimmedFormAndReadingBack) {
    EXPECT_EQ((std::vector<std::string>{strSingle(-0.0f), strSingleTrimmed(0.5f), strSingleTrimmed(-3.0f)}),
              (std::vector<std::string>{" 0", ".5", "-3"}));
    for (float v : {0.5f, 101.25f, -99.125f, 1.5e-7f, 3.4e20f, 12345.67f})
        EXPECT_EQ(parseSingle(strSingle(v)), v) << strSingle(v);
}

TEST(LocaleForm, UsesTheLocaleSeparatorAndKeepsTheLeadingZero) {
    const NumberLocale de{','};
    EXPECT_EQ(
        (std::vector<std::string>{localeSingle(1.5f, de), localeSingle(0.5f, de), localeSingle(-2.0f, de),
                                  localeSingle(0.0f, de), localeDouble(1234.25, NumberLocale{'.'})}),
        (std::vector<std::string>{"1,5", "0,5", "-2", "0", "1234.25"}));
    EXPECT_DOUBLE_EQ(parseLeading(decimalCommaToPoint("99,75")), 99.75);
}

} // namespace
} // namespace kavex
