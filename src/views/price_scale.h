#pragma once
// The arithmetic of a chart pane: which history slot a point lies in, the price range
// of the newest points, the spacing of the price levels and their labels.
#include <cstdint>
#include <string>
#include <vector>

namespace kavex {

class PriceHistory;

// A user coordinate system: the surface's left, top, right and bottom edges.
struct Scale {
    double left = 0, top = 0, right = 0, bottom = 0;
    double width() const { return right - left; }
    double height() const { return bottom - top; }
    bool operator==(const Scale&) const = default;
};

struct PriceRange {
    float minimum = 1000000;
    float maximum = -999999;
};

// The history slot of point i (1..3000, 3000 the newest) for a ring whose newest slot is w.
int pointSlot(int w, int i);

// Price range of the newest n points: the highest ask and the lowest bid other than 0.
// An instrument without a ring leaves the starting values.
PriceRange priceRange(const PriceHistory& history, int instrument, int n);

// The level spacing for a label spacing of x: the first table row whose range holds x,
// or x itself when none does.
float niceStep(float x);

// Price levels are whole multiples of the step. The step has at most five decimals, so
// levels are counted in units of 0.00001: a level and its label are then exact decimals
// however many steps lie below them (summing a binary 0.01 drifts below 12.01).
constexpr double kLevelUnitsPerPrice = 100000;

struct PriceLevel {
    double y;
    std::string label;
};

// The levels above the range's minimum up to its maximum, lowest first; none when the
// step is below one unit or there would be more than `maxLevels` of them.
std::vector<PriceLevel> priceLevels(PriceRange range, float step, int maxLevels);

// A level's label from its value in units: cut to two decimals towards minus infinity,
// in Str form.
std::string levelLabel(int64_t units);

} // namespace kavex
