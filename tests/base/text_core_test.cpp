#include "base/cp1252.h"
#include "base/failure.h"
#include "base/fixed_text.h"
#include "base/split_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kavex {
namespace {

TEST(Cp1252Codec, EveryByteValueSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    std::string utf8 = cp1252::toUtf8(all);
    EXPECT_EQ(cp1252::fromUtf8(utf8), all);
}

TEST(Cp1252Codec, HighBytesAtEveryOffsetOfALongAsciiText) {
    for (std::size_t at = 0; at < 24; ++at) {
        std::string bytes(24, 'a');
        bytes[at] = '\xE4';
        std::string expected(24, 'a');
        expected.replace(at, 1, "ä");
        EXPECT_EQ(cp1252::toUtf8(bytes), expected) << at;
    }
}

TEST(Cp1252Codec, GermanTextAndTheHighTable) {
    EXPECT_EQ(cp1252::toUtf8("\xC4\xD6\xDC\xE4\xF6\xFC\xDF"), "ÄÖÜäöüß");
    EXPECT_EQ(cp1252::fromUtf8("FALSCHES PAßWORT"), "FALSCHES PA\xDFWORT");
    EXPECT_EQ(cp1252::toUtf8("\x80"), "€");
    EXPECT_EQ(cp1252::fromUtf8("€ „x“ – ™"), "\x80 \x84x\x93 \x96 \x99");
    // Bytes the code page leaves undefined map to the control code points of the same value.
    EXPECT_EQ(cp1252::toUtf8("\x81"), "\xC2\x81");
}

TEST(Cp1252Codec, UnmappableAndMalformedTextBecomesAVisibleQuestionMark) {
    EXPECT_EQ(cp1252::fromUtf8("日本"), "??");
    EXPECT_EQ(cp1252::fromUtf8("a\xC3"), "a?");        // cut sequence
    EXPECT_EQ(cp1252::fromUtf8("\xFF\xFE"), "??");     // not UTF-8 at all
    EXPECT_EQ(cp1252::fromUtf8("x\xC3(y"), "x?(y");    // bad continuation byte
}

std::vector<std::string> all(const Fields& f) {
    std::vector<std::string> out;
    for (int i = 1; i <= std::min(f.count(), f.maxFields()); ++i) out.emplace_back(f[i]);
    return out;
}

TEST(SplitFields, CutsAtEverySeparatorAndDropsOnlyAnEmptyTail) {
    auto f = SplitFields("12;101.5;0.5;10", ";", 20);
    EXPECT_EQ(f.count(), 4);
    EXPECT_EQ(all(f), (std::vector<std::string>{"12", "101.5", "0.5", "10"}));

    EXPECT_EQ(all(SplitFields("a;;b", ";", 20)), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitFields("a;b;", ";", 20).count(), 2);
    EXPECT_EQ(SplitFields("", ";", 20).count(), 0);
    EXPECT_EQ(all(SplitFields(";", ";", 20)), (std::vector<std::string>{""}));
    EXPECT_EQ(all(SplitFields("abc", ";", 20)), (std::vector<std::string>{"abc"}));
}

TEST(SplitFields, MissingFieldsReadEmptyAndIndexingBeyondTheMaximumFails) {
    auto f = SplitFields("a;b", ";", 5);
    EXPECT_EQ(f[4], "");
    EXPECT_THROW(f[6], Failure);
    EXPECT_THROW(f[0], Failure);
}

TEST(SplitFields, CountsFieldsBeyondTheMaximumWithoutStoringThem) {
    auto f = SplitFields("1;2;3;4;5", ";", 3);
    EXPECT_EQ(f.count(), 4); // the tail is not taken once the count is past the maximum
    EXPECT_EQ(f[3], "3");
    EXPECT_THROW(f[4], Failure);
    EXPECT_EQ(SplitFields("1;2;3", ";", 3).count(), 3);
}

TEST(SplitFields, MultiCharacterAndLineSeparators) {
    EXPECT_EQ(all(SplitFields("a<>b<>c", "<>", 10)), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(all(SplitFields("L1\nL2\n", "\n", 1000)), (std::vector<std::string>{"L1", "L2"}));
}

TEST(SplitFields, SeparatorsInsideDoubleQuotesStayInTheField) {
    EXPECT_EQ(all(SplitFields("a;\"b;c\";d", ";", 10)), (std::vector<std::string>{"a", "\"b;c\"", "d"}));
    EXPECT_EQ(all(SplitFields("\"x\";\"y\"", ";", 10)), (std::vector<std::string>{"\"x\"", "\"y\""}));
}

TEST(SplitFields, ReusedSplitterForgetsTheEarlierText) {
    Fields f;
    f.split("1;2;3;4", ";", 20);
    f.split("9", ";", 20);
    EXPECT_EQ(f.count(), 1);
    EXPECT_EQ(f[2], "");
}

TEST(FixedText, CutsAndPadsToItsWidthCountingCharacters) {
    FixedText<4> side("BUY");
    EXPECT_EQ(side.str(), "BUY ");
    FixedText<3> type("MKTX");
    EXPECT_EQ(type.str(), "MKT");
    FixedText<8> id("ab");
    EXPECT_EQ(id, FixedText<8>("ab      "));
    EXPECT_EQ(id.trimmed(), "ab");
    FixedText<3> umlaut("äöüß");
    EXPECT_EQ(umlaut.str(), "äöü");
    EXPECT_EQ(FixedText<6>().str(), "      ");
    EXPECT_EQ(FixedText<6>("  x ").trimmed(), "x");
}

struct Lines : FailureLog {
    std::vector<std::string> lines;
    void addLine(std::string line) override { lines.push_back(std::move(line)); }
};

TEST(FailureGuard, LogsTagAndDescriptionAndGoesOnWithTheNextStatement) {
    Lines log;
    int done = 0;
    guard(log, "WS_SUD ", [] { throw Failure("Overflow"); });
    guard(log, "WS_SUD ", [&] { ++done; });
    guard(log, "F2 ", [] { SplitFields("a", ";", 1)[2]; });
    EXPECT_EQ(done, 1);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"F:WS_SUD Overflow", "F:F2 Subscript out of range"}));
}

TEST(FailureGuard, SilentKindSkipsWithoutATrace) {
    int after = 0;
    skipOnFailure([] { throw Failure("x"); });
    skipOnFailure([&] { ++after; });
    EXPECT_EQ(after, 1);
}

} // namespace
} // namespace kavex
