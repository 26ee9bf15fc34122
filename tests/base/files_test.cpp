#include "base/failure.h"
#include "base/files.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace kavex {
namespace {

namespace fs = std::filesystem;

struct TempDir {
    TempDir() {
        std::string tmpl = (fs::temp_directory_path() / "kavex-files-XXXXXX").string();
        root = ::mkdtemp(tmpl.data());
    }
    ~TempDir() { fs::remove_all(root); }
    fs::path root;
};

TEST(TextFiles, AreWrittenAsWindows1252WithCrLfAndReadBack) {
    TempDir dir;
    fs::path file = dir.root / "Kavex.Ini";
    writeTextLines(file, {"Grüße", "", "1;2"});
    EXPECT_EQ(readFileBytes(file), "Gr\xFC\xDF"
                                   "e\r\n\r\n1;2\r\n");
    EXPECT_EQ(readTextLines(file), (std::vector<std::string>{"Grüße", "", "1;2"}));
}

TEST(TextFiles, ReadingAcceptsBareLineFeedsAndALastLineWithoutEnding) {
    TempDir dir;
    writeFileAtomically(dir.root / "x.txt", "a\nb\r\nc");
    EXPECT_EQ(readTextLines(dir.root / "x.txt"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_THROW(readTextLines(dir.root / "missing.txt"), Failure);
}

TEST(AtomicWrite, ReplacesTheOldFileAndLeavesNoTemporaryBehind) {
    TempDir dir;
    fs::path file = dir.root / "K1.dat";
    writeFileAtomically(file, "old");
    writeFileAtomically(file, "new");
    EXPECT_EQ(readFileBytes(file), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.root), fs::directory_iterator()), 1);
}

TEST(AtomicWrite, AFailedWriteKeepsTheOldFileAndReports) {
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    TempDir dir;
    fs::path file = dir.root / "Kavex.Ini";
    writeFileAtomically(file, "keep me");
    ::chmod(dir.root.c_str(), 0555);
    EXPECT_THROW(writeFileAtomically(file, "lost"), Failure);
    ::chmod(dir.root.c_str(), 0755);
    EXPECT_EQ(readFileBytes(file), "keep me");
}

TEST(AtomicWrite, ATargetInAMissingFolderFailsWithADescription) {
    TempDir dir;
    try {
        writeFileAtomically(dir.root / "no" / "such" / "file", "x");
        FAIL();
    } catch (const Failure& f) {
        EXPECT_NE(std::string(f.what()).find("Path/File access error"), std::string::npos);
    }
}

} // namespace
} // namespace kavex

namespace kavex {
namespace {

TEST(AtomicBatch, ReplacesEveryFileOnCommitOnly) {
    test::TempDir dir;
    writeFileAtomically(dir.root / "K1.dat", "old1");
    {
        AtomicFileBatch batch;
        batch.add(dir.root / "K1.dat", "new1");
        batch.add(dir.root / "K2.dat", "new2");
        EXPECT_EQ(readFileBytes(dir.root / "K1.dat"), "old1"); // nothing replaced before the commit
        EXPECT_TRUE(batch.commit().empty());
    }
    EXPECT_EQ(readFileBytes(dir.root / "K1.dat"), "new1");
    EXPECT_EQ(readFileBytes(dir.root / "K2.dat"), "new2");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.root), fs::directory_iterator()), 2);
}

TEST(AtomicBatch, AnAbandonedBatchLeavesTheOldFilesAndNoTemporaries) {
    test::TempDir dir;
    writeFileAtomically(dir.root / "K1.dat", "old1");
    {
        AtomicFileBatch batch;
        batch.add(dir.root / "K1.dat", "new1");
    }
    EXPECT_EQ(readFileBytes(dir.root / "K1.dat"), "old1");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.root), fs::directory_iterator()), 1);
}

TEST(AtomicBatch, ATargetThatCannotBeReplacedIsReportedAndTheOthersStillAre) {
    test::TempDir dir;
    fs::create_directories(dir.root / "K1.dat" / "inside"); // a non-empty folder in the way
    AtomicFileBatch batch;
    batch.add(dir.root / "K1.dat", "x");
    batch.add(dir.root / "K2.dat", "y");
    auto failed = batch.commit();
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].first, dir.root / "K1.dat");
    EXPECT_EQ(readFileBytes(dir.root / "K2.dat"), "y");
}

} // namespace
} // namespace kavex
