#include "views/colour_roles.h"

#include "base/failure.h"
#include "base/line_file.h"

#include <filesystem>

namespace kavex {
namespace {

constexpr std::array<int, ColourRoles::kRoles> kDefaults = {
    16776960, 65535,    65535,    16711680, 12632256, 11579568, 16776960, 255,      255,
    0,        12632256, 11579568, 0,        12632256, 16776960, 16776960, 16776960, 16776960};

} // namespace

const std::array<std::string_view, ColourRoles::kRoles>& ColourRoles::roleNames() {
    static constexpr std::array<std::string_view, kRoles> names = {"OG:WP-Zeile",
                                                                   "OG:Bid",
                                                                   "OG:Ask",
                                                                   "OG:Bestand",
                                                                   "OG:Orderzeile A",
                                                                   "OG:Orderzeile B",
                                                                   "OG:TRANS",
                                                                   "OG:CANCEL",
                                                                   "OG:CLEAR",
                                                                   "OG:Trennzeile",
                                                                   "OG:Schrift",
                                                                   "EG:Zeile A",
                                                                   "EG:Zeile B",
                                                                   "EG:Schrift",
                                                                   "EG:Trennzeile",
                                                                   "OG:BracketMain",
                                                                   "OG:BracketChildCold",
                                                                   "OG:BracketChildHot"};
    return names;
}

int ColourRoles::operator[](int place) const {
    if (place < 0 || place > kPlaces) failSubscript();
    return places_[static_cast<std::size_t>(place)];
}

void ColourRoles::set(int place, int colour) {
    if (place < 0 || place > kPlaces) failSubscript();
    places_[static_cast<std::size_t>(place)] = colour;
}

void ColourRoles::setDefaults() {
    for (int r = 1; r <= kRoles; ++r)
        places_[static_cast<std::size_t>(r)] = kDefaults[static_cast<std::size_t>(r - 1)];
}

void ColourRoles::loadFile(const WorkingDirectory& folder, const std::string& fileName, FailureLog& log) {
    std::filesystem::path file = folder.path(fileName);
    if (fileName.empty() || !std::filesystem::exists(file)) {
        setDefaults();
        currentFile_ = kDefaultFile;
        return;
    }
    currentFile_ = fileName;
    std::vector<std::string> lines;
    guard(log, "LoadColors ", [&] { lines = readTextLines(file); });
    // One line per place: a value that cannot be read logs its line and leaves its place
    // as it was; the lines after it are still read.
    LineFileReader in(std::move(lines));
    for (int place = 1; place <= kPlaces && !in.atEnd(); ++place)
        guard(log, "LoadColors ", [&] { places_[static_cast<std::size_t>(place)] = in.int32(); });
}

std::vector<std::string> ColourRoles::fileLines() const {
    LineFileWriter out;
    for (int place = 1; place <= kWrittenPlaces; ++place)
        out.integer(places_[static_cast<std::size_t>(place)]);
    return out.lines();
}

void ColourRoles::saveFile(const WorkingDirectory& folder, FailureLog& log) const {
    std::string name = currentFile_.empty() ? "Kavex.col" : currentFile_;
    guard(log, "SaveColors ", [&] { writeTextLines(folder.path(name), fileLines()); });
}

} // namespace kavex
