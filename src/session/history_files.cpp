#include "session/history_files.h"

#include "base/failure.h"
#include "base/files.h"
#include "base/numbers.h"
#include "base/text_list.h"
#include "model/trading_data.h"
#include "session/price_fields.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace kavex {
namespace {

constexpr std::string_view kZeroLine = " 0; 0; 0; 0; 0\r\n";
constexpr std::size_t kTypicalLineLength = 48;

bool isZero(const HistoryEntry& e) {
    return e.Time == 0 && e.Bid == 0 && e.Ask == 0 && e.Last == 0 && e.Volume == 0;
}

// Prices repeat a lot within a ring, so each file's writer keeps the Str forms it made in
// a small direct-mapped cache instead of formatting every price anew.
class PriceTexts {
  public:
    void append(std::string& out, float value) {
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        Slot& slot = slots_[(bits * 2654435761u) >> 24];
        if (!slot.used || slot.bits != bits) {
            std::string text;
            appendStrSingle(text, value);
            if (text.size() > sizeof slot.text) {
                out += text;
                return;
            }
            slot.used = true;
            slot.bits = bits;
            slot.length = static_cast<uint8_t>(text.size());
            std::memcpy(slot.text, text.data(), text.size());
        }
        out.append(slot.text, slot.length);
    }

  private:
    struct Slot {
        bool used = false;
        uint8_t length = 0;
        uint32_t bits = 0;
        char text[16] = {};
    };
    std::array<Slot, 256> slots_{};
};

// The lines of a file: CR LF or a bare LF ends a line; a last line without an ending counts.
void cutLines(std::string_view text, std::vector<std::string_view>& lines) {
    lines.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t lf = text.find('\n', start);
        std::size_t end = lf == std::string_view::npos ? text.size() : lf;
        std::size_t cut = (end > start && text[end - 1] == '\r') ? end - 1 : end;
        lines.push_back(text.substr(start, cut - start));
        if (lf == std::string_view::npos) break;
        start = lf + 1;
    }
}

} // namespace

HistoryFiles::HistoryFiles(TradingData& data, WorkingDirectory& directory, TextList& log)
    : data_(data), directory_(directory), log_(log) {}

std::string HistoryFiles::fileName(int instrument) {
    return "K" + std::to_string(instrument) + ".dat";
}

void HistoryFiles::loadHistory(int count) {
    data_.history.create(count);
    for (int n = 1; n <= count; ++n)
        load(n);
    text_.clear();
    text_.shrink_to_fit();
}

void HistoryFiles::load(int instrument) {
    std::error_code error;
    std::filesystem::path path = directory_.path(fileName(instrument));
    if (!std::filesystem::exists(path, error)) return;
    bool read = false;
    skipOnFailure([&] {
        text_ = readFileBytes(path);
        read = true;
    });
    if (!read) return;
    cutLines(text_, lines_);
    // A longer file was not written by this program; its newest 3000 lines fill the ring.
    std::size_t first = lines_.size() > PriceHistory::kSlots ? lines_.size() - PriceHistory::kSlots : 0;
    PriceHistory& history = data_.history;
    for (std::size_t i = first; i < lines_.size(); ++i) {
        skipOnFailure([&] {
            int16_t slot = static_cast<int16_t>(history.pos(instrument) + 1);
            history.setPos(instrument, slot);
            fields_.split(lines_[i], ";", 10);
            HistoryEntry& e = history.slot(instrument, slot);
            skipOnFailure([&] { e.Time = parseLeading(fields_[1]); });
            skipOnFailure([&] { e.Bid = readPrice(fields_[2]); });
            skipOnFailure([&] { e.Ask = readPrice(fields_[3]); });
            skipOnFailure([&] { e.Last = readPrice(fields_[4]); });
            skipOnFailure([&] { e.Volume = parseInt32(fields_[5]); });
        });
    }
}

void HistoryFiles::appendFileText(const PriceHistory& history, int instrument, std::string& out) {
    const int newest = history.pos(instrument);
    PriceTexts prices;
    for (int k = 1; k <= PriceHistory::kSlots; ++k) {
        const HistoryEntry& e = history.slot(instrument, (newest + k - 1) % PriceHistory::kSlots + 1);
        if (isZero(e)) {
            out += kZeroLine;
            continue;
        }
        appendStrDouble(out, e.Time);
        out += ';';
        prices.append(out, e.Bid);
        out += ';';
        prices.append(out, e.Ask);
        out += ';';
        prices.append(out, e.Last);
        out += ';';
        appendStrInt(out, e.Volume);
        out += "\r\n";
    }
}

void HistoryFiles::saveHistory() {
    // All files go to disk with one flush; each replaces its old file only when complete.
    AtomicFileBatch batch;
    text_.reserve(PriceHistory::kSlots * kTypicalLineLength);
    for (int n = 1; n <= data_.instrumentCount(); ++n) {
        guard(log_, "SaveKurse ", [&] {
            text_.clear();
            appendFileText(data_.history, n, text_);
            batch.add(directory_.path(fileName(n)), text_);
        });
    }
    text_.clear();
    text_.shrink_to_fit();
    for (const auto& [file, description] : batch.commit())
        log_.addLine("F:SaveKurse " + description);
}

} // namespace kavex
