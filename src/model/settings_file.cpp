#include "model/settings_file.h"

#include "base/failure.h"
#include "base/line_file.h"
#include "base/numbers.h"
#include "base/split_fields.h"

namespace kavex {
namespace {

// An empty width line keeps the current widths; otherwise every column gets the
// integer value of its field.
void readWidths(const std::string& line, int highestColumn, std::vector<int>& widths) {
    if (line.empty()) return;
    Fields f = SplitFields(line, ";", highestColumn + 1);
    std::vector<int> read(static_cast<std::size_t>(highestColumn + 1), 0);
    for (int i = 0; i <= highestColumn; ++i)
        read[static_cast<std::size_t>(i)] = parseInt32(f[i + 1]);
    widths = std::move(read);
}

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
    guard(log_, "LoadInit: ", [&] {
        LineFileReader in(readTextLines(path));
        s.userName = in.text();
        s.serverHost = in.text();
        s.keepServer = in.int16();
        s.reservedText1 = in.text();
        s.reservedText2 = in.text();
        s.reservedNumber = in.int32();
        readWidths(in.text(), s.orderGridColumns, s.orderGridWidths);
        readWidths(in.text(), s.executionGridColumns, s.executionGridWidths);
        if (!in.atEnd()) {
            for (int32_t* geometry : {&s.windowWidth, &s.windowHeight, &s.windowTop, &s.windowLeft}) {
                int32_t v = in.int32();
                if (v > 0) *geometry = v;
            }
        }
        s.ShowFinishedOrders = in.int16();
        s.password = in.text();
        s.colourFileName = in.text();
        // From here on a file that ends early gives the defaults.
        auto orDefault = [&](int16_t fallback) { return in.atEnd() ? fallback : in.int16(); };
        s.confirmation = orDefault(1);
        s.chatSound = orDefault(1);
        s.soundFile = in.atEnd() ? "1.wav" : in.text();
        if (!in.atEnd()) s.zentrivoExtern = in.int16();
        if (!in.atEnd()) s.asciiRemote = in.int16();
        s.executionSound = orDefault(1);
        auto keepIfEmpty = [&](std::string& field, const char* fallback) {
            if (in.atEnd()) {
                if (fallback) field = fallback;
                return;
            }
            std::string v = in.text();
            if (!v.empty()) field = v;
        };
        keepIfEmpty(s.bridgePort, "4100");
        keepIfEmpty(s.bridgeUser, "USER");
        keepIfEmpty(s.bridgeAddress, nullptr);
    });
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
