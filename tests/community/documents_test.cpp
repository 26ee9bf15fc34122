// What the server sends to be stored: documents, written under their name in the wire
// code page with the field limit, refused names and failed writes; and files sent in escaped
// pieces and restored in the working folder.
#include "base/files.h"
#include "community/client_files.h"
#include "community/documents.h"
#include "community/file_transfer.h"
#include "protocol/wire.h"
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

// The server's side of the escape, written out here on its own: bytes 0, 1, 2 and 254
// become byte 254 followed by "d", "e", "f" or "g".
std::string escape(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 2 || b == 254)
            out += {'\xFE', b == 254 ? 'g' : static_cast<char>('d' + b)};
        else
            out += c;
    }
    return out;
}

// Both receivers on the whole receive path: wire bytes in, files out.
class DocumentsTest : public ::testing::Test {
  protected:
    DocumentsTest() {
        documents.bind(rx.dispatcher);
        transfer.bind(rx.dispatcher);
        rx.loop.setDateTime({2024, 3, 4, 9, 30, 15});
    }
    void receive(const std::string& text) { rx.receiveFrame(text); }
    void start(const std::string& id, const std::string& name, std::size_t length) {
        rx.receive(wire::frame("@FIS=" + id + ";" + name + ";" + std::to_string(length)));
    }
    // Sends the escaped text in pieces of `pieceSize` characters.
    void pieces(const std::string& id, std::string_view escaped, std::size_t pieceSize) {
        std::string bytes;
        for (std::size_t at = 0; at < escaped.size(); at += pieceSize)
            bytes += wire::frame("@FID=" + id + ";" + std::string(escaped.substr(at, pieceSize)));
        rx.receive(bytes);
    }
    void end(const std::string& id) { rx.receive(wire::frame("@FIE=" + id)); }
    void send(const std::string& name, std::string_view bytes, std::size_t pieceSize) {
        std::string escaped = escape(bytes);
        start("T1", name, escaped.size());
        pieces("T1", escaped, pieceSize);
        end("T1");
    }
    std::string file(const std::string& name) const { return readFileBytes(dir.root / name); }

    test::TempDir dir;
    WorkingDirectory folder{dir.root};
    test::ReceiveFixture rx;
    int refills = 0;
    Documents documents{folder, rx.loop, rx.log, rx.outgoing,
                        DocumentHooks{[](const std::string&) {}, [this] { ++refills; }, {}}};
    FileTransfer transfer{folder, rx.log};
};

TEST_F(DocumentsTest, ADocumentIsStoredInTheWireCodePageWithCrLfUnderItsName) {
    receive("@SD=FILE=ACC120240304K.TXT;Kontoauszug 04.03.2024;Gebühr: 1,50 €;;Ende");
    EXPECT_EQ(file("ACC120240304K.TXT"), "Kontoauszug 04.03.2024\r\nGeb\xFChr: 1,50 \x80\r\n\r\nEnde\r\n");
    // Without the prefix the whole first field is the name; the long tag works the same.
    receive("@SENDDOCUMENT=notes.txt;one");
    EXPECT_EQ(file("notes.txt"), "one\r\n");
    // A second document of the same name replaces the first.
    receive("@SD=notes.txt");
    EXPECT_EQ(file("notes.txt"), "");
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
    EXPECT_EQ(file("old.txt"), "kept");
    EXPECT_EQ(refills, 3);
}

TEST_F(DocumentsTest, EscapePairsAtChunkBoundariesAndEveryPieceSize) {
    // A pair starting at 9999 or 19999 of the spool file is split between two chunks; pieces
    // of 2 and 3 split it between two messages.
    auto content = [](std::size_t pairStart, unsigned char special) {
        std::string bytes(pairStart, 'a');
        bytes.push_back(static_cast<char>(special));
        for (int b = 0; b < 256; ++b)
            bytes.push_back(static_cast<char>(b));
        return bytes;
    };
    for (std::size_t pairStart : {9998u, 9999u, 10000u, 19999u}) {
        for (unsigned char special : {0, 1, 2, 254}) {
            const std::string bytes = content(pairStart, special);
            for (std::size_t pieceSize : {2u, 3u, 9999u, 10000u, 10001u, 100000u}) {
                SCOPED_TRACE(testing::Message() << "pair at " << pairStart << ", byte " << int(special)
                                                << ", pieces of " << pieceSize);
                send("split.bin", bytes, pieceSize);
                ASSERT_EQ(file("split.bin"), bytes);
            }
        }
    }
    EXPECT_TRUE(rx.log.empty());
}

