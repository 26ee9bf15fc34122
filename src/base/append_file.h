#pragma once
// A file that only grows by whole lines: each line is handed to the system in one write,
// so a crash of the program loses at most the line being written. Opening cuts off a
// last line that a crash of the machine or a full disk left without its ending.
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace kavex {

class AppendFile {
  public:
    AppendFile() = default;
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Opens or creates `file` for appending, first cutting a torn last line; returns the
    // number of bytes cut. Throws Failure when the file cannot be opened.
    std::size_t open(const std::filesystem::path& file);
    void close();
    bool isOpen() const { return fd_ >= 0; }

    // Appends the bytes in one write; throws Failure on error (a full disk).
    void append(std::string_view bytes);
    uint64_t size() const { return size_; }

  private:
    int fd_ = -1;
    uint64_t size_ = 0;
};

// The bytes that would stay of `bytes` once a torn last line is cut: everything up to
// and with the last line feed.
std::size_t wholeLinesLength(std::string_view bytes);

} // namespace kavex
