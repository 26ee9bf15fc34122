#pragma once
// The price history on disk: one file "K" + instrument number + ".dat" per instrument in
// the working directory, 3000 lines of "Time;Bid;Ask;Last;Volume" in the Str number form,
// oldest entry first, lines ended by CR LF.
#include "base/split_fields.h"

#include <string>
#include <string_view>
#include <vector>

namespace kavex {

class PriceHistory;
class TextList;
class WorkingDirectory;
struct TradingData;

class HistoryFiles {
  public:
    HistoryFiles(TradingData& data, WorkingDirectory& directory, TextList& log);

    // Creates the rings for `count` instruments and loads every history file that
    // exists. A missing or unreadable file, and a bad line, are skipped without a trace.
    void loadHistory(int count);

    // Writes the file of every instrument 1..InstrumentCount, each built in memory and
    // replaced atomically. A file that cannot be written is logged ("F:saveHistory ...");
    // the others are still written.
    void saveHistory();

    static std::string fileName(int instrument);
    // The complete file text of one instrument's ring.
    static void appendFileText(const PriceHistory& history, int instrument, std::string& out);

  private:
    void load(int instrument);

    TradingData& data_;
    WorkingDirectory& directory_;
    TextList& log_;
    Fields fields_;
    std::vector<std::string_view> lines_;
    std::string text_;
};

} // namespace kavex
