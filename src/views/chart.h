#pragma once
// The chart window "Chart": two price panes side by side, each with a scroll bar that
// sets how many of the newest history points it shows, and the hot-field panel. The
// window draws on canvases that its view supplies; without them it keeps its state only.
#include "base/text_list.h"
#include "views/chart_markers.h"
#include "views/chart_pane.h"
#include "views/hot_field_panel.h"

#include <array>
#include <functional>
#include <string>

namespace kavex {

class Canvas;
class GridActions;
class Prompts;
struct TradingData;

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
};

// Where the window's parts lie, in pixels of its inner area.
struct ChartLayout {
    std::array<PixelRect, 2> panes;
    PixelRect panel;
    std::array<PixelRect, 2> scrollBars;
    PixelRect helpLine;
};

class Chart {
  public:
    static constexpr int kMaxPoints = 3000; // the scroll bars' upper limit, the size of the history
    static constexpr int kMinPoints = 1;
    static constexpr int kInitialPoints = 100;
    static constexpr const char* kTitlePrefix = "Chart von ";

    // The trading window's actions hold its quantity field, which the hot fields read and set.
    Chart(TradingData& data, GridActions& tradingWindow, Prompts& prompts);

    // The view's drawing surfaces: left pane, right pane, hot-field panel.
    void attach(Canvas& left, Canvas& right, Canvas& panel);
    void detach();
    // The window lays the panel out with no width, so it is hidden; a width shows it.
    void setHotFieldPanelWidth(int widthPx) { panelWidthPx_ = widthPx; }

    // From the order grid's ticker cell: title, loading, showing.
    void open(int instrument);
    void load();
    // The window's inner size and the heights of its scroll bars and help line.
    void resize(int width, int height, int scrollBarHeight, int helpLineHeight);
    // Closing the window stops the chart's redraws.
    void unload();

    void setVisiblePoints(int index, int value);
    void drawPane(int pane, int n);
    void drawHotFields(int pane);
    // The refresh tick: both panes.
    void update();
    void redrawPanes() { update(); }

    // Mouse over a pane (pixels inside that pane): the title shows the price there.
    void paneHovered(int pane, double xPx, double yPx);
    // A click in a pane (pixels inside it): on a fill's marker, the fill's fields are shown.
    void paneClicked(int pane, double xPx, double yPx);
    // Mouse over the panel, in panel units (x from 0 to 5, prices upwards).
    void hotFieldHovered(double x, double y);
    void hotFieldPressed(bool leftButton, double x, double y);

    Label title, helpLine, hotFieldTooltip;
    CheckBox visible;
    // The view places its controls and sizes its surfaces before the window redraws.
    std::function<void(const ChartLayout&)> laidOut;
    // Something was drawn: the view shows the surfaces again.
    std::function<void()> drawn;

    bool loaded() const { return loaded_; }
    int pointCount(int pane) const { return counts_.at(static_cast<std::size_t>(pane)); }
    const ChartPane& pane(int index) const { return panes_.at(static_cast<std::size_t>(index)); }
    const ChartMarkers& markers(int pane) const { return markers_.at(static_cast<std::size_t>(pane)); }
    const HotFieldPanel& panel() const { return panel_; }
    const ChartLayout& layout() const { return layout_; }

  private:
    void relayout();
    void notifyDrawn();

    TradingData& data_;
    GridActions& tradingWindow_;
    Prompts& prompts_;
    std::array<Canvas*, 2> paneCanvases_{nullptr, nullptr};
    Canvas* panelCanvas_ = nullptr;

    bool loaded_ = false;
    std::array<int, 2> counts_{kInitialPoints, kInitialPoints};
    std::array<ChartPane, 2> panes_;
    std::array<ChartMarkers, 2> markers_;
    HotFieldPanel panel_;
    int panelWidthPx_ = 0;
    // The window's size before the view reports its own.
    int width_ = 800, height_ = 400, scrollBarHeight_ = 17, helpLineHeight_ = 20;
    ChartLayout layout_;
};

} // namespace kavex