TEST_F(DocumentsTest, ALoneEscapeByteAtTheEndOfTheFileIsDropped) {
    // A chunk of the spool file ending in an escape byte carries it to the next; a lone
    // escape byte at the very end of the file has no partner and is dropped.
    writeFileAtomically(dir.root / "in.bin", std::string(9999, 'b') + "\xFEgq\xFE");
    restoreFile(dir.root / "in.bin", dir.root / "out.bin");
    EXPECT_EQ(file("out.bin"), std::string(9999, 'b') + "\xFEq");
}

TEST_F(DocumentsTest, AnOtherLengthThanAnnouncedIsLoggedAndPiecesAndEndsOfAnotherTransferAreIgnored) {
    start("T7", "short.bin", 1000);
    pieces("T7", std::string(998, 'x'), 100);
    end("T7");
    EXPECT_EQ(rx.log.lines(), (Lines{"L SOll= 1000 IST= 998"}));
    EXPECT_EQ(file("short.bin"), std::string(998, 'x'));
    start("T1", "a.bin", 3);
    pieces("T1", "abc", 3);
    rx.receive(wire::frame("@FID=T2;zzz") + wire::frame("@FIDnosemicolon") + wire::frame("@FIE=T2"));
    end("T1");
    EXPECT_EQ(file("a.bin"), "abc");
    // After the end the spool file is closed: a late piece is lost and not counted.
    pieces("T1", "late", 4);
    EXPECT_EQ(transfer.receivedCount(), 4);
    EXPECT_EQ(file(FileTransfer::kSpoolFile), "abc");
    EXPECT_EQ(rx.log.size(), 1u);
}

TEST_F(DocumentsTest, AnInterruptedTransferLeavesNoFileUnderTheTargetName) {
    writeFileAtomically(dir.root / "keep.bin", "old contents");
    start("T1", "keep.bin", 20000);
    pieces("T1", std::string(15000, 'n'), 1000);
    start("T2", "other.bin", 2); // the link dropped; after reconnecting another transfer starts
    EXPECT_EQ(file(FileTransfer::kSpoolFile), "");
    end("T1"); // an end for the abandoned transfer does nothing
    EXPECT_EQ(file("keep.bin"), "old contents");
    pieces("T2", "ok", 2);
    end("T2");
    EXPECT_EQ(file("other.bin"), "ok");
}

TEST_F(DocumentsTest, ATargetThatCannotBeReplacedStaysAsItWasWithNoTemporaryLeft) {
    fs::create_directory(dir.root / "busy");
    send("busy", "data", 2);
    EXPECT_TRUE(fs::is_directory(dir.root / "busy"));
    EXPECT_TRUE(rx.log.empty()); // transfer failures are silent
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.root), fs::directory_iterator()), 2); // and the spool
}

TEST_F(DocumentsTest, NamesOutsideTheWorkingDirectoryAreRefusedAndNothingIsWritten) {
    fs::create_directory(dir.root / "sub");
    for (std::string name :
         {"../escape.bin", "/tmp/escape.bin", "sub/x.bin", "sub\\x.bin", "C:x.bin", "..", ".", "", "a\tb"}) {
        SCOPED_TRACE(name);
        rx.log.clear();
        send(name, "evil", 1);
        EXPECT_EQ(rx.log.lines(), (Lines{"F:WS_FIS Refused file name: " + name}));
        EXPECT_FALSE(fs::exists(dir.root / FileTransfer::kSpoolFile));
    }
    EXPECT_TRUE(fs::is_empty(dir.root / "sub"));
    EXPECT_TRUE(isPlainFileName("Auszug vom 1. März.txt"));
}

TEST_F(DocumentsTest, TheProgramsOwnFilesAreNeverTheServers) {
    const Lines own = {"Kavex.Ini",
                       "KAVEX.INI",
                       "Kavex.wpv",
                       "kavex.col",
                       "Blau.COL",
                       "KavexEx.wav",
                       "K12.dat",
                       "kavex.dat",
                       "tmp.gif",
                       "KAVEXREM.TXT",
                       "kavexrem.jrn",
                       "KAVEXREM.WRK",
                       "dummy.bin",
                       "QRELOAD.EXE",
                       "KAVEXUP.EXE",
                       "Kavex.Journal.csv",
                       "kavex.journal.20261207-001.csv",
                       "Kavex.Alerts"};
    for (const std::string& name : own) {
        SCOPED_TRACE(name);
        rx.log.clear();
        receive("@SD=FILE=" + name + ";@CA");
        send(name, "evil", 1);
        EXPECT_EQ(rx.log.lines(),
                  (Lines{"F:WS_SDRefused file name: " + name, "F:WS_FIS Refused file name: " + name}));
        EXPECT_FALSE(fs::exists(dir.root / name));
    }
    // Statements, the update and other names stay the server's to send.
    for (const char* name : {"KV000120240304K.TXT", "KAVEXUP.EXX", "K12a.dat", "Kavex.Ini.txt"})
        EXPECT_TRUE(isReceivableFileName(name)) << name;
}

} // namespace
} // namespace kavex
