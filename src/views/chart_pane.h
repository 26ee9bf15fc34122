#pragma once
// A price pane of the chart window: its size, its coordinate system, and the drawing of
// the newest points of an instrument's history with the price scale on both sides.
#include "views/price_scale.h"

namespace kavex {

class Canvas;
class PriceHistory;

namespace chart_colour {
constexpr int rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}
constexpr int kBackground = rgb(255, 255, 255);
constexpr int kBlack = rgb(0, 0, 0);
constexpr int kGrey = rgb(160, 160, 160);
constexpr int kBid = rgb(255, 0, 0);
constexpr int kAsk = rgb(0, 0, 255);
constexpr int kLast = rgb(0, 255, 0);
constexpr int kLimitLong = rgb(0, 192, 0);
constexpr int kMarketLong = rgb(0, 255, 0);
constexpr int kMarketShort = rgb(255, 0, 0);
constexpr int kLimitShort = rgb(128, 0, 0);
constexpr int kSilver = rgb(192, 192, 192);
} // namespace chart_colour

class ChartPane {
  public:
    // A fresh pane measures in twips, 15 to the pixel, until its first price scale is set.
    static constexpr int kTwipsPerPixel = 15;

    void resize(int widthPx, int heightPx);
    // Back to the units of a fresh pane (the window was loaded again).
    void reset();
    int widthPx() const { return widthPx_; }
    int heightPx() const { return heightPx_; }
    const Scale& scale() const { return scale_; }

    // drawPane: clears the pane and draws points 3001 - n .. 3000.
    void draw(Canvas& canvas, const PriceHistory& history, int instrument, int n);

    // The user coordinates of a pixel of the pane.
    double userY(double yPx) const;

  private:
    void drawLevels(Canvas& canvas, PriceRange range, float step, float h3, double xs, double xl, double xr,
                    double tick);
    static void drawPoints(Canvas& canvas, const PriceHistory& history, int instrument, int n);

    int widthPx_ = 0, heightPx_ = 0;
    Scale scale_;
    bool priceScale_ = false;
};

} // namespace kavex
