// Reading numbers from text, rounding to integers, and the Str and locale forms. Str must
// match the reference printf rounding for every value, including the near-ties and the
// decade boundaries where a fast path could slip.
#include "base/failure.h"
#include "base/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
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
    // The plain fast path agrees with the general conversion to the last bit.
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

std::string reference(double value, int digits) {
    if (value == 0 || std::isnan(value)) return " 0";
    char buf[64];
    std::string s(buf, static_cast<std::size_t>(std::snprintf(buf, sizeof buf, "%.*G", digits, value)));
    if (s.starts_with("0."))
        s.erase(0, 1);
    else if (s.starts_with("-0."))
        s.erase(1, 1);
    return value > 0 ? " " + s : s;
}

template <typename T> T fromBits(auto bits) {
    T v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

TEST(StrFormExactness, RandomBitPatternsMatchPrintfPlainAndAppended) {
    std::mt19937 rng(7);
    std::mt19937_64 rng64(11);
    for (int i = 0; i < 100000; ++i) {
        auto f = fromBits<float>(static_cast<uint32_t>(rng()));
        ASSERT_EQ(strSingle(f), reference(f, 7)) << f;
        std::string appended = "x";
        appendStrSingle(appended, f);
        ASSERT_EQ(appended, "x" + reference(f, 7));
        auto d = fromBits<double>(static_cast<uint64_t>(rng64()));
        ASSERT_EQ(strDouble(d), reference(d, 15)) << d;
    }
    std::string out;
    appendStrDouble(out, 46000.5);
    appendStrInt(out, -3);
    appendStrInt(out, 0);
    EXPECT_EQ(out, " 46000.5-3 0");
}

TEST(StrFormExactness, PricesTiesDecadeBoundariesAndDayNumbersMatchPrintf) {
    for (int cents = -200000; cents <= 200000; ++cents) {
        float v = static_cast<float>(cents) / 64.0f; // exact binary fractions, many exact ties
        ASSERT_EQ(strSingle(v), reference(v, 7)) << v;
    }
    for (int e = -45; e <= 38; ++e) {
        double p = std::pow(10.0, e);
        for (double v : {p, std::nextafter(p, 0.0), std::nextafter(p, 1e300), 9.9999995 * p, 9.9999994 * p}) {
            auto f = static_cast<float>(v);
            ASSERT_EQ(strSingle(f), reference(f, 7)) << v;
            ASSERT_EQ(strDouble(v), reference(v, 15)) << v;
        }
    }
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> days(0.0, 80000.0);
    for (int i = 0; i < 60000; ++i) {
        double t = days(rng);
        double ms = std::floor(t) + std::floor((t - std::floor(t)) * 86400000.0) / 86400000.0;
        ASSERT_EQ(strDouble(t), reference(t, 15)) << t;
        ASSERT_EQ(strDouble(ms), reference(ms, 15)) << ms;
    }
}

} // namespace
} // namespace kavex
