#pragma once
// Holdings: one record per instrument held, rebuilt from each user-data message, and
// the index from instrument number to holding number.
#include <cstdint>
#include <vector>

namespace kavex {

struct Position {
    int16_t instrumentNumber = 0;
    int32_t holding = 0; // negative = short
    float marginS = 0;
    float sumCost = 0;
    float sumValue = 0;
};

// Holdings 1..count; room for at most `capacity` (one per instrument).
class PositionList {
  public:
    int32_t count() const { return static_cast<int32_t>(positions_.size()); }
    int32_t capacity() const { return capacity_; }
    bool valid(int number) const { return number >= 1 && number <= count(); }

    // Discards every holding and makes room for `capacity` holdings.
    void reset(int capacity);
    // Adds a holding and returns its number; fails with "Subscript out of range" when full.
    int32_t add(Position position);

    // Checked: a number outside 1..count fails with "Subscript out of range".
    Position& at(int number);
    const Position& at(int number) const;

  private:
    std::vector<Position> positions_; // positions_[n - 1] is holding n
    int32_t capacity_ = 0;
};

// The position index is a vector of i16 whose entry n belongs to instrument n (entry 0
// unused): the number of the instrument's holding in the PositionList, or 0.
using PositionIndexTable = std::vector<int16_t>;

// One entry per instrument, all 0.
void resetPositionIndex(PositionIndexTable& index, int instrumentCount);
// The holding of an instrument; 0 when it has none or lies outside the index.
int16_t positionOf(const PositionIndexTable& index, int instrument);
// Checked: an instrument outside 1..size-1 fails with "Subscript out of range".
void setPositionOf(PositionIndexTable& index, int instrument, int32_t holdingNumber);

} // namespace kavex
