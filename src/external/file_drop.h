#pragma once
// The file-drop interface: another program writes request lines into "KAVEXREM.TXT";
// once a second the file is taken under the work name "KAVEXREM.WRK", its commands run
// through the external order operations, and a line goes to "KAVEXREM.PRT". Orders it
// creates are listed with their numbers in "KAVEXREM.ORD".
//
// Beyond the plain poll: a file still being written is left for a later tick; a long
// file is worked off in slices over several ticks, in order; bad order lines are logged
// and skipped; a journal ("KAVEXREM.JRN") records each command before it runs, so a
// crash never makes a command run twice; and a file a crash left unfinished goes on only
// once the program is logged in with its instruments.
#include "base/files.h"
#include "external/request_journal.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kavex {

class EventLoop;
class ExternalCommands;
class TextList;

class FileDrop {
  public:
    static constexpr int kTickMs = 1000;
    // Request items worked off per tick; the rest waits for the next ticks.
    static constexpr int kItemsPerTick = 200;
    // A request file ending in a line end and untouched for this long is complete.
    static constexpr int kQuietMs = 250;
    // The log list keeps the newest lines only.
    static constexpr std::size_t kLogLines = 5000;
    static constexpr const char* kRequestFile = "KAVEXREM.TXT";
    static constexpr const char* kWorkFile = "KAVEXREM.WRK";
    static constexpr const char* kProtocolFile = "KAVEXREM.PRT";
    static constexpr const char* kOrderIdFile = "KAVEXREM.ORD";
    static constexpr const char* kJournalFile = "KAVEXREM.JRN";
    // The log line of an order held for the user's approval.
    static constexpr const char* kWaiting = "wartet auf Freigabe";

    FileDrop(EventLoop& loop, const WorkingDirectory& folder, TextList& log, ExternalCommands& commands);
    ~FileDrop();
    FileDrop(const FileDrop&) = delete;
    FileDrop& operator=(const FileDrop&) = delete;

    // The "ASCII-Remote" option: on starts the polling timer, off stops it. The log
    // list is shown while it is on.
    void setActive(bool on);
    bool active() const { return timer_ != 0; }

    // One polling tick.
    void pollTick();

    // Appends '"' reference '";' id to "KAVEXREM.ORD", only while the interface is on.
    void recordOrderId(const std::string& externalRef, int32_t orderUserId);

    // An order that was held for approval and then refused: logged as a skipped line.
    void refusedLater(std::string_view reason);

    // One request line as the tick executes it (logged, split, dispatched).
    void execute(std::string_view line);

    // True while a request file is being worked off.
    bool working() const { return work_.has_value(); }

    // Whether orders can be traded now (logged in, instrument list loaded); unset means
    // always. A file left unfinished by the last run waits for it.
    std::function<bool()> tradingReady;

  private:
    struct Work {
        std::string text;     // the work file, decoded
        std::size_t next = 0; // offset of the next item
        int64_t items = 0;    // items read so far
        std::string lastItem; // for the protocol line
    };
    struct Seen {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified;
    };

    bool resumeWork();
    bool takeRequestFile();
    bool requestFileComplete();
    void startWork(int64_t itemsDone);
    bool nextItem(std::string& item);
    void runItems(int budget);
    void finishWork();
    void logLine(std::string_view text);
    void skipped(std::string_view reason);
    std::filesystem::path file(const char* name) const { return folder_.path(name); }

    EventLoop& loop_;
    const WorkingDirectory& folder_;
    TextList& log_;
    ExternalCommands& commands_;
    RequestJournal journal_;
    int timer_ = 0;
    bool busy_ = false;
    std::optional<Work> work_;
    std::optional<Seen> seen_;
};

} // namespace kavex
