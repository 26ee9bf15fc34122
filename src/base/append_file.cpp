#include "base/append_file.h"

#include "base/failure.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kavex {
namespace {

[[noreturn]] void failWith(const char* what, int error) {
    throw Failure(std::string(what) + ": " + std::strerror(error));
}

// The last line of the file may be torn: only the file's tail is read to find the last
// line feed, so opening a 50 MB journal costs one small read.
std::size_t tornTailLength(int fd, uint64_t size) {
    constexpr uint64_t kChunk = 64 * 1024;
    std::string tail;
    uint64_t end = size;
    while (end > 0) {
        const uint64_t start = end > kChunk ? end - kChunk : 0;
        tail.resize(static_cast<std::size_t>(end - start));
        ssize_t n = ::pread(fd, tail.data(), tail.size(), static_cast<off_t>(start));
        if (n != static_cast<ssize_t>(tail.size())) failWith("Read error", n < 0 ? errno : EIO);
        const std::size_t kept = wholeLinesLength(tail);
        if (kept > 0)
            return static_cast<std::size_t>(end - start - kept) + static_cast<std::size_t>(size - end);
        end = start;
    }
    return static_cast<std::size_t>(size);
}

} // namespace

std::size_t wholeLinesLength(std::string_view bytes) {
    const std::size_t lastFeed = bytes.rfind('\n');
    return lastFeed == std::string_view::npos ? 0 : lastFeed + 1;
}

AppendFile::~AppendFile() {
    close();
}

std::size_t AppendFile::open(const std::filesystem::path& file) {
    close();
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) failWith("Path/File access error", errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int e = errno;
        ::close(fd);
        failWith("Path/File access error", e);
    }
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    std::size_t cut = 0;
    try {
        cut = tornTailLength(fd, size);
        if (cut > 0 && ::ftruncate(fd, static_cast<off_t>(size - cut)) != 0) failWith("Write error", errno);
    } catch (...) {
        ::close(fd);
        throw;
    }
    fd_ = fd;
    size_ = size - cut;
    return cut;
}

void AppendFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    size_ = 0;
}

void AppendFile::append(std::string_view bytes) {
    if (fd_ < 0) throw Failure("File not open");
    const uint64_t before = size_;
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int e = errno;
            // A part already written would glue the next line to it: the file goes back.
            if (size_ != before && ::ftruncate(fd_, static_cast<off_t>(before)) == 0) size_ = before;
            failWith("Write error", e);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
        size_ += static_cast<uint64_t>(n);
    }
}

} // namespace kavex
