// The code page conversion, field splitting, fixed-width text and the failure guard.
#include "base/byte_search.h"
#include "base/cp1252.h"
#include "base/failure.h"
#include "base/fixed_text.h"
#include "base/split_fields.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace kavex {
namespace {

using Lines = std::vector<std::string>;

TEST(Cp1252Codec, EveryByteValueSurvivesTheRoundTripAtEveryOffset) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(cp1252::fromUtf8(cp1252::toUtf8(all)), all);
    for (std::size_t at = 0; at < 200; ++at) {
        std::string bytes(200, 'a'), expected(200, 'a');
        bytes[at] = '\xE4';
        expected.replace(at, 1, "ä");
        EXPECT_EQ(cp1252::toUtf8(bytes), expected) << at;
    }
}

TEST(Cp1252Codec, GermanTextTheHighTableAndUnmappableText) {
    EXPECT_EQ(cp1252::toUtf8("\xC4\xD6\xDC\xE4\xF6\xFC\xDF\x80"), "ÄÖÜäöüß€");
    // Bytes the code page leaves undefined map to the control code points of the same value.
    EXPECT_EQ(cp1252::toUtf8("\x81"), "\xC2\x81");
    // Cut sequences, text that is no UTF-8 at all and bad continuation bytes become "?".
    const std::vector<std::pair<std::string, std::string>> fromUtf8 = {
        {"FALSCHES PAßWORT", "FALSCHES PA\xDFWORT"},
        {"€ „x“ – ™", "\x80 \x84x\x93 \x96 \x99"},
        {"日本", "??"},
        {"a\xC3", "a?"},
        {"\xFF\xFE", "??"},
        {"x\xC3(y", "x?(y"}};
    for (const auto& [utf8, bytes] : fromUtf8)
        EXPECT_EQ(cp1252::fromUtf8(utf8), bytes) << utf8;
}

Lines all(const Fields& f) {
    Lines out;
    for (int i = 1; i <= std::min(f.count(), f.maxFields()); ++i)
        out.emplace_back(f[i]);
    return out;
}

TEST(SplitFields, CutsAtEverySeparatorOutsideQuotesAndDropsOnlyAnEmptyTail) {
    struct Row {
        std::string text, sep;
        Lines fields;
    };
    // clang-format off
    const std::vector<Row> rows = {
        {"12;101.5;0.5;10", ";", {"12", "101.5", "0.5", "10"}}, {"a;;b", ";", {"a", "", "b"}}, {"a;b;", ";", {"a", "b"}},
        {"", ";", {}}, {";", ";", {""}}, {"abc", ";", {"abc"}}, {"a<>b<>c", "<>", {"a", "b", "c"}},
        {"L1\nL2\n", "\n", {"L1", "L2"}}, {"a;\"b;c\";d", ";", {"a", "\"b;c\"", "d"}},
        {"\"x\";\"y\"", ";", {"\"x\"", "\"y\""}}};
    // clang-format on
    for (const Row& r : rows) {
        auto f = SplitFields(r.text, r.sep, 20);
        EXPECT_EQ(f.count(), static_cast<int>(r.fields.size())) << r.text;
        EXPECT_EQ(all(f), r.fields) << r.text;
    }
}

TEST(SplitFields, ReadingBeyondTheStoredFields) {
    auto f = SplitFields("a;b", ";", 5);
    EXPECT_EQ(f[4], ""); // missing fields read empty
    EXPECT_THROW(f[6], Failure);
    EXPECT_THROW(f[0], Failure);

    auto cut = SplitFields("1;2;3;4;5", ";", 3);
    EXPECT_EQ(cut.count(), 4); // the tail is not taken once the count is past the maximum
    EXPECT_THROW(cut[4], Failure);
    EXPECT_EQ(SplitFields("1;2;3", ";", 3).count(), 3);

    Fields reused;
    reused.split("1;2;3;4", ";", 20);
    reused.split("9", ";", 20);
    EXPECT_EQ(reused.count(), 1);
    EXPECT_EQ(reused[2], "");
}

TEST(FixedText, CutsAndPadsToItsWidthCountingCharacters) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ((V{FixedText<4>("BUY").str(), FixedText<3>("MKTX").str(), FixedText<3>("äöüß").str(),
                 FixedText<6>().str()}),
              (V{"BUY ", "MKT", "äöü", "      "}));
    EXPECT_EQ(FixedText<6>("  x ").trimmed(), "x");
    EXPECT_EQ(FixedText<8>("ab"), FixedText<8>("ab      "));
}

struct RecordedLines : FailureLog {
    Lines lines;
    void addLine(std::string line) override { lines.push_back(std::move(line)); }
};

TEST(FailureGuard, LogsTagAndDescriptionOrSkipsSilentlyAndGoesOn) {
    RecordedLines log;
    int done = 0;
    guard(log, "WS_SUD ", [] { throw Failure("Overflow"); });
    guard(log, "WS_SUD ", [&] { ++done; });
    guard(log, "F2 ", [] { SplitFields("a", ";", 1)[2]; });
    skipOnFailure([] { throw Failure("x"); });
    skipOnFailure([&] { ++done; });
    EXPECT_EQ(done, 2);
    EXPECT_EQ(log.lines, (Lines{"F:WS_SUD Overflow", "F:F2 Subscript out of range"}));
}

// findByte gives what memchr gives for every length and every place of the byte, also
// when the byte is there more than once and past the stretch it compares inline.
TEST(FindByte, FindsTheFirstByteAsMemchrDoesAtEveryLengthAndPlace) {
    std::string text(160, 'x');
    for (std::size_t length = 0; length <= 150; ++length) {
        for (std::size_t offset : {std::size_t{0}, std::size_t{3}}) {
            for (std::size_t at = 0; at <= length; ++at) {
                std::string copy = text;
                if (at < length) copy[offset + at] = '\x04';
                if (at + 20 < length) copy[offset + at + 20] = '\x04';
                const char* b = copy.data() + offset;
                const char* found = findByte(b, b + length, '\x04');
                const void* expected = std::memchr(b, '\x04', length);
                ASSERT_EQ(static_cast<const void*>(found), expected) << length << " " << at;
            }
        }
    }
}

TEST(FindByte, BytesUpToALimitAmongSixtyFourAreMarkedWhereverTheyLie) {
    for (int at = 0; at < 64; ++at) {
        for (const char c : {'\x00', '\x01', '\x02', '\x03', '\xFF', ' '}) {
            std::string text(66, 'x');
            text[static_cast<std::size_t>(1 + at)] = c;
            text[0] = text[65] = '\x01'; // outside the 64
            const uint64_t expected = static_cast<unsigned char>(c) <= 2 ? uint64_t{1} << at : 0;
            EXPECT_EQ(bytesUpToIn64(text.data() + 1, 2), expected) << at << " " << int(c);
        }
    }
}

} // namespace
} // namespace kavex
