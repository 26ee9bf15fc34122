#include "views/form_layout.h"

namespace kavex {
namespace {

// Space kept free below a frame, and between the order grid and the bottom of its frame.
constexpr int32_t kFrameMargin = 60;
constexpr int32_t kGridMargin = 50;
constexpr int32_t kListMargin = 60;

void setWidth(TwipRect& r, int32_t width) {
    if (width >= 0) r.width = width;
}
void setHeight(TwipRect& r, int32_t height) {
    if (height >= 0) r.height = height;
}

// A frame filling its tab and the grid in it; the controls under the grid (`belowHeight`
// high) and the label strip above the tab area are taken off the grid's height.
void arrangeFrame(TwipRect& frame, TwipRect& grid, int32_t belowHeight, int32_t labelStripHeight, int32_t w,
                  int32_t h) {
    setWidth(frame, w - 2 * frame.left);
    setHeight(frame, h - frame.top - kFrameMargin);
    setWidth(grid, frame.width - 2 * grid.left);
    setHeight(grid, (h - frame.top - kFrameMargin) - grid.top - kGridMargin - belowHeight - labelStripHeight);
}

} // namespace

FormLayout FormLayout::designed() {
    FormLayout l;
    constexpr int32_t w = 19200, h = 10800;
    l.labelStrip = {0, 0, w, 360};
    for (int i = 0; i < 3; ++i)
        l.headerLabels[static_cast<std::size_t>(i)] = {i * w / 3, 0, w / 3, 360};
    l.tabArea = {0, 360, w, h - 360};
    // The frames start below the tab captions.
    l.ordersFrame = {60, 480, 0, 0};
    l.orderGrid = {60, 60, 0, 0};
    l.orderStrip = {60, 0, 0, 480};
    l.executionsFrame = {60, 480, 0, 0};
    l.executionGrid = {60, 60, 0, 0};
    l.refreshButton = {60, 0, 1500, 420};
    l.noteLabel = {1620, 0, 2400, 420};
    l.orderList = {4080, 0, 3600, 420};
    l.statementList = {120, 480, 0, 0};
    l.resize(w, h);
    return l;
}

void FormLayout::resize(int32_t w, int32_t h) {
    lastWidth = w;
    lastHeight = h;
    for (int i = 0; i < 3; ++i) {
        TwipRect& label = headerLabels[static_cast<std::size_t>(i)];
        setWidth(label, w / 3);
        label.left = i * w / 3;
    }
    setWidth(tabArea, w);
    setHeight(tabArea, h - labelStrip.height);
    setWidth(labelStrip, w);

    arrangeFrame(ordersFrame, orderGrid, orderStrip.height, labelStrip.height, w, h);
    orderStrip.left = orderGrid.left;
    orderStrip.top = orderGrid.bottom();
    setWidth(orderStrip, orderGrid.width);

    arrangeFrame(executionsFrame, executionGrid, refreshButton.height, labelStrip.height, w, h);
    for (TwipRect* below : {&refreshButton, &noteLabel, &orderList})
        below->top = executionGrid.bottom();

    setWidth(statementList, tabArea.width - statementList.left - kListMargin);
    setHeight(statementList, tabArea.height - statementList.top - kListMargin);
}

} // namespace kavex
