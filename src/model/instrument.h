#pragma once
// Instruments with their current quote, addressed by their 1-based number.
#include "base/failure.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kavex {

struct Instrument {
    std::string ZeltickerCode;
    std::string Ticker;
    std::string Name;
    std::string Currency;
    float AuxValue1 = 0;
    float Last = 0; // 0 = no price yet
    int32_t Volume = 0;
    float Bid = 0;
    int32_t BidVolume = 0;
    float Ask = 0;
    int32_t AskVolume = 0;
    bool Changed = false;
    float Multiplier = 0;
    float AuxValue2 = 0;
};

class InstrumentTable {
  public:
    int16_t count() const { return count_; }
    bool valid(int number) const { return number >= 1 && number <= count_; }

    // Checked: a number outside 1..count fails with "Subscript out of range".
    Instrument& at(int number) {
        if (!valid(number)) failSubscript();
        return items_[static_cast<std::size_t>(number - 1)];
    }
    const Instrument& at(int number) const {
        if (!valid(number)) failSubscript();
        return items_[static_cast<std::size_t>(number - 1)];
    }

    // Replaces the table by `count` empty instruments.
    void reset(int16_t count);

    // First instrument (from 1 upward) with this ticker / code; 0 when none.
    int findByTicker(std::string_view ticker) const;
    int findByCode(std::string_view code) const;
    int findByCodeIgnoringCase(std::string_view code) const;

  private:
    std::vector<Instrument> items_; // items_[n - 1] is instrument n
    int16_t count_ = 0;
};

} // namespace kavex
