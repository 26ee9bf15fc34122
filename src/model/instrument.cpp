#include "model/instrument.h"

#include "base/failure.h"

#include <algorithm>
#include <cctype>

namespace kavex {

void InstrumentTable::reset(int16_t count) {
    count_ = std::max<int16_t>(count, 0);
    items_.assign(static_cast<std::size_t>(count_), Instrument{});
}

int InstrumentTable::findByTicker(std::string_view ticker) const {
    for (int n = 1; n <= count_; ++n)
        if (items_[static_cast<std::size_t>(n - 1)].Ticker == ticker) return n;
    return 0;
}

int InstrumentTable::findByCode(std::string_view code) const {
    for (int n = 1; n <= count_; ++n)
        if (items_[static_cast<std::size_t>(n - 1)].ZeltickerCode == code) return n;
    return 0;
}

int InstrumentTable::findByCodeIgnoringCase(std::string_view code) const {
    auto same = [](std::string_view a, std::string_view b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) ==
                          std::tolower(static_cast<unsigned char>(y));
               });
    };
    for (int n = 1; n <= count_; ++n)
        if (same(items_[static_cast<std::size_t>(n - 1)].ZeltickerCode, code)) return n;
    return 0;
}

} // namespace kavex
