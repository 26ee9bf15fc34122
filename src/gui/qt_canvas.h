#pragma once
// A canvas that keeps its picture: drawing goes with a QPainter into a QImage, which the
// window shows whenever it paints. A surface without size draws nothing.
#include "views/canvas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPen>

#include <memory>

class QPainter;

namespace kavex {

class QtCanvas : public Canvas {
  public:
    QtCanvas();
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    // A fresh white surface of that size; the scale and the font stay.
    void resize(const QSize& size);
    QSize size() const { return image_.size(); }
    // The picture so far (ends the painting in progress).
    const QImage& image();

    void setScale(double left, double top, double right, double bottom) override;
    void clear(int colour) override;
    void line(double x1, double y1, double x2, double y2, int colour, int width) override;
    void fillBox(double x1, double y1, double x2, double y2, int colour) override;
    void text(double x, double y, const std::string& text, int colour) override;
    void setFont(const std::string& family, int pointSize, bool bold) override;
    double textWidth(const std::string& text) override;
    double textHeight(const std::string& text) override;

    // Pixel position of a user point.
    QPointF map(double x, double y) const;

  private:
    QPainter* painter();
    void usePen(int colour, int width);
    void updateMetrics();

    QImage image_;
    std::unique_ptr<QPainter> painter_;
    double left_ = 0, top_ = 0, sx_ = 1, sy_ = 1;
    double userWidth_ = 0, userHeight_ = 0;
    QFont font_;
    QFontMetricsF metrics_;
    int penColour_ = -1, penWidth_ = -1;
};

} // namespace kavex
