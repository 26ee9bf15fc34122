// Request files that are awkward to take: still being written, held by another program,
// very long, or cut off by a crash of the client. Every request runs exactly once.
#include "base/numbers.h"
#include "base/split_fields.h"
#include "scripted_game.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace kavex {
namespace {

namespace fs = std::filesystem;

// Order lines with quantities first..last, so each order is known by its quantity.
std::string orderLines(int first, int last) {
    std::string text;
    for (int q = first; q <= last; ++q)
        text += "@PO;SAP;0;BUY;LMT;" + std::to_string(q) + ";99;0;R\r\n";
    return text;
}

// The quantities of every order the client sent, in order.
std::vector<int> quantitiesSent(const test::ScriptedGame& g) {
    std::vector<int> out;
    for (const std::string& s : g.sentWith("@PO=")) {
        const std::string body = s.substr(5);
        Fields f = SplitFields(body, ";", 20);
        out.push_back(parseInt32(f[6]));
    }
    return out;
}

std::vector<int> range(int first, int last) {
    std::vector<int> out;
    for (int q = first; q <= last; ++q)
        out.push_back(q);
    return out;
}

class FileDropFaults : public ::testing::Test, protected test::ScriptedGame {
  protected:
    void SetUp() override {
        begin([](Settings& s) { s.asciiRemote = 1; });
    }
    fs::path request() const { return dir.root / FileDrop::kRequestFile; }
    void append(const std::string& text) {
        std::ofstream(request(), std::ios::binary | std::ios::app) << text;
    }
};

TEST_F(FileDropFaults, AFileBeingWrittenWhilePolledRunsWholeOnce) {
    for (int q = 1; q <= 30; ++q) {
        append(orderLines(q, q).substr(0, 9));
        loop.advance(FileDrop::kTickMs / 2);
        append(orderLines(q, q).substr(9));
    }
    loop.advance(5 * FileDrop::kTickMs);
    EXPECT_EQ(quantitiesSent(*this), range(1, 30));
}

TEST_F(FileDropFaults, AFileThatCannotBeTakenWaitsUntilItCan) {
    fs::create_directories(dir.root / FileDrop::kWorkFile / "held"); // the file cannot be renamed
    append(orderLines(1, 3));
    loop.advance(5 * FileDrop::kTickMs);
    EXPECT_TRUE(quantitiesSent(*this).empty());
    fs::remove_all(dir.root / FileDrop::kWorkFile);
    loop.advance(3 * FileDrop::kTickMs);
    EXPECT_EQ(quantitiesSent(*this), range(1, 3));
}

TEST_F(FileDropFaults, ARequestFileOfBinaryGarbageRunsNothingAndTheNextFileRuns) {
    std::mt19937 random(11);
    std::string garbage(4096, '\0');
    for (char& c : garbage)
        c = static_cast<char>(random() % 16 == 0 ? '\n' : random());
    append(garbage + "\r\n");
    loop.advance(10 * FileDrop::kTickMs);
    EXPECT_TRUE(quantitiesSent(*this).empty());
    append(orderLines(1, 2));
    loop.advance(5 * FileDrop::kTickMs);
    EXPECT_EQ(quantitiesSent(*this), range(1, 2));
    EXPECT_FALSE(fs::exists(dir.root / FileDrop::kJournalFile));
}

TEST_F(FileDropFaults, TenThousandLinesRunInSlicesEachOnce) {
    std::string text;
    for (int i = 0; i < 9800; ++i)
        text += i % 2 ? "' comment\r\n" : "\r\n";
    append(text + orderLines(1, 200));
    loop.advance(60 * FileDrop::kTickMs);
    EXPECT_EQ(quantitiesSent(*this), range(1, 200));
    EXPECT_EQ(client->data().orderBook.count(), 200);
    EXPECT_FALSE(fs::exists(dir.root / FileDrop::kJournalFile));
}

TEST_F(FileDropFaults, KilledInTheMiddleOfAFileTheRestRunsAfterTheNextLogin) {
    append(orderLines(1, 300));
    loop.advance(2 * FileDrop::kTickMs + FileDrop::kTickMs / 2);
    const std::vector<int> first = quantitiesSent(*this);
    ASSERT_FALSE(first.empty());
    ASSERT_LT(first.size(), 300u);

    // The process is gone: its folder is left as it is and a new one starts on it.
    test::ScriptedGame restarted;
    for (const auto& entry : fs::directory_iterator(dir.root))
        fs::copy(entry.path(), restarted.dir.root / entry.path().filename(), fs::copy_options::recursive);
    restarted.lastOrderNumber = lastOrderNumber;
    restarted.working_ = working_;
    restarted.begin([](Settings& s) { s.asciiRemote = 1; });
    restarted.loop.advance(10 * FileDrop::kTickMs);

    std::vector<int> all = first;
    for (int q : quantitiesSent(restarted))
        all.push_back(q);
    EXPECT_EQ(all, range(1, 300));
}

} // namespace
} // namespace kavex
