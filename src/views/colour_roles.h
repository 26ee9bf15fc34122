#pragma once
// The configurable colours of the grids and the colour files that keep them.
#include "base/files.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kavex {

class FailureLog;

enum ColourRole {
    OG_WPZeile = 1,
    OG_Bid,
    OG_Ask,
    OG_Bestand,
    OG_OrderzeileA,
    OG_OrderzeileB,
    OG_TRANS,
    OG_CANCEL,
    OG_CLEAR,
    OG_Trennzeile,
    OG_Schrift,
    EG_ZeileA,
    EG_ZeileB,
    EG_Schrift,
    EG_Trennzeile,
    OG_BracketMain,
    OG_BracketChildCold,
    OG_BracketChildHot,
};

class ColourRoles {
  public:
    static constexpr int kRoles = 18;
    static constexpr int kPlaces = 100; // places 1..100 can be filled from a file
    static constexpr int kWrittenPlaces = 30;
    static constexpr const char* kDefaultFile = "kavex.col";

    ColourRoles() { setDefaults(); }

    int operator[](int place) const;
    void set(int place, int colour);
    void setDefaults();

    // Role names in role order ("OG:WP-Zeile" ... "OG:BracketChildHot"): the tab's role list.
    static const std::array<std::string_view, kRoles>& roleNames();

    // Reads one value per line into places 1, 2, ... (at most 100); a missing file gives
    // the defaults and the name "kavex.col". Failures: "F:loadFile ".
    void loadFile(const WorkingDirectory& folder, const std::string& fileName, FailureLog& log);
    // Writes places 1..30 to the current file ("Kavex.col" when none). Failures: "F:saveFile ".
    void saveFile(const WorkingDirectory& folder, FailureLog& log) const;

    const std::string& currentFile() const { return currentFile_; }
    std::vector<std::string> fileLines() const;

  private:
    std::array<int, kPlaces + 1> places_{};
    std::string currentFile_;
};

} // namespace kavex
