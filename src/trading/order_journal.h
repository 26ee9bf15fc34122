#pragma once
// The order journal "Kavex.Journal.csv": one UTF-8 CSV line per order event, each handed
// to the system as it happens, so a crash loses at most the line being written. A torn
// last line is cut when the journal opens. A new file starts each day and past the size
// limit; the old one is kept as "Kavex.Journal.YYYYMMDD-NNN.csv", the newest 30 of them.
#include "base/append_file.h"
#include "platform/event_loop.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace kavex {

class FailureLog;

struct JournalLine {
    std::string event; // "@PO", "@CO", "refused", "@OR", "@CR", "status", "fill"
    int32_t order = 0; // user order number, 0 when unknown
    std::string instrument, side, type;
    int32_t quantity = 0;
    float limit1 = 0, limit2 = 0;
    std::string status;
    std::optional<float> fillPrice;
    std::string origin, text;
};

class OrderJournal {
  public:
    static constexpr const char* kFileName = "Kavex.Journal.csv";
    static constexpr const char* kHeader =
        "time;event;order;instrument;side;type;quantity;limit1;limit2;status;fill price;origin;text";
    static constexpr uint64_t kMaxBytes = 50ull * 1024 * 1024;
    static constexpr int kKeptFiles = 30;

    OrderJournal(std::filesystem::path folder, std::function<LocalDateTime()> clock, FailureLog& log,
                 uint64_t maxBytes = kMaxBytes, int keptFiles = kKeptFiles);

    // Opens the current file (cutting a torn last line) or starts it with its header.
    // A journal that cannot be opened logs the failure and writes nothing.
    void open();
    // Appends one line, first starting a new file when the day changed or the line would
    // pass the size limit. A failed write is logged; the program goes on.
    void write(const JournalLine& line);

    // "2026-12-07 14:03:05.120;@PO;17;..." with CR LF.
    static std::string csvLine(const LocalDateTime& time, const JournalLine& line);

  private:
    void startFile(const LocalDateTime& time);
    void rotate();
    void removeOldFiles();
    std::filesystem::path current() const { return folder_ / kFileName; }

    std::filesystem::path folder_;
    std::function<LocalDateTime()> clock_;
    FailureLog& log_;
    uint64_t maxBytes_;
    int keptFiles_;
    AppendFile file_;
    std::string fileDay_; // "YYYYMMDD" of the lines in the current file
};

} // namespace kavex
