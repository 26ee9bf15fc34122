#include "external/request_journal.h"

#include "base/files.h"

#include <algorithm>
#include <cinttypes>
#include <climits>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace kavex {
namespace {

// Changes with every start of the system; empty where the system does not tell, and
// then every journal counts as written by another boot.
std::string currentBoot() {
    std::ifstream in("/proc/sys/kernel/random/boot_id");
    std::string id;
    std::getline(in, id);
    return id;
}

} // namespace

RequestJournal::RequestJournal(std::filesystem::path file) : file_(std::move(file)), boot_(currentBoot()) {}

RequestJournal::~RequestJournal() {
    close();
}

std::string RequestJournal::line(int64_t started, int64_t reserved) const {
    char text[64];
    std::snprintf(text, sizeof text, "%018" PRId64 " %018" PRId64 " ", started, reserved);
    return text + (boot_.empty() ? std::string("-") : boot_) + "\r\n";
}

void RequestJournal::create() {
    close();
    started_ = reserved_ = 0;
    if (std::FILE* f = std::fopen(file_.c_str(), "wb")) {
        std::fputs(line(0, 0).c_str(), f);
        std::fclose(f);
    }
}

void RequestJournal::open(int64_t itemsDone) {
    close();
    started_ = reserved_ = itemsDone;
    handle_ = std::fopen(file_.c_str(), "r+b");
}

void RequestJournal::started(int64_t items) {
    started_ = items;
    write(false);
}

void RequestJournal::reserve(int64_t items) {
    reserved_ = items;
    write(true);
}

void RequestJournal::write(bool toDisk) {
    if (!handle_) return;
    std::fseek(handle_, 0, SEEK_SET);
    std::fputs(line(started_, reserved_).c_str(), handle_);
    std::fflush(handle_);
    if (toDisk) ::fdatasync(::fileno(handle_));
}

void RequestJournal::close() {
    if (handle_) std::fclose(handle_);
    handle_ = nullptr;
}

void RequestJournal::remove() {
    close();
    std::error_code ec;
    std::filesystem::remove(file_, ec);
}

bool RequestJournal::exists() const {
    std::error_code ec;
    return std::filesystem::exists(file_, ec);
}

int64_t RequestJournal::resumePoint() const {
    std::string text;
    try {
        text = readFileBytes(file_);
    } catch (const std::exception&) {
        return INT64_MAX;
    }
    std::istringstream in(text);
    int64_t started = -1, reserved = -1;
    std::string boot;
    if (!(in >> started >> reserved >> boot) || started < 0 || reserved < 0) return INT64_MAX;
    return boot == boot_ && !boot_.empty() ? started : std::max(started, reserved);
}

} // namespace kavex
