#pragma once
// The tradable instruments and how their prices move, read from a text file:
// one instrument per line, fields separated by ";", lines starting with "#" ignored.
#include <string>
#include <string_view>
#include <vector>

namespace kavex::server {

struct InstrumentSpec {
    std::string ticker;
    std::string code;
    std::string currency;
    std::string name;
    double multiplier = 1;  // value of one price unit for one contract
    double startPrice = 0;  // first last price
    double tickSize = 0.01; // smallest price step
    double marginPercent = 10;
};

// Reads the instrument lines; throws std::runtime_error naming the bad line.
std::vector<InstrumentSpec> parseInstruments(std::string_view text);
std::vector<InstrumentSpec> loadInstruments(const std::string& path);

} // namespace kavex::server
