// Text files in the Windows code page, atomic writes and batches of them.
#include "base/failure.h"
#include "base/files.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

namespace kavex {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

std::ptrdiff_t entries(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

TEST(TextFiles, WrittenAsWindows1252WithCrLfAndReadWithAnyLineEnd) {
    test::TempDir dir;
    writeTextLines(dir.root / "Kavex.Ini", {"Grüße", "", "1;2"});
    EXPECT_EQ(readFileBytes(dir.root / "Kavex.Ini"), "Gr\xFC\xDF"
                                                     "e\r\n\r\n1;2\r\n");
    EXPECT_EQ(readTextLines(dir.root / "Kavex.Ini"), (Lines{"Grüße", "", "1;2"}));
    writeFileAtomically(dir.root / "x.txt", "a\nb\r\nc");
    EXPECT_EQ(readTextLines(dir.root / "x.txt"), (Lines{"a", "b", "c"}));
    EXPECT_THROW(readTextLines(dir.root / "missing.txt"), Failure);
}

TEST(AtomicWrite, AWriteThatFailsHalfWayKeepsTheOldFileAndLeavesNoTemporary) {
    test::TempDir dir;
    writeFileAtomically(dir.root / "Kavex.Ini", "keep me");
    // A file size limit of 16 bytes stands in for a disk that fills up during the write
    // (it holds for root as well, unlike folder permissions).
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = before;
    tiny.rlim_cur = 16;
    ::setrlimit(RLIMIT_FSIZE, &tiny);
    std::string error;
    try {
        writeFileAtomically(dir.root / "Kavex.Ini", std::string(4096, 'x'));
    } catch (const Failure& f) {
        error = f.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_NE(error.find("Write error"), std::string::npos) << error;
    EXPECT_EQ(readFileBytes(dir.root / "Kavex.Ini"), "keep me");
    EXPECT_EQ(entries(dir.root), 1);
}

TEST(AtomicBatch, ReplacesOnCommitOnlyAndATargetThatCannotBeReplacedIsReportedAndTheOthersStillAre) {
    test::TempDir dir;
    writeFileAtomically(dir.root / "K1.dat", "old1");
    AtomicFileBatch{}.add(dir.root / "K1.dat", "lost"); // abandoned
    EXPECT_EQ(entries(dir.root), 1);
    fs::create_directories(dir.root / "K2.dat" / "inside"); // a non-empty folder in the way
    AtomicFileBatch batch;
    batch.add(dir.root / "K1.dat", "new1");
    batch.add(dir.root / "K2.dat", "x");
    batch.add(dir.root / "K3.dat", "new3");
    EXPECT_EQ(readFileBytes(dir.root / "K1.dat"), "old1"); // nothing replaced before the commit
    const auto failed = batch.commit();
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].first, dir.root / "K2.dat");
    EXPECT_EQ(readFileBytes(dir.root / "K1.dat") + readFileBytes(dir.root / "K3.dat"), "new1new3");
    EXPECT_EQ(entries(dir.root), 3); // no temporary left behind
}

} // namespace
} // namespace kavex
