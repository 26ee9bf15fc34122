#pragma once
// How far the file-drop interface has worked off its work file, kept so that no request
// runs twice however the program stops.
//
// One line: the number of request items whose command was started, the number of items
// reserved for the running slice, and the identity of the system boot that wrote it.
// The started count is written before each command and reaches the file system at once
// but is not forced to disk; the reservation is forced to disk before a slice begins.
// After a program crash the started count is exact (the file system kept it); after a
// power cut or a system crash (another boot) only the reservation can be trusted, so the
// rest of that slice is dropped rather than risk running a command again.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace kavex {

class RequestJournal {
  public:
    explicit RequestJournal(std::filesystem::path file);
    ~RequestJournal();
    RequestJournal(const RequestJournal&) = delete;
    RequestJournal& operator=(const RequestJournal&) = delete;

    // A fresh journal (nothing started); it must exist before the work file does.
    void create();
    // Opens the journal for the updates below; `itemsDone` items count as started.
    void open(int64_t itemsDone);
    void started(int64_t items);
    void reserve(int64_t items);
    void close();
    void remove();
    bool exists() const;

    // Where to go on with a work file left behind: the count of items not to run again.
    // An unreadable journal gives INT64_MAX (nothing of its file runs).
    int64_t resumePoint() const;

    // The journal line for these counts, as this boot writes it.
    std::string line(int64_t started, int64_t reserved) const;

  private:
    void write(bool toDisk);

    std::filesystem::path file_;
    std::string boot_;
    std::FILE* handle_ = nullptr;
    int64_t started_ = 0;
    int64_t reserved_ = 0;
};

} // namespace kavex
