#include "base/failure.h"
#include "base/numbers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>

namespace kavex {
namespace {

TEST(LeadingNumberParse, ReadsTheLeadingNumberAndStopsAtTheFirstForeignCharacter) {
    EXPECT_DOUBLE_EQ(parseLeading("101.5"), 101.5);
    EXPECT_DOUBLE_EQ(parseLeading("  -17"), -17);
    EXPECT_DOUBLE_EQ(parseLeading("+3"), 3);
    EXPECT_DOUBLE_EQ(parseLeading(".5"), 0.5);
    EXPECT_DOUBLE_EQ(parseLeading("12abc"), 12);
    EXPECT_DOUBLE_EQ(parseLeading("1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(parseLeading("7;8"), 7);
    EXPECT_DOUBLE_EQ(parseLeading("1,5"), 1); // "," is no decimal point, whatever the locale
}

TEST(LeadingNumberParse, TextWithoutANumberReadsAsZero) {
    EXPECT_EQ(parseLeading(""), 0);
    EXPECT_EQ(parseLeading("abc"), 0);
    EXPECT_EQ(parseLeading("-"), 0);
    EXPECT_EQ(parseLeading("."), 0);
    EXPECT_EQ(parseLeading("   "), 0);
    EXPECT_EQ(parseLeading("E5"), 0);
}

TEST(LeadingNumberParse, ExponentsAndBlanks) {
    EXPECT_DOUBLE_EQ(parseLeading("1.5E-07"), 1.5e-7);
    EXPECT_DOUBLE_EQ(parseLeading(" 1.234568E+07"), 12345680);
    EXPECT_DOUBLE_EQ(parseLeading("2e3x"), 2000);
    EXPECT_DOUBLE_EQ(parseLeading("2E"), 2); // an exponent without digits is not part of the number
    EXPECT_DOUBLE_EQ(parseLeading("1 2"), 12); // blanks are ignored, not separators
    EXPECT_DOUBLE_EQ(parseLeading("1e999"), std::numeric_limits<double>::infinity());
}

TEST(LeadingNumberParse, VeryLongDigitRunsDoNotOverflowTheReader) {
    std::string digits(500, '9');
    EXPECT_GT(parseLeading(digits), 1e70);
}

TEST(NearestInteger, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundToInt32(0.5), 0);
    EXPECT_EQ(roundToInt32(1.5), 2);
    EXPECT_EQ(roundToInt32(2.5), 2);
    EXPECT_EQ(roundToInt32(-2.5), -2);
    EXPECT_EQ(roundToInt32(-3.5), -4);
    EXPECT_EQ(roundToInt32(2.51), 3);
    EXPECT_EQ(parseInt32("10.5"), 10);
    EXPECT_EQ(parseInt16(" 11.5;"), 12);
}

TEST(NearestInteger, ValuesOutsideTheTypeFailWithOverflow) {
    EXPECT_EQ(roundToInt16(32767.4), 32767);
    EXPECT_EQ(roundToInt16(-32768), -32768);
    EXPECT_THROW(roundToInt16(32767.5), Failure); // rounds to 32768
    EXPECT_THROW(roundToInt32(3e9), Failure);
    EXPECT_THROW(parseInt32("1e999"), Failure);
    try {
        roundToInt16(40000);
    } catch (const Failure& f) {
        EXPECT_STREQ(f.what(), "Overflow");
    }
}

TEST(StrForm, SingleValuesByteForByte) {
    EXPECT_EQ(strSingle(0.5f), " .5");
    EXPECT_EQ(strSingle(101.5f), " 101.5");
    EXPECT_EQ(strSingle(-2.0f), "-2");
    EXPECT_EQ(strSingle(-17.0f), "-17");
    EXPECT_EQ(strSingle(-0.25f), "-.25");
    EXPECT_EQ(strSingle(0.0f), " 0");
    EXPECT_EQ(strSingle(-0.0f), " 0");
    EXPECT_EQ(strSingle(1.5e-7f), " 1.5E-07");
    EXPECT_EQ(strSingle(-1.5e-7f), "-1.5E-07");
    EXPECT_EQ(strSingle(0.1f), " .1");   // 7 significant digits hide the float's tail
    EXPECT_EQ(strSingle(99.95f), " 99.95");
    EXPECT_EQ(strSingle(1234567.0f), " 1234567");
    EXPECT_EQ(strSingle(12345678.0f), " 1.234568E+07");
    EXPECT_EQ(strSingle(0.0001f), " .0001");
}

TEST(StrForm, DoubleIntegerAndTrimmedForms) {
    EXPECT_EQ(strDouble(46363.5), " 46363.5");
    EXPECT_EQ(strDouble(0.1), " .1");
    EXPECT_EQ(strDouble(1.0 / 3.0), " .333333333333333");
    EXPECT_EQ(strInt(17), " 17");
    EXPECT_EQ(strInt(-17), "-17");
    EXPECT_EQ(strInt(0), " 0");
    EXPECT_EQ(strSingleTrimmed(0.5f), ".5");
    EXPECT_EQ(strSingleTrimmed(-3.0f), "-3");
}

TEST(StrForm, RoundTripsThroughTheParse) {
    for (float v : {0.5f, 101.25f, -99.125f, 1.5e-7f, 3.4e20f, 12345.67f}) {
        EXPECT_EQ(parseSingle(strSingle(v)), v) << strSingle(v);
    }
}

TEST(LocaleForm, UsesTheLocaleSeparatorAndKeepsTheLeadingZero) {
    NumberLocale german{','};
    EXPECT_EQ(localeSingle(1.5f, german), "1,5");
    EXPECT_EQ(localeSingle(0.5f, german), "0,5");
    EXPECT_EQ(localeSingle(-2.0f, german), "-2");
    EXPECT_EQ(localeSingle(0.0f, german), "0");
    EXPECT_EQ(localeDouble(1234.25, NumberLocale{'.'}), "1234.25");
}

TEST(DecimalCommaInput, IsReadAsAPoint) {
    EXPECT_EQ(decimalCommaToPoint("1,5"), "1.5");
    EXPECT_DOUBLE_EQ(parseLeading(decimalCommaToPoint("99,75")), 99.75);
}

} // namespace
} // namespace kavex

namespace kavex {
namespace {

TEST(LeadingNumberParse, LongNumbersAreReadWhole) {
    EXPECT_DOUBLE_EQ(parseLeading(std::string(85, '0') + "5"), 5);
    EXPECT_DOUBLE_EQ(parseLeading("1" + std::string(100, '0')), 1e100);
    EXPECT_DOUBLE_EQ(parseLeading("1" + std::string(79, '0') + "E5"), 1e84);
    EXPECT_DOUBLE_EQ(parseLeading("0." + std::string(30, '0') + "1"), 1e-31);
}

TEST(LeadingNumberParse, ThePlainFastPathAgreesWithTheGeneralConversion) {
    for (const char* t : {"101.5", "-0.25", "123456789012345", "1234567890123456", "0.1", "99.99", "-7.", "+.5",
                          "3.14159265358979", "0.000001", "42;7", "12abc"}) {
        double expected = std::strtod(std::string(t).c_str(), nullptr);
        EXPECT_EQ(parseLeading(t), expected) << t;
    }
}

} // namespace
} // namespace kavex
