#include "external/file_drop.h"

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/fixed_text.h"
#include "base/numbers.h"
#include "base/text_list.h"
#include "external/command_line.h"
#include "external/external_commands.h"
#include "platform/event_loop.h"

#include <chrono>

namespace kavex {
namespace {

namespace fs = std::filesystem;

// Appends one line (CR LF) in the 8-bit code page; a failure goes unnoticed.
void appendLine(const fs::path& file, std::string_view utf8) {
    std::string bytes = cp1252::fromUtf8(utf8);
    bytes.append("\r\n");
    if (std::FILE* f = std::fopen(file.c_str(), "ab")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

bool lastByteIsLineEnd(const fs::path& file, std::uintmax_t size) {
    if (size == 0) return false;
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return false;
    int c = EOF;
    if (std::fseek(f, static_cast<long>(size - 1), SEEK_SET) == 0) c = std::fgetc(f);
    std::fclose(f);
    return c == '\n' || c == '\r';
}

} // namespace

FileDrop::FileDrop(EventLoop& loop, const WorkingDirectory& folder, TextList& log, ExternalCommands& commands)
    : loop_(loop), folder_(folder), log_(log), commands_(commands), journal_(folder.path(kJournalFile)) {
    log_.setMaxLines(kLogLines);
}

FileDrop::~FileDrop() {
    // An unfinished file stays with its journal, so the next run goes on where this one stopped.
    setActive(false);
}

void FileDrop::setActive(bool on) {
    if (on && timer_ == 0) {
        timer_ = loop_.startTimer(kTickMs, [this] { pollTick(); });
    } else if (!on && timer_ != 0) {
        loop_.stopTimer(timer_);
        timer_ = 0;
    }
}

void FileDrop::pollTick() {
    // A tick that fires while a message box of the running one is open waits for it.
    if (busy_) return;
    busy_ = true;
    skipOnFailure([&] {
        // A file left unfinished by the last run goes on only once its orders can be
        // traded, and everything newer waits behind it.
        if (!work_ && journal_.exists() && tradingReady && !tradingReady()) return;
        if (work_ || resumeWork() || takeRequestFile()) runItems(kItemsPerTick);
    });
    busy_ = false;
}

bool FileDrop::resumeWork() {
    if (!journal_.exists()) return false;
    std::error_code ec;
    if (!fs::exists(file(kWorkFile), ec)) {
        // Left behind by a stop between finishing a file and removing its journal.
        journal_.remove();
        return false;
    }
    startWork(journal_.resumePoint());
    return true;
}

bool FileDrop::takeRequestFile() {
    std::error_code ec;
    if (!fs::exists(file(kRequestFile), ec)) {
        seen_.reset();
        return false;
    }
    if (!requestFileComplete()) return false;
    seen_.reset();
    // The journal exists before the work file does, so a work file without a journal is
    // one this program never started on.
    journal_.create();
    fs::remove(file(kWorkFile), ec);
    fs::rename(file(kRequestFile), file(kWorkFile), ec);
    if (ec) {
        // Locked by its writer: it is tried again on the next tick.
        journal_.remove();
        return false;
    }
    startWork(0);
    return true;
}

bool FileDrop::requestFileComplete() {
    std::error_code ec;
    const fs::path path = file(kRequestFile);
    Seen now;
    now.size = fs::file_size(path, ec);
    if (ec) return false;
    now.modified = fs::last_write_time(path, ec);
    if (ec) return false;
    if (seen_ && seen_->size == now.size && seen_->modified == now.modified) return true;
    const auto age = fs::file_time_type::clock::now() - now.modified;
    if (age >= std::chrono::milliseconds(kQuietMs) && lastByteIsLineEnd(path, now.size)) return true;
    seen_ = now;
    return false;
}

void FileDrop::startWork(int64_t itemsDone) {
    Work w;
    try {
        w.text = cp1252::toUtf8(readFileBytes(file(kWorkFile)));
    } catch (const std::exception&) {
        // An unreadable work file executes nothing; it is still removed and logged.
    }
    work_ = std::move(w);
    journal_.open(itemsDone);
    std::string item;
    while (work_->items < itemsDone && nextItem(item))
        work_->lastItem = item;
}

bool FileDrop::nextItem(std::string& item) {
    Work& w = *work_;
    if (w.next >= w.text.size()) return false;
    // An item ends at a comma or a line end (CR LF, LF or CR).
    std::size_t end = w.text.find_first_of(",\r\n", w.next);
    if (end == std::string::npos) end = w.text.size();
    item.assign(w.text, w.next, end - w.next);
    w.next = end + 1;
    if (end < w.text.size() && w.text[end] == '\r' && w.next < w.text.size() && w.text[w.next] == '\n')
        ++w.next;
    ++w.items;
    return true;
}

void FileDrop::runItems(int budget) {
    journal_.reserve(work_->items + budget);
    std::string item;
    while (budget-- > 0 && nextItem(item)) {
        work_->lastItem = item;
        if (item.empty() || item.front() == '\'') continue;
        journal_.started(work_->items);
        execute(item);
    }
    if (work_->next >= work_->text.size()) finishWork();
}

void FileDrop::finishWork() {
    std::error_code ec;
    journal_.close();
    std::string last = std::move(work_->lastItem);
    work_.reset();
    fs::remove(file(kWorkFile), ec);
    appendLine(file(kProtocolFile), timeOfDayText(loop_.now()) + " " + blankControls(last));
    journal_.remove();
}

void FileDrop::logLine(std::string_view text) {
    log_.addLine(timeOfDayText(loop_.now()) + " " + blankControls(text));
}

void FileDrop::refusedLater(std::string_view reason) {
    skipped(reason);
}

void FileDrop::skipped(std::string_view reason) {
    logLine("übersprungen: " + std::string(reason));
}

void FileDrop::execute(std::string_view line) {
    logLine(line);
    skipOnFailure([&] {
        const CommandFields f(line, CommandFields::kCommandLineFields);
        const std::string_view command = f[1];
        if (command == "@PO") {
            std::string_view orderText = line.size() > 4 ? line.substr(4) : std::string_view{};
            switch (commands_.placeOrder(orderText)) {
            case ExternalOrderResult::Placed:
                break;
            case ExternalOrderResult::UnknownInstrument:
                skipped(ExternalCommands::kUnknownInstrument);
                break;
            case ExternalOrderResult::NotPlaced:
                skipped(commands_.whyNotPlaced());
                break;
            case ExternalOrderResult::Waiting:
                logLine(kWaiting);
                break;
            }
        } else if (command == "@CO") {
            int32_t id = 0;
            try {
                if (!isNumberText(f[2])) throw Failure("not a number");
                id = parseInt32(f[2]);
            } catch (const std::exception&) {
                return skipped("Order-ID ungültig");
            }
            commands_.cancelOrder(id);
        } else if (command == "@GL") {
            commands_.closeAllPositions();
        } else if (command == "@CA") {
            commands_.cancelAllOrders();
        }
    });
}

void FileDrop::recordOrderId(const std::string& externalRef, int32_t orderUserId) {
    if (!active()) return;
    appendLine(file(kOrderIdFile), "\"" + externalRef + "\";" + std::to_string(orderUserId));
}

} // namespace kavex
