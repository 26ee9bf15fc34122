#include "views/chart.h"

#include "base/failure.h"
#include "base/numbers.h"
#include "model/trading_data.h"
#include "platform/services.h"
#include "views/grid_actions.h"

#include <algorithm>

namespace kavex {

Chart::Chart(TradingData& data, GridActions& tradingWindow, Prompts& prompts)
    : data_(data), tradingWindow_(tradingWindow), prompts_(prompts) {}

void Chart::attach(Canvas& left, Canvas& right, Canvas& panel) {
    paneCanvases_ = {&left, &right};
    panelCanvas_ = &panel;
}

void Chart::detach() {
    paneCanvases_ = {nullptr, nullptr};
    panelCanvas_ = nullptr;
}

void Chart::open(int instrument) {
    skipOnFailure([&] { title.setText(kTitlePrefix + data_.instruments.at(instrument).Name); });
    if (!loaded_) {
        relayout(); // the panes have their sizes when the window loads
        load();
        visible.setChecked(true);
        relayout();
        return;
    }
    visible.setChecked(true);
    // Another instrument in an open window is drawn at once rather than on the next tick.
    update();
}

void Chart::load() {
    loaded_ = true;
    for (ChartPane& p : panes_)
        p.reset();
    setVisiblePoints(0, kInitialPoints);
    setVisiblePoints(1, kInitialPoints);
}

void Chart::resize(int width, int height, int scrollBarHeight, int helpLineHeight) {
    width_ = width;
    height_ = height;
    scrollBarHeight_ = scrollBarHeight;
    helpLineHeight_ = helpLineHeight;
    relayout();
}

void Chart::relayout() {
    const int panelWidth = std::max(panelWidthPx_, 0);
    const int half = std::max((width_ - panelWidth) / 2, 0);
    const int paneHeight = std::max(height_ - scrollBarHeight_ - helpLineHeight_, 0);
    layout_.panes = {PixelRect{0, 0, half, paneHeight}, PixelRect{half, 0, half, paneHeight}};
    layout_.panel = {2 * half, 0, panelWidth, paneHeight};
    layout_.scrollBars = {PixelRect{0, paneHeight, half, scrollBarHeight_},
                          PixelRect{half, paneHeight, half, scrollBarHeight_}};
    layout_.helpLine = {0, std::max(height_ - helpLineHeight_, 0), std::max(width_, 0), helpLineHeight_};
    for (std::size_t i = 0; i < 2; ++i)
        panes_[i].resize(half, paneHeight);
    panel_.resize(panelWidth, paneHeight);
    if (laidOut) laidOut(layout_);
    if (!loaded_) return;
    drawPane(0, counts_[0]);
    drawPane(1, counts_[1]);
    drawHotFields(1);
}

void Chart::unload() {
    data_.chartInstrument = 0;
    loaded_ = false;
    visible.setChecked(false);
}

void Chart::setVisiblePoints(int index, int value) {
    if (index < 0 || index > 1) return;
    counts_[static_cast<std::size_t>(index)] = std::clamp(value, kMinPoints, kMaxPoints);
    drawPane(index, counts_[static_cast<std::size_t>(index)]);
}

void Chart::drawPane(int pane, int n) {
    if (pane < 0 || pane > 1) return;
    Canvas* canvas = paneCanvases_[static_cast<std::size_t>(pane)];
    if (canvas == nullptr) return;
    const ChartPane& drawn = panes_[static_cast<std::size_t>(pane)];
    panes_[static_cast<std::size_t>(pane)].draw(*canvas, data_.history, data_.chartInstrument, n);
    skipOnFailure([&] {
        if (!data_.instruments.valid(data_.chartInstrument)) return;
        if (const PriceAlert* alert = data_.alerts.find(data_.instruments.at(data_.chartInstrument).Ticker))
            ChartMarkers::drawAlertLevel(*canvas, alert->level, 3000 - n, 3005);
    });
    ChartMarkers& markers = markers_[static_cast<std::size_t>(pane)];
    skipOnFailure([&] { markers.place(data_.history, data_.executionList, data_.chartInstrument, n); });
    markers.draw(*canvas, drawn.scale(), drawn.widthPx(), drawn.heightPx());
    notifyDrawn();
}

void Chart::drawHotFields(int pane) {
    if (pane < 0 || pane > 1 || panelCanvas_ == nullptr) return;
    const double quantity = parseLeading(tradingWindow_.defaultQuantityBox().text());
    panel_.draw(*panelCanvas_, panes_[static_cast<std::size_t>(pane)].scale(), quantity);
    notifyDrawn();
}

void Chart::update() {
    if (!loaded_) return;
    drawPane(0, counts_[0]);
    drawPane(1, counts_[1]);
}

void Chart::paneHovered(int pane, double, double yPx) {
    if (pane < 0 || pane > 1) return;
    title.setText(strSingle(static_cast<float>(panes_[static_cast<std::size_t>(pane)].userY(yPx))));
}

void Chart::paneClicked(int pane, double xPx, double yPx) {
    if (pane < 0 || pane > 1) return;
    const ChartPane& p = panes_[static_cast<std::size_t>(pane)];
    if (p.widthPx() <= 0) return;
    const double x = p.scale().left + xPx / p.widthPx() * p.scale().width();
    const int execution = markers_[static_cast<std::size_t>(pane)].executionAt(x, p.userY(yPx), p.scale(),
                                                                               p.widthPx(), p.heightPx());
    if (execution != 0) prompts_.message(executionDescription(data_.executionList, execution), "Ausführung");
}

void Chart::hotFieldHovered(double x, double) {
    const int column = HotFieldPanel::columnAt(x);
    if (column == HotFieldPanel::NoColumn) return;
    hotFieldTooltip.setText(HotFieldPanel::hint(column));
    if (panel_.widthPx() > 0) helpLine.setText(HotFieldPanel::hint(column));
}

void Chart::hotFieldPressed(bool leftButton, double x, double y) {
    const int column = HotFieldPanel::columnAt(x);
    if (column == HotFieldPanel::QuantityColumn) {
        if (!leftButton) return;
        skipOnFailure([&] {
            tradingWindow_.setDefaultQuantityText(strInt(panel_.quantityRow(y)));
            drawHotFields(0);
        });
        return;
    }
    const std::string action = HotFieldPanel::action(column, leftButton);
    if (!action.empty()) prompts_.message(action);
}

void Chart::notifyDrawn() {
    if (drawn) drawn();
}

} // namespace kavex
