// Documents sent by the server: stored under their name in the wire code page, the field
// limit, refused names and failed writes (annotations are run against the demo server).
#include "base/files.h"
#include "community/documents.h"
#include "support/receive_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kavex {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class DocumentsTest : public ::testing::Test {
  protected:
    DocumentsTest() {
        documents.bind(rx.dispatcher);
        rx.loop.setDateTime({2024, 3, 4, 9, 30, 15});
    }
    void receive(const std::string& text) { rx.receiveFrame(text); }

    test::TempDir dir;
    WorkingDirectory folder{dir.root};
    test::ReceiveFixture rx;
    Lines shown;
    int refills = 0;
    Documents documents{
        folder, rx.loop, rx.log, rx.outgoing,
        DocumentHooks{[this](const std::string& t) { shown.push_back(t); }, [this] { ++refills; }}};
};

TEST_F(DocumentsTest, ADocumentIsStoredInTheWireCodePageWithCrLfUnderItsName) {
    receive("@SD=FILE=ACC120240304K.TXT;Kontoauszug 04.03.2024;Gebühr: 1,50 €;;Ende");
    EXPECT_EQ(readFileBytes(dir.root / "ACC120240304K.TXT"),
              "Kontoauszug 04.03.2024\r\nGeb\xFChr: 1,50 \x80\r\n\r\nEnde\r\n");
    // Without the prefix the whole first field is the name; the long tag works the same.
    receive("@SENDDOCUMENT=notes.txt;one");
    EXPECT_EQ(readFileBytes(dir.root / "notes.txt"), "one\r\n");
    // A second document of the same name replaces the first.
    receive("@SD=notes.txt");
    EXPECT_EQ(readFileBytes(dir.root / "notes.txt"), "");
    EXPECT_TRUE(rx.log.empty());
    EXPECT_EQ(refills, 3);
}

TEST_F(DocumentsTest, AtMostAThousandFieldsAreTaken) {
    std::string text = "@SD=big.txt";
    for (int i = 2; i <= 1005; ++i)
        text += ";" + std::to_string(i);
    receive(text);
    Lines lines = readTextLines(dir.root / "big.txt");
    ASSERT_EQ(lines.size(), 999u);
    EXPECT_EQ(lines.back(), "1000");
    EXPECT_EQ(rx.outgoing.size(), 1000u);
}

TEST_F(DocumentsTest, RefusedNamesAndFailedWritesAreLoggedAndTheViewRefilledAllTheSame) {
    writeFileAtomically(dir.root / "old.txt", "kept");
    receive("@SD=FILE=../outside.txt;x");
    receive("@SD=;x"); // an empty name too
    fs::create_directory(dir.root / "old.txt.d");
    receive("@SD=old.txt.d;x"); // a folder of that name: the write fails
    ASSERT_EQ(rx.log.size(), 3u);
    EXPECT_EQ(rx.log.lines()[0], "F:WS_SDRefused file name: ../outside.txt");
    EXPECT_TRUE(rx.log.lines()[2].starts_with("F:WS_SDPath/File access error"));
    EXPECT_FALSE(fs::exists(dir.root.parent_path() / "outside.txt"));
    EXPECT_TRUE(fs::is_directory(dir.root / "old.txt.d"));
    EXPECT_EQ(readFileBytes(dir.root / "old.txt"), "kept");
    EXPECT_EQ(refills, 3);
}

} // namespace
} // namespace kavex
