#include "views/hot_field_panel.h"

#include "base/failure.h"
#include "base/numbers.h"
#include "views/canvas.h"
#include "views/chart_pane.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kavex {

int HotFieldPanel::columnAt(double x) {
    if (x < 0 || x > 5 || std::isnan(x)) return NoColumn;
    if (x <= 1) return LimitLong;
    return static_cast<int>(std::ceil(x)) - 1;
}

std::string HotFieldPanel::hint(int column) {
    switch (column) {
    case LimitLong:
        return "Links:Limit Long Rechts:Cancel Order";
    case MarketLong:
        return "Links:Market Long Rechts:Glatt";
    case MarketShort:
        return "Links:Market Short Rechts:Glatt";
    case LimitShort:
        return "Links:Limit Short Rechts:Cancel Order";
    case QuantityColumn:
        return "Stückzahl";
    default:
        return "";
    }
}

std::string HotFieldPanel::action(int column, bool leftButton) {
    switch (column) {
    case LimitLong:
        return leftButton ? "Limit Long" : "Cancel Orders";
    case MarketLong:
        return leftButton ? "Market Long" : "Glatt";
    case MarketShort:
        return leftButton ? "Market Short" : "Glatt";
    case LimitShort:
        return leftButton ? "Limit Short" : "Cancel Orders";
    default:
        return "";
    }
}

void HotFieldPanel::resize(int widthPx, int heightPx) {
    widthPx_ = std::max(widthPx, 0);
    heightPx_ = std::max(heightPx, 0);
}

void HotFieldPanel::draw(Canvas& canvas, const Scale& paneScale, double quantity) {
    canvas.setScale(scale_.left, scale_.top, scale_.right, scale_.bottom);
    canvas.clear(chart_colour::kBackground);
    const double top = paneScale.top;
    const double bottom = paneScale.top + paneScale.height();
    // A pane without height gives no coordinate system: the previous one stays.
    if (top != bottom) {
        scale_ = {0, top, 5, bottom};
        canvas.setScale(scale_.left, scale_.top, scale_.right, scale_.bottom);
    }
    static constexpr std::array<int, 5> kColumns{chart_colour::kLimitLong, chart_colour::kMarketLong,
                                                 chart_colour::kMarketShort, chart_colour::kLimitShort,
                                                 chart_colour::kSilver};
    for (int c = 0; c < 5; ++c)
        canvas.fillBox(c, scale_.top, c + 1, scale_.bottom, kColumns[static_cast<std::size_t>(c)]);

    canvas.setFont("Arial", 8, true);
    const double step = (scale_.top - scale_.bottom) / 10;
    if (step == 0 || !std::isfinite(step)) return;
    const double halfText = std::fabs(canvas.textHeight("X")) / 2;
    // Eleven levels from the bottom edge to the top edge; the last row lies above the panel.
    for (int k = 1; k <= 11; ++k) {
        const double y = scale_.bottom + (k - 1) * step;
        if (k == quantity) canvas.fillBox(4, y, 5, y + step, chart_colour::kGrey);
        canvas.text(4.1, y + step / 2 + halfText, strInt(k), chart_colour::kBlack);
        canvas.line(4, y, 5, y, chart_colour::kBlack, 1);
    }
}

int HotFieldPanel::quantityRow(double y) const {
    const double k = std::floor(11 + 10 * (scale_.top - y) / (scale_.bottom - scale_.top));
    if (!std::isfinite(k)) throw Failure("Division by zero");
    if (k < -32768 || k > 32767) failOverflow();
    return static_cast<int>(k);
}

double HotFieldPanel::userX(double xPx) const {
    return widthPx_ > 0 ? scale_.left + xPx / widthPx_ * scale_.width() : scale_.left;
}

double HotFieldPanel::userY(double yPx) const {
    return heightPx_ > 0 ? scale_.top + yPx / heightPx_ * scale_.height() : scale_.top;
}

} // namespace kavex
