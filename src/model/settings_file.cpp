#include "model/settings_file.h"

#include "base/failure.h"
#include "base/line_file.h"
#include "base/numbers.h"
#include "base/split_fields.h"

namespace kavex {
namespace {

constexpr const char* kLoadTag = "LoadInit: ";

// An empty width line keeps the current widths; otherwise every column gets the
// integer value of its field. A field that cannot be read logs its failure and keeps
// that column's current width; the other columns are still taken.
void readWidths(const std::string& line, int highestColumn, std::vector<int>& widths, FailureLog& log) {
    if (line.empty()) return;
    Fields f = SplitFields(line, ";", highestColumn + 1);
    std::vector<int> read(static_cast<std::size_t>(highestColumn + 1), 0);
    for (int i = 0; i <= highestColumn; ++i) {
        const auto column = static_cast<std::size_t>(i);
        if (column < widths.size()) read[column] = widths[column];
        guard(log, kLoadTag, [&] { read[column] = parseInt32(f[i + 1]); });
    }
    widths = std::move(read);
}

// Reads the settings file one line per step. A value that cannot be read logs its line
// and the next step still runs; values read before stay. A file that ends inside the
// lines every file has logs that once, and those lines keep their current values.
class SettingsReader {
  public:
    SettingsReader(std::vector<std::string> lines, FailureLog& log) : in_(std::move(lines)), log_(log) {}

    bool atEnd() const { return in_.atEnd(); }
    LineFileReader& in() { return in_; }

    template <class Read> void step(Read&& read) {
        if (in_.atEnd()) {
            if (!endLogged_) log_.addLine(std::string("F:") + kLoadTag + "Input past end of file");
            endLogged_ = true;
            return;
        }
        guard(log_, kLoadTag, read);
    }
    // A line the file may end before: `ended` runs instead of reading when it does.
    template <class Read, class Ended> void optionalStep(Read&& read, Ended&& ended) {
        if (in_.atEnd())
            ended();
        else
            guard(log_, kLoadTag, read);
    }

  private:
    LineFileReader in_;
    FailureLog& log_;
    bool endLogged_ = false;
};

} // namespace

std::string widthLine(const std::vector<int>& widths) {
    std::string line;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        if (i > 0) line += ";";
        line += strInt(widths[i]);
    }
    return line;
}

void SettingsFile::load(Settings& s) {
    s.orderGridColumns = 20;
    s.executionGridColumns = 15;
    std::string path = findFileIgnoringCase(folder_.root().string(), kSettingsName);
    if (!std::filesystem::exists(path)) return;
    std::vector<std::string> lines;
    bool readable = false;
    guard(log_, kLoadTag, [&] {
        lines = readTextLines(path);
        readable = true;
    });
    if (!readable) return;
    SettingsReader r(std::move(lines), log_);
    LineFileReader& in = r.in();
    r.step([&] { s.userName = in.text(); });
    r.step([&] { s.serverHost = in.text(); });
    r.step([&] { s.keepServer = in.int16(); });
    r.step([&] { s.reservedText1 = in.text(); });
    r.step([&] { s.reservedText2 = in.text(); });
    r.step([&] { s.reservedNumber = in.int32(); });
    r.step([&] { readWidths(in.text(), s.orderGridColumns, s.orderGridWidths, log_); });
    r.step([&] { readWidths(in.text(), s.executionGridColumns, s.executionGridWidths, log_); });
    if (!r.atEnd()) {
        for (int32_t* geometry : {&s.windowWidth, &s.windowHeight, &s.windowTop, &s.windowLeft}) {
            r.step([&] {
                int32_t v = in.int32();
                if (v > 0) *geometry = v;
            });
        }
    }
    r.step([&] { s.ShowFinishedOrders = in.int16(); });
    r.step([&] { s.password = in.text(); });
    r.step([&] { s.colourFileName = in.text(); });
    // From here on a file that ends early gives the defaults.
    auto number = [&](int16_t& field, int16_t fallback) {
        r.optionalStep([&] { field = in.int16(); }, [&] { field = fallback; });
    };
    number(s.confirmation, 1);
    number(s.chatSound, 1);
    r.optionalStep([&] { s.soundFile = in.text(); }, [&] { s.soundFile = "1.wav"; });
    r.optionalStep([&] { s.zentrivoExtern = in.int16(); }, [] {});
    r.optionalStep([&] { s.asciiRemote = in.int16(); }, [] {});
    number(s.executionSound, 1);
    auto keepIfEmpty = [&](std::string& field, const char* fallback) {
        r.optionalStep(
            [&] {
                std::string v = in.text();
                if (!v.empty()) field = v;
            },
            [&] {
                if (fallback) field = fallback;
            });
    };
    keepIfEmpty(s.bridgePort, "4100");
    keepIfEmpty(s.bridgeUser, "USER");
    keepIfEmpty(s.bridgeAddress, nullptr);
}

std::vector<std::string> SettingsFile::settingsLines(const Settings& s) {
    LineFileWriter out;
    out.quoted(s.userName);
    out.quoted(s.serverHost);
    out.integer(s.keepServer);
    out.quoted(s.reservedText1);
    out.quoted(s.reservedText2);
    out.integer(s.reservedNumber);
    out.bare(widthLine(s.orderGridWidths));
    out.bare(widthLine(s.executionGridWidths));
    out.integer(s.windowWidth);
    out.integer(s.windowHeight);
    out.integer(s.windowTop);
    out.integer(s.windowLeft);
    out.integer(s.ShowFinishedOrders);
    out.bare(s.password);
    out.bare(s.colourFileName);
    out.integer(s.confirmation);
    out.integer(s.chatSound);
    out.bare(s.soundFile);
    out.integer(s.zentrivoExtern);
    out.integer(s.asciiRemote);
    out.integer(s.executionSound);
    out.bare(s.bridgePort);
    out.quoted(s.bridgeUser);
    out.bare(s.bridgeAddress);
    return out.lines();
}

std::vector<std::string> SettingsFile::presetLines(const std::vector<BracketPreset>& presets) {
    LineFileWriter out;
    for (const BracketPreset& p : presets) {
        out.bare(p.presetName);
        out.single(p.profitValue);
        out.single(p.stopValue);
        out.single(p.presetMode);
        out.single(p.presetExtra);
    }
    return out.lines();
}

void SettingsFile::save(const Settings& settings, const std::vector<BracketPreset>& presets) {
    guard(log_, "SaveInit ", [&] { writeTextLines(folder_.path(kSettingsName), settingsLines(settings)); });
    // Without instruments (the list has not arrived) there is nothing to write, and the
    // presets on disk must stay for the next run.
    if (presets.empty()) return;
    guard(log_, "SaveInit ", [&] { writeTextLines(folder_.path(kPresetName), presetLines(presets)); });
}

std::vector<BracketPreset> readPresetFile(const std::filesystem::path& file) {
    LineFileReader in(readTextLines(file));
    std::vector<BracketPreset> blocks;
    while (!in.atEnd()) {
        BracketPreset p;
        p.presetName = in.text();
        if (in.atEnd()) break;
        p.profitValue = in.single();
        if (in.atEnd()) break;
        p.stopValue = in.single();
        if (in.atEnd()) break;
        p.presetMode = in.single();
        if (in.atEnd()) break;
        p.presetExtra = in.single();
        blocks.push_back(std::move(p));
    }
    return blocks;
}

} // namespace kavex
