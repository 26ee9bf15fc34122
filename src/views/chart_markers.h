#pragma once
// What the chart lays over a price pane: the fills of its instrument as triangles at their
// time and price (up for buys, down for sells) and the level of the instrument's price
// alert as a line. The markers' places are kept for the click that shows a fill.
#include "views/price_scale.h"

#include <optional>
#include <string>
#include <vector>

namespace kavex {

class Canvas;
class ExecutionList;
class PriceHistory;

struct ExecutionMarker {
    double x = 0;     // the history point's right edge, in the pane's units
    double price = 0; // the fill's price
    int execution = 0;
    bool buy = true;
};

class ChartMarkers {
  public:
    static constexpr int kSizePx = 9;

    // Places every fill of `instrument` on the newest of the `n` points shown whose time
    // is not after the fill's time; fills older than the oldest point shown are left out.
    void place(const PriceHistory& history, const ExecutionList& executions, int instrument, int n);
    void draw(Canvas& canvas, const Scale& scale, int widthPx, int heightPx) const;
    static void drawAlertLevel(Canvas& canvas, float level, double left, double right);

    // The fill whose marker covers the point (user units); 0 when none.
    int executionAt(double x, double y, const Scale& scale, int widthPx, int heightPx) const;
    const std::vector<ExecutionMarker>& markers() const { return markers_; }

  private:
    std::vector<ExecutionMarker> markers_;
};

// The fields of a fill for the box a click on its marker opens.
std::string executionDescription(const ExecutionList& executions, int number);

} // namespace kavex
