#pragma once
// Files the server sends in pieces: "@FIS" starts a transfer, "@FID" carries a piece,
// "@FIE" ends it. Pieces are spooled to "dummy.bin" as sent (escaped); the end message
// turns the spool file into the target file with the escaped bytes restored.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>

namespace kavex {

class FailureLog;
class MessageDispatcher;
class WorkingDirectory;

// A file name the server may write: a plain name inside the working directory. Names
// with a folder part, a drive, an absolute path, "." or ".." or control characters are
// refused, so no message can write outside the working directory.
bool isPlainFileName(std::string_view name);

// The transfer escape: 254 followed by "d", "e", "f" or "g" stands for 0, 1, 2 and 254.
constexpr unsigned char kTransferEscape = 254;

// Restores one chunk of escaped bytes and appends the result to `out`. A pair is always
// the escape byte followed by a letter, and a letter is never the escape byte, so pairs
// cannot overlap: one left-to-right pass gives the same result as one pass per letter.
// An escape byte followed by anything else is kept as it is.
void restoreEscapedChunk(std::string_view chunk, std::string& out);

// Turns the escaped `source` into `target`, reading at most 10000 bytes at a time; an
// escape byte at the end of a chunk is carried to the front of the next one so that a
// pair split between two chunks is restored whole. The result goes to a temporary file
// beside the target that replaces the target only when it is complete. Throws Failure.
void restoreFile(const std::filesystem::path& source, const std::filesystem::path& target);

class FileTransfer {
  public:
    static constexpr const char* kSpoolFile = "dummy.bin";
    static constexpr std::size_t kChunkSize = 10000;

    // `log` is the trading window's log list.
    FileTransfer(WorkingDirectory& folder, FailureLog& log);
    ~FileTransfer();
    FileTransfer(const FileTransfer&) = delete;
    FileTransfer& operator=(const FileTransfer&) = delete;

    void bind(MessageDispatcher& dispatcher);

    void onFileStart(std::string_view text);
    void onFileData(std::string_view text);
    void onFileEnd(std::string_view text);

    const std::string& transferId() const { return transferId_; }
    const std::string& targetName() const { return targetName_; }
    int32_t expectedLength() const { return expectedLength_; }
    int32_t receivedCount() const { return receivedCount_; }
    uint8_t stage() const { return stage_; }

    // Told when a transfer starts and when it ends.
    std::function<void()> started, ended;

  private:
    WorkingDirectory& folder_;
    FailureLog& log_;
    std::string transferId_;
    std::string targetName_;
    int32_t expectedLength_ = 0;
    int32_t receivedCount_ = 0;
    uint8_t stage_ = 0;
    // False while no transfer was started or its target name was refused: pieces and
    // ends are then ignored whatever their id.
    bool accepted_ = false;
    std::ofstream spool_;
};

} // namespace kavex
