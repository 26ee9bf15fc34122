#include "core/instrument_data.h"

#include "base/numbers.h"
#include "base/split_fields.h"
#include "core/text_file.h"

#include <stdexcept>

namespace kavex::server {

std::vector<InstrumentSpec> parseInstruments(std::string_view text) {
    std::vector<InstrumentSpec> out;
    int lineNumber = 0;
    forEachLine(text, [&](std::string_view line) {
        ++lineNumber;
        if (line.empty() || line.front() == '#') return;
        Fields f = SplitFields(line, ";", 8);
        InstrumentSpec s{std::string(f[1]),  std::string(f[2]),  std::string(f[3]),  std::string(f[4]),
                         parseLeading(f[5]), parseLeading(f[6]), parseLeading(f[7]), parseLeading(f[8])};
        if (f.count() < 8 || s.ticker.empty() || s.multiplier <= 0 || s.startPrice <= 0 || s.tickSize <= 0 ||
            s.marginPercent < 0)
            throw std::runtime_error(concat("instrument line ", lineNumber) +
                                     " is not valid: " + std::string(line));
        out.push_back(std::move(s));
    });
    if (out.empty()) throw std::runtime_error("the instrument file lists no instrument");
    if (out.size() > 1000) throw std::runtime_error("the instrument file lists more than 1000 instruments");
    return out;
}

std::vector<InstrumentSpec> loadInstruments(const std::string& path) {
    return parseInstruments(readTextFile(path));
}

} // namespace kavex::server
