#include "model/entry_lines.h"

#include "base/failure.h"

namespace kavex {

Order& EntryLines::at(int number) {
    if (!valid(number)) failSubscript();
    return lines_[static_cast<std::size_t>(number - 1)];
}

const Order& EntryLines::at(int number) const {
    if (!valid(number)) failSubscript();
    return lines_[static_cast<std::size_t>(number - 1)];
}

int32_t EntryLines::takeFreeSlot() {
    for (int32_t n = 1; n <= count(); ++n) {
        Order& line = lines_[static_cast<std::size_t>(n - 1)];
        if (isFreeEntryLine(line)) {
            line.bracketRole = BracketPlain;
            line.parentLine = 0;
            return n;
        }
    }
    int32_t n = count() + 1;
    lines_.resize(lines_.size() + kGrowth);
    return n;
}

} // namespace kavex
