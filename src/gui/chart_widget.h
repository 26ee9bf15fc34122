#pragma once
// The chart window on screen: the two panes and the hot-field panel as pictures that
// the headless Chart draws, the two scroll bars, the help line and the "C" button. It
// shows and hides itself as the Chart opens and closes.
#include "gui/qt_canvas.h"

#include <QWidget>

#include <array>

class QLabel;
class QPushButton;
class QScrollBar;

namespace kavex {

class Chart;

class ChartWidget : public QWidget {
  public:
    explicit ChartWidget(Chart& chart, QWidget* parent = nullptr);
    ~ChartWidget() override;

    QScrollBar* scrollBar(int index) const { return bars_.at(static_cast<std::size_t>(index)); }
    QLabel* helpLine() const { return help_; }
    QPushButton* redrawButton() const { return redraw_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void layOut();
    void syncScrollBars();
    // -1 outside the panes, 0 and 1 the panes, 2 the hot-field panel.
    int surfaceAt(const QPoint& position) const;
    QRect surfaceRect(int surface) const;

    Chart& chart_;
    std::array<QtCanvas, 3> canvases_;
    std::array<QScrollBar*, 2> bars_{};
    QLabel* help_ = nullptr;
    QPushButton* redraw_ = nullptr;
};

} // namespace kavex
