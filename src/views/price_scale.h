#pragma once
// The arithmetic of a chart pane: which history slot a point lies in, the price range
// of the newest points, the spacing of the price levels and their labels.
#include <string>

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

// A level's label: the value cut to two decimals towards minus infinity, in Str form.
std::string levelLabel(double y);

} // namespace kavex
