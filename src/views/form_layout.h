#pragma once
// Where the parts of the trading window sit, in twips (1/1440 inch): the positions the
// window is designed with, and the sizes recomputed from its inner size on every resize.
#include <array>
#include <cstdint>

namespace kavex {

struct TwipRect {
    int32_t left = 0, top = 0, width = 0, height = 0;
    int32_t bottom() const { return top + height; }
    int32_t right() const { return left + width; }
    bool operator==(const TwipRect&) const = default;
};

// Coordinates: the header labels in the label strip; the label strip and the tab area in
// the window; the two frames and the statement list in the tab area; the grids, the strip
// under the order grid and the controls under the execution grid in their frame.
struct FormLayout {
    std::array<TwipRect, 3> headerLabels;
    TwipRect labelStrip, tabArea;
    TwipRect ordersFrame, orderGrid, orderStrip;
    TwipRect executionsFrame, executionGrid, refreshButton, noteLabel, orderList;
    TwipRect statementList;

    // The window as designed: 19200 x 10800 twips inside (1280 x 720 pixels at 96 dpi).
    static FormLayout designed();

    // Lays the parts out for the inner width w and height h. A computed width or height
    // below 0 is not applied: that part keeps its previous size.
    void resize(int32_t w, int32_t h);

    int32_t lastWidth = 0, lastHeight = 0; // the size of the last resize
};

} // namespace kavex
