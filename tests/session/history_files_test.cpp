// The price history files K<n>.dat: written at shutdown, read with the first instrument list.
#include "price_fixture.h"

#include "base/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

namespace kavex {
namespace {

using test::PriceFixture;

constexpr std::string_view kZeroLine = " 0; 0; 0; 0; 0\r\n";

std::string repeat(std::string_view line, int times) {
    std::string s;
    for (int i = 0; i < times; ++i)
        s += line;
    return s;
}

TEST(HistoryFiles, AreWrittenOldestFirstAfterEmptySlotsAndReadBackByTheNextRun) {
    PriceFixture f;
    f.instrumentList(3);
    const char* quotes[] = {"~2;100;0.5;1;0.5;1", "~2;100.25;0.5;1;0.5;1", "^32;1.25", "^52;1.5;3",
                            "@KU=2;-1.5;1;1.5E-07;2;0.1"};
    for (const char* q : quotes) {
        f.receive(q);
        f.loop.advance(1000);
    }
    for (int i = 1; i <= 3001; ++i)
        f.receive("~1;100;0;1;" + std::to_string(i) + ";0"); // ask 100 + i: the ring wraps
    f.history.saveHistory();
    const std::string expected =
        repeat(kZeroLine, 2995) + " 46363.3958333333; 99.5; 100.5; 100; 0\r\n" +
        " 46363.3958449074; 99.75; 100.75; 100.25; 0\r\n" + " 46363.3958564815; 99.75; 101.5; 100.25; 0\r\n" +
        " 46363.3958680556; 98.75; 101.5; 100.25; 0\r\n" + " 46363.3958796296;-1.5; 1.5E-07; .1; 0\r\n";
    EXPECT_EQ(readFileBytes(f.folder.path("K2.dat")), expected);
    EXPECT_EQ(readFileBytes(f.folder.path("K3.dat")), repeat(kZeroLine, 3000));
    EXPECT_FALSE(std::filesystem::exists(f.folder.path("K4.dat")));
    std::vector<std::string> lines = readTextLines(f.folder.path("K1.dat"));
    ASSERT_EQ(lines.size(), 3000u);
    EXPECT_TRUE(lines.front().ends_with("; 100; 102; 100; 0")) << lines.front();
    EXPECT_TRUE(lines.back().ends_with("; 100; 3101; 100; 0")) << lines.back();
    EXPECT_TRUE(f.log.empty());

    PriceFixture next; // the next run, in the same folder
    next.folder = f.folder;
    next.instrumentList(3);
    for (int k = 1; k <= 3000; ++k)
        ASSERT_EQ(next.data.history.oldestFirst(1, k).Ask, 100 + k + 1) << k;
    next.history.saveHistory();
    EXPECT_EQ(readFileBytes(next.folder.path("K2.dat")), expected); // byte for byte
}

TEST(HistoryFiles, MissingUnreadableAndDamagedFilesLoadWithoutAMessage) {
    PriceFixture f;
    std::filesystem::create_directory(f.folder.path("K2.dat")); // exists but cannot be read
    writeFileAtomically(f.folder.path("K3.dat"),
                        "garbage\n46000.5; 1; 2\n46001;1;2;3;99999999999\r\n\r\n46002;4;5;6;7");
    f.instrumentList(3);
    EXPECT_EQ(f.data.history.pos(1), 0);
    EXPECT_EQ(f.data.history.pos(2), 0);
    ASSERT_EQ(f.data.history.pos(3), 5);    // every line takes a slot, even a bad one
    const PriceHistory& h = f.data.history; // too large: skipped; the last line needs no line end
    EXPECT_EQ(std::make_tuple(h.slot(3, 1).Time, h.slot(3, 2).Ask, h.slot(3, 3).Volume, h.slot(3, 5).Volume),
              std::make_tuple(0.0, 2.0f, 0, 7));
    EXPECT_TRUE(f.log.empty());
}

TEST(HistoryFiles, AFileThatCannotBeWrittenIsLoggedAndTheOthersAreWritten) {
    PriceFixture f;
    f.instrumentList(2);
    f.receive("~1;5;1;1;1;1");
    f.receive("~2;5;1;1;1;1");
    std::filesystem::create_directory(f.folder.path("K1.dat"));
    f.history.saveHistory();
    ASSERT_EQ(f.log.size(), 1u);
    EXPECT_TRUE(f.log.back().starts_with("F:SaveKurse Path/File access error")) << f.log.back();
    EXPECT_EQ(readTextLines(f.folder.path("K2.dat")).size(), 3000u);
    auto files = std::filesystem::directory_iterator(f.folder.root());
    EXPECT_EQ(std::distance(begin(files), end(files)), 2); // no temporary file left behind
}

} // namespace
} // namespace kavex
