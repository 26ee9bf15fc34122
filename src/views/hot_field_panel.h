#pragma once
// The click-trading panel: five columns on the price scale of a pane. Four name a
// trading action, the fifth chooses the order quantity in ten rows.
#include "views/price_scale.h"

#include <string>

namespace kavex {

class Canvas;

class HotFieldPanel {
  public:
    enum Column { NoColumn = -1, LimitLong = 0, MarketLong, MarketShort, LimitShort, QuantityColumn };

    // The column at panel x (0..5); each column holds its right edge, the first also its left.
    static int columnAt(double x);
    // Tooltip and help line over a column; "" outside the panel.
    static std::string hint(int column);
    // The action a click names: the text of its message box, "" for none.
    static std::string action(int column, bool leftButton);

    void resize(int widthPx, int heightPx);
    int widthPx() const { return widthPx_; }
    int heightPx() const { return heightPx_; }
    const Scale& scale() const { return scale_; }

    // drawHotFields: the panel on the price scale of a pane, with `quantity` marked.
    void draw(Canvas& canvas, const Scale& paneScale, double quantity);

    // The quantity row at height y: 1 at the bottom to 10 at the top. Throws Failure when
    // the panel has no height.
    int quantityRow(double y) const;

    // The user coordinates of a pixel of the panel.
    double userX(double xPx) const;
    double userY(double yPx) const;

  private:
    int widthPx_ = 0, heightPx_ = 0;
    Scale scale_{0, 0, 5, 0};
};

} // namespace kavex
