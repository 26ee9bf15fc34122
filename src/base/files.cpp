#include "base/files.h"

#include "base/cp1252.h"
#include "base/failure.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavex {
namespace {

[[noreturn]] void failWith(const std::string& what, int error) {
    throw Failure(what + ": " + std::strerror(error));
}

void writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            failWith("Write error", errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

// Writes `bytes` to a new temporary file beside `target`, optionally flushed to disk.
// Returns its path; throws Failure (and leaves nothing behind) on error.
std::string writeTemporary(const std::filesystem::path& target, std::string_view bytes, bool flush) {
    std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    std::string tempName = ".";
    tempName.append(target.filename().string()).append(".XXXXXX");
    std::string temp = (folder / tempName).string();
    int fd = ::mkstemp(temp.data());
    if (fd < 0) failWith("Path/File access error", errno);
    try {
        writeAll(fd, bytes);
        if (flush && ::fsync(fd) != 0) failWith("Write error", errno);
    } catch (...) {
        ::close(fd);
        ::unlink(temp.c_str());
        throw;
    }
    if (::close(fd) != 0) {
        int e = errno;
        ::unlink(temp.c_str());
        failWith("Write error", e);
    }
    ::chmod(temp.c_str(), 0644);
    return temp;
}

void renameOver(const std::string& temp, const std::filesystem::path& target) {
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        int e = errno;
        ::unlink(temp.c_str());
        failWith("Path/File access error", e);
    }
}

void syncFolder(const std::filesystem::path& target) {
    std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace

void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    std::string temp = writeTemporary(target, bytes, true);
    renameOver(temp, target);
    syncFolder(target);
}

AtomicFileBatch::~AtomicFileBatch() {
    for (const Pending& p : pending_)
        ::unlink(p.temp.c_str());
}

void AtomicFileBatch::add(const std::filesystem::path& target, std::string_view bytes) {
    pending_.push_back({writeTemporary(target, bytes, false), target});
}

std::vector<std::pair<std::filesystem::path, std::string>> AtomicFileBatch::commit() {
    std::vector<std::pair<std::filesystem::path, std::string>> failed;
    if (pending_.empty()) return failed;
    // One flush of the file system for all temporaries, then the renames.
    int fd = ::open(pending_.front().temp.c_str(), O_RDONLY);
    bool flushed = fd >= 0 && ::syncfs(fd) == 0;
    int error = errno;
    if (fd >= 0) ::close(fd);
    if (!flushed) {
        for (const Pending& p : pending_) {
            ::unlink(p.temp.c_str());
            failed.emplace_back(p.target, std::string("Write error: ") + std::strerror(error));
        }
        pending_.clear();
        return failed;
    }
    for (const Pending& p : pending_) {
        try {
            renameOver(p.temp.string(), p.target);
        } catch (const Failure& f) {
            failed.emplace_back(p.target, f.what());
        }
    }
    syncFolder(pending_.front().target);
    pending_.clear();
    return failed;
}

namespace {

// The form writeTemporary gives its files; mkstemp fills the six X with letters and digits.
bool isOurTemporary(const std::string& name) {
    constexpr std::size_t kSuffix = 7; // ".XXXXXX"
    if (name.size() < 2 + kSuffix || name.front() != '.' || name[name.size() - kSuffix] != '.') return false;
    return std::all_of(name.end() - (kSuffix - 1), name.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

} // namespace

int removeStaleTemporaries(const std::filesystem::path& folder) {
    int removed = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        std::error_code typeError;
        if (!entry.is_regular_file(typeError) || !isOurTemporary(entry.path().filename().string())) continue;
        if (::unlink(entry.path().c_str()) == 0) ++removed;
    }
    return removed;
}

std::string readFileBytes(const std::filesystem::path& file) {
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) throw Failure("File not found");
    std::string bytes;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.append(buf, n);
    bool bad = std::ferror(f) != 0;
    std::fclose(f);
    if (bad) throw Failure("Input past end of file");
    return bytes;
}

std::vector<std::string> readTextLines(const std::filesystem::path& file) {
    std::string text = cp1252::toUtf8(readFileBytes(file));
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t lf = text.find('\n', start);
        std::size_t end = lf == std::string::npos ? text.size() : lf;
        std::size_t cut = (end > start && text[end - 1] == '\r') ? end - 1 : end;
        lines.emplace_back(text, start, cut - start);
        if (lf == std::string::npos) break;
        start = lf + 1;
    }
    return lines;
}

std::string encodeTextLines(const std::vector<std::string>& lines) {
    std::string utf8;
    for (const std::string& line : lines) {
        utf8 += line;
        utf8 += "\r\n";
    }
    return cp1252::fromUtf8(utf8);
}

void writeTextLines(const std::filesystem::path& file, const std::vector<std::string>& lines) {
    writeFileAtomically(file, encodeTextLines(lines));
}

} // namespace kavex
