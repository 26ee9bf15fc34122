// The file-drop interface: request files worked off in slices, never run twice after a crash.
#include "base/files.h"
#include "base/text_list.h"
#include "external/command_line.h"
#include "external/file_drop.h"
#include "external/request_journal.h"
#include "recording_commands.h"
#include "support/fake_event_loop.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace kavex {
namespace {

using Texts = std::vector<std::string>;

namespace fs = std::filesystem;

class FileDropTest : public ::testing::Test {
  protected:
    FileDropTest() {
        loop.setDateTime({2024, 3, 1, 9, 30, 0, 0});
        drop.setActive(true);
    }
    fs::path path(const char* name) const { return dir.root / name; }
    // Writes the request file as a finished writer leaves it: complete and a while ago.
    void request(const std::string& bytes) {
        writeRaw(bytes);
        fs::last_write_time(path(FileDrop::kRequestFile),
                            fs::file_time_type::clock::now() - std::chrono::seconds(5));
    }
    void writeRaw(const std::string& bytes, bool append = false) {
        std::ofstream out(path(FileDrop::kRequestFile),
                          append ? std::ios::binary | std::ios::app : std::ios::binary);
        out << bytes;
    }
    std::string file(const char* name) const { return readFileBytes(path(name)); }
    void tick() { loop.advance(FileDrop::kTickMs); }

