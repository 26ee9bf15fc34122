#include "views/chart_pane.h"

#include "base/failure.h"
#include "model/price_history.h"
#include "views/canvas.h"

#include <algorithm>
#include <cmath>

namespace kavex {
namespace {

bool usable(double v) {
    return std::isfinite(v);
}

} // namespace

void ChartPane::resize(int widthPx, int heightPx) {
    widthPx_ = std::max(widthPx, 0);
    heightPx_ = std::max(heightPx, 0);
    // A pane in its own units follows its size; a price scale stays as it was drawn.
    if (!priceScale_) scale_ = {0, 0, double(widthPx_) * kTwipsPerPixel, double(heightPx_) * kTwipsPerPixel};
}

void ChartPane::reset() {
    priceScale_ = false;
    resize(widthPx_, heightPx_);
}

double ChartPane::userY(double yPx) const {
    if (heightPx_ <= 0) return scale_.top;
    return scale_.top + yPx / heightPx_ * scale_.height();
}

void ChartPane::draw(Canvas& canvas, const PriceHistory& history, int instrument, int n) {
    // A statement that fails is skipped and the drawing goes on, without a trace.
    canvas.setScale(scale_.left, scale_.top, scale_.right, scale_.bottom);
    canvas.clear(chart_colour::kBackground);
    PriceRange range;
    skipOnFailure([&] { range = priceRange(history, instrument, n); });
    canvas.setFont("Arial", 8, false);

    // Label room and level spacing are measured in the units of the previous drawing.
    double r = canvas.textWidth("1111.112") / scale_.width();
    if (!usable(r)) r = 0;
    float h3 = static_cast<float>(std::fabs(3 * canvas.textHeight("12")));
    if (!usable(h3)) h3 = 0;
    float step = niceStep(h3);
    step = static_cast<float>(std::floor(double(step) * 100000 + 0.1) / 100000);

    const double xl = 3000 - n;
    const double xr = 3005;
    const double xs = xl - (xr - xl) * r;
    const double tick = (xr - xl) * r / 9;

    const double spread = double(range.maximum) - double(range.minimum);
    // Equal minimum and maximum give no coordinate system: the previous one stays.
    if (spread != 0 && usable(spread)) {
        scale_ = {xs, range.maximum + spread / 10, xr + (xr - xl) * r, range.minimum - spread / 10};
        priceScale_ = true;
        canvas.setScale(scale_.left, scale_.top, scale_.right, scale_.bottom);
    }
    canvas.line(xl, range.minimum, xl, range.maximum, chart_colour::kBlack, 2);
    canvas.line(xr, range.minimum, xr, range.maximum, chart_colour::kBlack, 2);
    drawLevels(canvas, range, step, h3, xs, xl, xr, tick);
    skipOnFailure([&] { drawPoints(canvas, history, instrument, n); });
}

void ChartPane::drawLevels(Canvas& canvas, PriceRange range, float step, float h3, double xs, double xl,
                           double xr, double tick) {
    if (!(step > 0) || !usable(step)) return;
    // More levels than the pane has pixel rows cannot be told apart (it happens for one
    // drawing after the price range grew by orders of magnitude): they are left out.
    const std::vector<PriceLevel> levels = priceLevels(range, step, std::max(heightPx_, 1));
    const double labelOffset = double(h3) / 6;
    for (const PriceLevel& level : levels) {
        const double y = level.y;
        canvas.line(xr, y, xr + tick, y, chart_colour::kBlack, 2);
        canvas.text(xr + tick, y + labelOffset, level.label, chart_colour::kBlack);
        canvas.line(xl - tick, y, xl, y, chart_colour::kBlack, 2);
        canvas.text(xs, y + labelOffset, level.label, chart_colour::kBlack);
    }
    for (const PriceLevel& level : levels)
        canvas.line(xl, level.y, xr, level.y, chart_colour::kGrey, 2);
}

void ChartPane::drawPoints(Canvas& canvas, const PriceHistory& history, int instrument, int n) {
    if (instrument < 1 || instrument > history.instrumentCount()) return; // every point would fail
    const int w = history.pos(instrument);
    const int first = std::max(3001 - n, 1);
    const HistoryEntry* q = nullptr;
    for (int i = first; i <= 3000; ++i) {
        const HistoryEntry& p = history.slot(instrument, pointSlot(w, i));
        const double x0 = i - 1, x1 = i;
        if (q) {
            if (p.Ask != q->Ask) canvas.line(x0, q->Ask, x0, p.Ask, chart_colour::kAsk, 1);
            if (p.Bid != q->Bid) canvas.line(x0, q->Bid, x0, p.Bid, chart_colour::kBid, 1);
        }
        canvas.line(x0, p.Ask, x1, p.Ask, chart_colour::kAsk, 1);
        canvas.line(x0, p.Bid, x1, p.Bid, chart_colour::kBid, 1);
        canvas.line(x0, p.Last, x1, p.Last, chart_colour::kLast, 3);
        q = &p;
    }
}

} // namespace kavex
