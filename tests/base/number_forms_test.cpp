// Reading numbers from text, rounding to integers, and the Str and locale forms. Str must
// match the reference printf rounding for every value, including the near-ties and the
// decade boundaries where a fast path could slip.
#include "base/failure.h"
#include "base/numbers.h"
#include "base/plain_fields.h"
#include "base/split_fields.h"

#include <gtest/gtest.h>

#include <array>
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

// The shortcut for plain decimals gives the general reading's value, bit for bit: on the
// texts the Str form writes for single and double values of every exponent (with and
// without the blank, signed, followed by a separator or an exponent), on the 2^53 and
// 19/20-digit limits with the point at every place, and on random texts of number
// characters. Reading fields in one pass gives what splitting and parsing give.
bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(LeadingNumberParse, ShortcutAgreesWithTheGeneralReadingOnEveryText) {
    int failures = 0;
    auto check = [&](const std::string& body) {
        for (const char* prefix : {"", " ", "-", " +", "  ", "\t"})
            for (const char* suffix : {"", ";7", " ", "E3", "e", "x", "."}) {
                const std::string t = prefix + body + suffix;
                if (!sameBits(parseLeading(t), parseLeadingGeneral(t)) && ++failures <= 10)
                    ADD_FAILURE() << t;
            }
    };
    for (std::string digits : {"9007199254740992", "9007199254740993", "18446744073709551615", "99999999",
                               "1234567", "12345678", "1000000000000000000", "10000000000000000000", "0"}) {
        check(digits);
        for (std::size_t point = 0; point <= digits.size(); ++point)
            check(digits.substr(0, point) + "." + digits.substr(point));
    }
    std::mt19937 rng(26);
    std::mt19937_64 rng64(26);
    for (int i = 0; i < 4000; ++i) {
        const auto f = fromBits<float>(static_cast<uint32_t>(rng()));
        const auto d = fromBits<double>(static_cast<uint64_t>(rng64()));
        for (const std::string& t : {strSingle(f), strSingleTrimmed(f), strDouble(f), strDouble(d)})
            check(t);
    }
    const std::string alphabet = "0123456789012345678901234567890123456789.. -+eE;\t\"x";
    for (int i = 0; i < 250000; ++i) {
        std::string t(rng() % 20, ' ');
        for (char& c : t)
            c = alphabet[rng() % alphabet.size()];
        if (!sameBits(parseLeading(t), parseLeadingGeneral(t)) && ++failures <= 10) ADD_FAILURE() << t;
    }
    EXPECT_EQ(failures, 0);
}

// Both one-pass readers give what splitting and the general parse give, on texts built
// from plain and not-so-plain fields of every length up to past the longest text read at
// once; and the reader at once takes the texts of the price stream.
#if defined(__SSE2__) && defined(__GNUC__) && !defined(__clang__)
// The pair reading is chosen by asking the processor; a wrong answer would leave it unused
// (or worse, run it where it cannot run).
TEST(LeadingNumberParse, TheProcessorIsAskedForLzcntAsTheCompilerWould) {
    EXPECT_EQ(plain_fields::lzcntRunsHere(), __builtin_cpu_supports("lzcnt") != 0);
}
#endif

