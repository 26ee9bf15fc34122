#include "community/file_transfer.h"

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/files.h"
#include "base/numbers.h"
#include "base/split_fields.h"
#include "community/client_files.h"
#include "protocol/message_dispatcher.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace kavex {
namespace {

constexpr int kMaxFields = 10;

[[noreturn]] void failWith(const char* what, int error) {
    throw Failure(std::string(what) + ": " + std::strerror(error));
}

// The restored file grows in a temporary file beside the target; nothing appears under
// the target's name before the file is complete.
class TemporaryBeside {
  public:
    explicit TemporaryBeside(const std::filesystem::path& target) : target_(target) {
        std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
        path_ = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
        fd_ = ::mkstemp(path_.data());
        if (fd_ < 0) failWith("Path/File access error", errno);
    }
    ~TemporaryBeside() {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_) ::unlink(path_.c_str());
    }
    TemporaryBeside(const TemporaryBeside&) = delete;
    TemporaryBeside& operator=(const TemporaryBeside&) = delete;

    void append(std::string_view bytes) {
        while (!bytes.empty()) {
            ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR) continue;
                failWith("Write error", errno);
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }

    // Flushes the file to disk and renames it over the target.
    void commit() {
        if (::fsync(fd_) != 0) failWith("Write error", errno);
        int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) failWith("Write error", errno);
        ::chmod(path_.c_str(), 0644);
        if (::rename(path_.c_str(), target_.c_str()) != 0) failWith("Path/File access error", errno);
        committed_ = true;
        std::filesystem::path folder = target_.parent_path().empty() ? "." : target_.parent_path();
        int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }

  private:
    std::filesystem::path target_;
    std::string path_;
    int fd_ = -1;
    bool committed_ = false;
};

char restoredByte(char letter) {
    switch (letter) {
    case 'd':
        return '\0';
    case 'e':
        return '\1';
    case 'f':
        return '\2';
    default:
        return static_cast<char>(kTransferEscape);
    }
}

bool isEscapeLetter(char c) {
    return c == 'd' || c == 'e' || c == 'f' || c == 'g';
}

} // namespace

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || c == '/' || c == '\\' || c == ':') return false;
    }
    return true;
}

void restoreEscapedChunk(std::string_view chunk, std::string& out) {
    out.reserve(out.size() + chunk.size());
    std::size_t start = 0;
    for (std::size_t i = 0; i + 1 < chunk.size(); ++i) {
        if (static_cast<unsigned char>(chunk[i]) != kTransferEscape || !isEscapeLetter(chunk[i + 1]))
            continue;
        out.append(chunk.data() + start, i - start);
        out.push_back(restoredByte(chunk[i + 1]));
        start = i + 2;
        ++i;
    }
    out.append(chunk.data() + start, chunk.size() - start);
}

void restoreFile(const std::filesystem::path& source, const std::filesystem::path& target) {
    std::FILE* in = std::fopen(source.c_str(), "rb");
    if (!in) throw Failure("File not found");
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(in, std::fclose);
    TemporaryBeside out(target);
    std::string chunk(FileTransfer::kChunkSize + 1, '\0');
    std::string restored;
    bool carry = false;
    for (;;) {
        std::size_t offset = carry ? 1 : 0;
        if (carry) chunk[0] = static_cast<char>(kTransferEscape);
        std::size_t n = std::fread(chunk.data() + offset, 1, FileTransfer::kChunkSize, in);
        if (n == 0) break;
        std::size_t length = offset + n;
        carry = static_cast<unsigned char>(chunk[length - 1]) == kTransferEscape;
        if (carry) --length;
        restored.clear();
        restoreEscapedChunk(std::string_view(chunk.data(), length), restored);
        out.append(restored);
    }
    if (std::ferror(in)) throw Failure("Input past end of file");
    // An escape byte left over at the very end has no partner and is dropped.
    out.commit();
}

FileTransfer::FileTransfer(WorkingDirectory& folder, FailureLog& log) : folder_(folder), log_(log) {}

FileTransfer::~FileTransfer() = default;

void FileTransfer::bind(MessageDispatcher& dispatcher) {
    dispatcher.setHandler(Handler::FileStart, [this](std::string_view t) { onFileStart(t); });
    dispatcher.setHandler(Handler::FileData, [this](std::string_view t) { onFileData(t); });
    dispatcher.setHandler(Handler::FileEnd, [this](std::string_view t) { onFileEnd(t); });
}

void FileTransfer::onFileStart(std::string_view text) {
    const Fields f = SplitFields(text, ";", kMaxFields);
    transferId_ = f[1];
    targetName_ = f[2];
    skipOnFailure([&] { expectedLength_ = parseInt32(f[3]); });
    receivedCount_ = 1;
    stage_ = 1;
    // Any unfinished transfer is abandoned with its spool file.
    if (spool_.is_open()) spool_.close();
    std::error_code ec;
    std::filesystem::remove(folder_.path(kSpoolFile), ec);
    accepted_ = isReceivableFileName(targetName_);
    if (!accepted_) {
        log_.addLine("F:WS_FIS Refused file name: " + targetName_);
        return;
    }
    spool_.clear();
    spool_.open(folder_.path(kSpoolFile), std::ios::binary | std::ios::trunc);
    if (started) started();
}

void FileTransfer::onFileData(std::string_view text) {
    // A piece without ";" carries no data; it is ignored like a piece of another transfer.
    std::size_t semicolon = text.find(';');
    if (!accepted_ || semicolon == std::string_view::npos) return;
    if (text.substr(0, semicolon) != transferId_) return;
    // Every character stands for one byte; the code page maps all 256 values both ways.
    std::string bytes = cp1252::fromUtf8(text.substr(semicolon + 1));
    if (!spool_.is_open()) return; // after the end: the closed spool file takes nothing
    spool_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    spool_.flush();      // the spool file always holds every piece received
    if (!spool_) return; // a piece that cannot be written is lost; the end reports it
    int64_t count = int64_t{receivedCount_} + static_cast<int64_t>(bytes.size());
    if (count > std::numeric_limits<int32_t>::max()) return; // the count overflows: not counted
    receivedCount_ = static_cast<int32_t>(count);
    stage_ = 2;
}

void FileTransfer::onFileEnd(std::string_view text) {
    const Fields f = SplitFields(text, ";", kMaxFields);
    if (!accepted_ || f[1] != transferId_) return;
    skipOnFailure([&] { spool_.close(); });
    if (receivedCount_ - 1 != expectedLength_)
        log_.addLine("L SOll=" + strInt(expectedLength_) + " IST=" + strInt(receivedCount_ - 1));
    skipOnFailure([&] { restoreFile(folder_.path(kSpoolFile), folder_.path(targetName_)); });
    stage_ = 3;
    if (ended) ended();
}

} // namespace kavex
