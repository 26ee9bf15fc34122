// Files sent by the server in escaped pieces and restored in the working folder.
#include "base/files.h"
#include "community/file_transfer.h"
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

std::string frame(std::string_view wireText) {
    return "\x01" + std::string(wireText) + "\x02";
}

// File transfer through the whole receive path: wire bytes in, files out.
class FileTransferTest : public ::testing::Test {
  protected:
    FileTransferTest() { transfer.bind(rx.dispatcher); }

    void start(const std::string& id, const std::string& name, std::size_t length) {
        rx.receive(frame("@FIS=" + id + ";" + name + ";" + std::to_string(length)));
    }
    // Sends the escaped text in pieces of `pieceSize` characters.
    void pieces(const std::string& id, std::string_view escaped, std::size_t pieceSize) {
        std::string wire;
        for (std::size_t at = 0; at < escaped.size(); at += pieceSize)
            wire += frame("@FID=" + id + ";" + std::string(escaped.substr(at, pieceSize)));
        rx.receive(wire);
    }
    void end(const std::string& id) { rx.receive(frame("@FIE=" + id)); }
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
    FileTransfer transfer{folder, rx.log};
};

TEST_F(FileTransferTest, EscapePairsAtChunkBoundariesAndEveryPieceSize) {
    // The escaped pair for byte `special` starts at offset `pairStart` of the spool file,
    // so a start at 9999 or 19999 splits it between two chunks.
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
            for (std::size_t pieceSize : {3u, 254u, 9999u, 10000u, 10001u, 100000u}) {
                SCOPED_TRACE(testing::Message() << "pair at " << pairStart << ", byte " << int(special)
                                                << ", pieces of " << pieceSize);
                send("split.bin", bytes, pieceSize);
                ASSERT_EQ(file("split.bin"), bytes);
            }
        }
    }
    // Every small piece size, the split pair ending one piece or starting the next.
    const std::string bytes = content(9999, 254);
    for (std::size_t pieceSize = 1; pieceSize <= 16; ++pieceSize) {
        SCOPED_TRACE(testing::Message() << "pieces of " << pieceSize);
        send("small.bin", bytes, pieceSize);
        ASSERT_EQ(file("small.bin"), bytes);
    }
    EXPECT_TRUE(rx.log.empty());
}

TEST_F(FileTransferTest, RestoringWorksOnTheEscapedBytesAlone) {
    std::string restored;
    restoreEscapedChunk("\xFEg\xFE"
                        "d\xFE"
                        "e\xFE"
                        "fx\xFEz\xFE",
                        restored);
    EXPECT_EQ(restored, std::string("\xFE\0\1\2x\xFEz\xFE", 8)); // unknown pairs and a lone end stay
    // A chunk of the spool file ending in an escape byte carries it to the next; a lone
    // escape byte at the very end of the file has no partner and is dropped.
    writeFileAtomically(dir.root / "in.bin", std::string(9999, 'b') + "\xFEgq\xFE");
    restoreFile(dir.root / "in.bin", dir.root / "out.bin");
    EXPECT_EQ(file("out.bin"), std::string(9999, 'b') + "\xFEq");
}

TEST_F(FileTransferTest, ALengthThatDiffersFromTheAnnouncedOneIsLoggedAndTheFileStillWritten) {
    start("T7", "short.bin", 1000);
    pieces("T7", std::string(998, 'x'), 100);
    end("T7");
    EXPECT_EQ(rx.log.lines(), (Lines{"L SOll= 1000 IST= 998"}));
    EXPECT_EQ(file("short.bin"), std::string(998, 'x'));
}

TEST_F(FileTransferTest, PiecesAndEndsOfAnotherTransferAreIgnored) {
    start("T1", "a.bin", 3);
    pieces("T1", "abc", 3);
    rx.receive(frame("@FID=T2;zzz") + frame("@FIDnosemicolon") + frame("@FIE=T2"));
    end("T1");
    EXPECT_EQ(file("a.bin"), "abc");
    // After the end the spool file is closed: a late piece is lost and not counted.
    pieces("T1", "late", 4);
    EXPECT_EQ(transfer.receivedCount(), 4);
    EXPECT_EQ(file(FileTransfer::kSpoolFile), "abc");
}

TEST_F(FileTransferTest, AnInterruptedTransferLeavesNoFileUnderTheTargetName) {
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

TEST_F(FileTransferTest, ATargetThatCannotBeReplacedStaysAsItWasWithNoTemporaryLeft) {
    fs::create_directory(dir.root / "busy");
    send("busy", "data", 2);
    EXPECT_TRUE(fs::is_directory(dir.root / "busy"));
    EXPECT_TRUE(rx.log.empty()); // transfer failures are silent
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.root), fs::directory_iterator()), 2); // and the spool
}

TEST_F(FileTransferTest, NamesOutsideTheWorkingDirectoryAreRefusedAndNothingIsWritten) {
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

} // namespace
} // namespace kavex