TEST(LeadingNumberParse, PlainFieldsReadAsSplittingAndParsingWouldOrGoTheGeneralWay) {
    std::array<double, 6> values{};
    ASSERT_TRUE(plain_fields::readAtOnceOneByOne(std::string_view("12; 101.5;.25;10;-.5"), values));
    EXPECT_EQ(values, (std::array<double, 6>{12, 101.5, 0.25, 10, -0.5, 0}));
    for (const char* stream : {"17; 15209.25; .5; 300; .75; 120", "200;10049.5;.25;1;.5;500", "3; 10", "3",
                               "", "1;-0;-.5;7.;.;-", "12; 99999999;.0000001;1.234567"})
        EXPECT_TRUE(plain_fields::readAtOnce(std::string_view(stream), values, false) &&
                    plain_fields::readAtOnce(std::string_view(stream), values, plain_fields::pairsRunHere()))
            << stream;
    for (const char* other : {"1; 123456789", "1;1e3", "1;  5", "1;5 ", "1;\"5\"", "1;1.2.3", "1;\t5",
                              "1;- 5", "1;+-5", "1;+5", "1;5-"})
        EXPECT_FALSE(plain_fields::readAtOnce(std::string_view(other), values, false) ||
                     plain_fields::readAtOnce(std::string_view(other), values, plain_fields::pairsRunHere()))
            << other;

    std::mt19937 rng(5);
    const std::vector<std::string> tokens = {
        "",         " ",         "12",        " 101.5",    ".25", "-3",  "7.",  "1e3",      "1 2",
        "\"",       "x",         "12345678",  "0.0000001", ";",   "+.5", "-0",  ".",        " -.5",
        "99999999", "1.2345678", "123456789", "9.",        " +0", "-",   "\t1", "\xc3\xa4", "00000001.5"};
    int atOnce = 0, oneByOne = 0;
    for (int i = 0; i < 150000; ++i) {
        std::string text;
        for (int k = static_cast<int>(rng() % 14); k > 0; --k)
            text += tokens[rng() % tokens.size()] + (rng() % 4 != 0 ? ";" : "");
        const Fields fields = SplitFields(text, ";", 20);
        const auto agrees = [&](const std::array<double, 6>& read, const char* reader) {
            for (int f = 1; f <= 6; ++f)
                ASSERT_TRUE(sameBits(read[f - 1], parseLeadingGeneral(fields[f])))
                    << reader << " " << text << " field " << f;
        };
        std::array<double, 6> read{};
        if (plain_fields::readAtOnceOneByOne(std::string_view(text), read)) {
            ++atOnce;
            agrees(read, "at once, one by one");
        }
        if (plain_fields::pairsRunHere() && plain_fields::readAtOnceInPairs(std::string_view(text), read))
            agrees(read, "at once, in pairs");
        if (readPlainFieldsOneByOne(std::string_view(text), read)) {
            ++oneByOne;
            agrees(read, "one by one");
        }
        std::array<double, 3> three{};
        if (plain_fields::readAtOnce(std::string_view(text), three,
                                     plain_fields::pairsRunHere() && i % 2 == 0)) {
            for (int f = 1; f <= 3; ++f)
                ASSERT_TRUE(sameBits(three[f - 1], parseLeadingGeneral(fields[f]))) << text;
        }
    }
    EXPECT_GT(atOnce, 10000);
    EXPECT_GT(oneByOne, 10000);
}

TEST(DecimalOfSingle, TheFastWayGivesThePrintedDigitsOfEverySingle) {
    const auto same = [](float f) {
        const double fast = decimalOfSingle(f), byText = decimalOfSingleByText(f);
        return std::memcmp(&fast, &byText, sizeof fast) == 0 || (std::isnan(fast) && std::isnan(byText));
    };
    EXPECT_EQ(decimalOfSingle(88.42f), 88.42);
    EXPECT_EQ(static_cast<float>(decimalOfSingle(89.05f) - 0.01), 89.04f);
    // Every single of a price decade, each decade boundary, and random bit patterns.
    for (float f = 64.0f; f < 128.0f; f = std::nextafter(f, 200.0f))
        ASSERT_TRUE(same(f)) << f;
    for (double p = 1e-4; p < 1e8; p *= 10) {
        float f = std::nextafter(std::nextafter(static_cast<float>(p), 0.0f), 0.0f);
        for (int step = 0; step < 5; ++step, f = std::nextafter(f, 1e9f))
            ASSERT_TRUE(same(f) && same(-f)) << f;
    }
    std::mt19937 rng(17);
    for (int i = 0; i < 1'000'000; ++i) {
        const uint32_t bits = rng();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        ASSERT_TRUE(same(f)) << bits;
    }
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
