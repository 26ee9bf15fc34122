#pragma once
// The bracket presets of one instrument, kept per instrument number and stored in the
// preset file.
#include <string>

namespace kavex {

struct BracketPreset {
    std::string presetName; // the instrument's Ticker; key in the preset file
    float profitValue = 0;
    float stopValue = 0;
    float presetMode =
        0; // 0 prices entered directly, 1 offset to the current price, 2 offset to the fill price
    float presetExtra = 0;
};

} // namespace kavex
