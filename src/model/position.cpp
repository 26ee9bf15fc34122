#include "model/position.h"

#include "base/failure.h"
#include "base/numbers.h"

#include <algorithm>

namespace kavex {

void PositionList::reset(int capacity) {
    capacity_ = std::max(capacity, 0);
    positions_.clear();
    positions_.reserve(static_cast<std::size_t>(capacity_));
}

int32_t PositionList::add(Position position) {
    if (count() >= capacity_) failSubscript();
    positions_.push_back(position);
    return count();
}

Position& PositionList::at(int number) {
    if (!valid(number)) failSubscript();
    return positions_[static_cast<std::size_t>(number - 1)];
}

const Position& PositionList::at(int number) const {
    if (!valid(number)) failSubscript();
    return positions_[static_cast<std::size_t>(number - 1)];
}

void resetPositionIndex(PositionIndexTable& index, int instrumentCount) {
    index.assign(static_cast<std::size_t>(std::max(instrumentCount, 0)) + 1, 0);
}

int16_t positionOf(const PositionIndexTable& index, int instrument) {
    if (instrument < 1 || static_cast<std::size_t>(instrument) >= index.size()) return 0;
    return index[static_cast<std::size_t>(instrument)];
}

void setPositionOf(PositionIndexTable& index, int instrument, int32_t holdingNumber) {
    if (instrument < 1 || static_cast<std::size_t>(instrument) >= index.size()) failSubscript();
    index[static_cast<std::size_t>(instrument)] = roundToInt16(holdingNumber);
}

} // namespace kavex