    test::TempDir dir;
    WorkingDirectory folder{dir.root};
    test::FakeEventLoop loop;
    TextList log;
    test::RecordingCommands commands;
    FileDrop drop{loop, folder, log, commands};
};

TEST_F(FileDropTest, EachCommandRunsInFileOrderAndLeavesOneProtocolLine) {
    request("' a comment\r\n"
            "@PO;SAP;0;BUY;LMT;5;150.5;0;A17\r\n"
            "\r\n"
            "@CO;-4711\r\n"
            "@GL\r\n"
            "@CA\r\n"
            "@po;SAP;0;BUY;MKT;1;0;0;low\r\n"
            "@Co;-1\r\n"
            "@XX;1\r\n"
            "' the end");
    tick(); // without a last line end the file waits one tick to be sure it is complete
    EXPECT_TRUE(commands.calls.empty());
    tick();
    EXPECT_EQ(commands.calls, (Texts{"PO SAP;0;BUY;LMT;5;150.5;0;A17", "CO -4711", "GL", "CA"}));
    // Every line but comments and empty ones is listed, the ignored ones included.
    EXPECT_EQ(log.lines(), (Texts{"09:30:02 @PO;SAP;0;BUY;LMT;5;150.5;0;A17", "09:30:02 @CO;-4711",
                                  "09:30:02 @GL", "09:30:02 @CA", "09:30:02 @po;SAP;0;BUY;MKT;1;0;0;low",
                                  "09:30:02 @Co;-1", "09:30:02 @XX;1"}));
    EXPECT_EQ(file(FileDrop::kProtocolFile), "09:30:02 ' the end\r\n");
    EXPECT_FALSE(fs::exists(path(FileDrop::kRequestFile)));
    EXPECT_FALSE(fs::exists(path(FileDrop::kJournalFile)));
}

TEST_F(FileDropTest, ACommaEndsALineAndTheTwentiethFieldKeepsTheRest) {
    request("@PO;SAP;0;BUY;LMT;5;12,5;0;A1\n"
            "@CO;-3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20;21;22\n");
    tick();
    // "5;0;A1" is read as a line of its own and ignored.
    EXPECT_EQ(commands.calls, (Texts{"PO SAP;0;BUY;LMT;5;12", "CO -3"}));
    EXPECT_EQ(log.lines()[1], "09:30:01 5;0;A1");
    CommandFields f("a;b;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20;21;22", 20);
    EXPECT_EQ(f[20], "20;21;22");
}

TEST_F(FileDropTest, OrderLinesGoToTheOrderOperationsAsWrittenAndOnlyBadIdsAreSkipped) {
    std::vector<ExternalOrderResult> results = {ExternalOrderResult::Placed, ExternalOrderResult::NotPlaced,
                                                ExternalOrderResult::UnknownInstrument};
    commands.onPlace = [&] {
        commands.placeResult = results.front();
        results.erase(results.begin());
    };
    request("@PO;SAP;0;BUY;lmt;0;;0;a\n"      // the server refuses what it does not accept
            "@PO;SAP;0;BUY;MKT;99999999999\n" // not placed here
            "@PO;XYZ;0;BUY;MKT;5;;;b\n"
            "@CO;abc\n"
            "@CO;99999999999\n"
            "@CA;\x01\x0b;x\n");
    tick();
    EXPECT_EQ(commands.calls, (Texts{"PO SAP;0;BUY;lmt;0;;0;a", "PO SAP;0;BUY;MKT;99999999999",
                                     "PO XYZ;0;BUY;MKT;5;;;b", "CA"}));
    const std::string skipped = "09:30:01 übersprungen: ";
    Texts reasons;
    for (const std::string& line : log.lines())
        if (line.starts_with(skipped)) reasons.push_back(line.substr(skipped.size()));
    EXPECT_EQ(reasons, (Texts{"Order nicht gesendet", "Wertpapier nicht verfügbar", "Order-ID ungültig",
                              "Order-ID ungültig"}));
    // Control characters do not reach the log or the protocol file.
    EXPECT_EQ(log.back(), "09:30:01 @CA;  ;x");
    EXPECT_EQ(file(FileDrop::kProtocolFile), "09:30:01 @CA;  ;x\r\n");

    // The log keeps its newest lines only.
    for (std::size_t i = 0; i < FileDrop::kLogLines; ++i)
        log.addLine("x");
    EXPECT_EQ(log.size(), FileDrop::kLogLines);
    EXPECT_EQ(log.back(), "x");
}

TEST_F(FileDropTest, AFileStillBeingWrittenOrThatCannotBeTakenWaitsForALaterTick) {
    writeRaw("@PO;SAP;0;BUY;MKT;5;;;a\n@CO;-");
    tick();
    writeRaw("7\n", true); // ends with a line end now, but was written a moment ago
    tick();
    EXPECT_TRUE(commands.calls.empty());
    EXPECT_TRUE(fs::exists(path(FileDrop::kRequestFile)));
    tick(); // unchanged since the last tick
    EXPECT_EQ(commands.calls, (Texts{"PO SAP;0;BUY;MKT;5;;;a", "CO -7"}));

    // A folder under the work name makes the rename fail, as a writer's lock would.
    fs::create_directories(path(FileDrop::kWorkFile) / "x");
    request("@CA\n");
    tick();
    tick();
    EXPECT_EQ(commands.calls.size(), 2u);
    fs::remove_all(path(FileDrop::kWorkFile));
    tick();
    EXPECT_EQ(commands.calls.back(), "CA");
}

TEST_F(FileDropTest, AfterACrashNothingRunsTwiceAndTheRestOfTheFileStillRuns) {
    std::string text;
    for (int i = 1; i <= FileDrop::kItemsPerTick + 3; ++i)
        text += "@CO;-" + std::to_string(i) + "\n";
    drop.setActive(false);
    {
        // The program ends after its first slice, as a crash would: the files stay.
        test::RecordingCommands first;
        FileDrop crashed{loop, folder, log, first};
        crashed.setActive(true);
        request(text);
        tick();
        ASSERT_EQ(first.calls.size(), static_cast<std::size_t>(FileDrop::kItemsPerTick));
    }
    // The next run goes on only once it is logged in with its instruments; a newer
    // request file waits behind the interrupted one.
    bool ready = false;
    drop.tradingReady = [&] { return ready; };
    drop.setActive(true);
    request("@CA\n");
    tick();
    tick();
    EXPECT_TRUE(commands.calls.empty());
    ready = true;
    tick();
    EXPECT_EQ(commands.calls, (Texts{"CO -" + std::to_string(FileDrop::kItemsPerTick + 1),
                                     "CO -" + std::to_string(FileDrop::kItemsPerTick + 2),
                                     "CO -" + std::to_string(FileDrop::kItemsPerTick + 3)}));
    tick();
    EXPECT_EQ(commands.calls.back(), "CA");
    EXPECT_FALSE(fs::exists(path(FileDrop::kWorkFile)));
    EXPECT_FALSE(fs::exists(path(FileDrop::kJournalFile)));
}

TEST_F(FileDropTest, ACommandInterruptedByACrashIsNotRepeated) {
    const Texts work = {"@CO;-1", "' note", "@CO;-2", "@CO;-3", "@CO;-4"};
    // The program crashed while the second command ran: three items were started.
    writeTextLines(path(FileDrop::kWorkFile), work);
    writeFileAtomically(path(FileDrop::kJournalFile),
                        RequestJournal(path(FileDrop::kJournalFile)).line(3, 200));
    tick();
    EXPECT_EQ(commands.calls, (Texts{"CO -3", "CO -4"}));

    // Written before a power cut: the started count may be stale, the reservation is not.
    writeTextLines(path(FileDrop::kWorkFile), work);
    writeFileAtomically(path(FileDrop::kJournalFile),
                        "000000000000000001 000000000000000004 another-boot\r\n");
    commands.calls.clear();
    tick();
    EXPECT_EQ(commands.calls, (Texts{"CO -4"}));

    // A work file without a journal was never started by this program: it is dropped.
    writeTextLines(path(FileDrop::kWorkFile), {"@CO;-9"});
    request("@CA\n");
    commands.calls.clear();
    tick();
    EXPECT_EQ(commands.calls, (Texts{"CA"}));

    // An unreadable journal runs nothing of its file.
    writeTextLines(path(FileDrop::kWorkFile), {"@CO;-5"});
    writeFileAtomically(path(FileDrop::kJournalFile), "??");
    tick();
    EXPECT_EQ(commands.calls.size(), 1u);
    EXPECT_FALSE(fs::exists(path(FileDrop::kWorkFile)));
}

TEST_F(FileDropTest, ATickInsideAMessageBoxOfTheRunningTickWaits) {
    commands.onPlace = [this] { loop.advance(3 * FileDrop::kTickMs); }; // a modal box, events keep coming
    request("@PO;SAP;0;BUY;MKT;1;;;a\n@CA\n");
    tick();
    EXPECT_EQ(commands.calls, (Texts{"PO SAP;0;BUY;MKT;1;;;a", "CA"}));
    EXPECT_EQ(file(FileDrop::kProtocolFile), "09:30:04 @CA\r\n");
}

} // namespace
} // namespace kavex
