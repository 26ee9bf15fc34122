#include "gui/qt_canvas.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kavex {
namespace {

QColor toColour(int c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// Points far outside the surface are pulled in so that the raster engine's fixed-point
// arithmetic cannot overflow; the chart draws only horizontal and vertical lines, whose
// visible part stays the same.
double limit(double v) {
    constexpr double kFar = 100000;
    if (std::isnan(v)) return -kFar;
    return std::clamp(v, -kFar, kFar);
}

} // namespace

QtCanvas::QtCanvas() : font_("Arial", 8), metrics_(font_) {}

QtCanvas::~QtCanvas() = default;

void QtCanvas::resize(const QSize& size) {
    painter_.reset();
    image_ = QImage(size.expandedTo(QSize(0, 0)), QImage::Format_RGB32);
    if (!image_.isNull()) image_.fill(Qt::white);
    updateMetrics();
    setScale(left_, top_, left_ + userWidth_, top_ + userHeight_);
}

const QImage& QtCanvas::image() {
    painter_.reset();
    return image_;
}

void QtCanvas::updateMetrics() {
    metrics_ = image_.isNull() ? QFontMetricsF(font_) : QFontMetricsF(font_, &image_);
}

QPainter* QtCanvas::painter() {
    if (painter_) return painter_.get();
    if (image_.isNull()) return nullptr;
    painter_ = std::make_unique<QPainter>(&image_);
    painter_->setFont(font_);
    penColour_ = penWidth_ = -1;
    return painter_.get();
}

void QtCanvas::usePen(int colour, int width) {
    if (colour == penColour_ && width == penWidth_) return;
    QPen pen(toColour(colour));
    pen.setWidth(std::max(width, 1));
    pen.setCapStyle(Qt::FlatCap);
    painter_->setPen(pen);
    penColour_ = colour;
    penWidth_ = width;
}

void QtCanvas::setScale(double left, double top, double right, double bottom) {
    left_ = left;
    top_ = top;
    userWidth_ = right - left;
    userHeight_ = bottom - top;
    sx_ = image_.width() / userWidth_;
    sy_ = image_.height() / userHeight_;
}

QPointF QtCanvas::map(double x, double y) const {
    return QPointF(limit((x - left_) * sx_), limit((y - top_) * sy_));
}

void QtCanvas::clear(int colour) {
    if (image_.isNull()) return;
    painter_.reset();
    image_.fill(toColour(colour));
}

void QtCanvas::line(double x1, double y1, double x2, double y2, int colour, int width) {
    QPainter* p = painter();
    if (!p) return;
    usePen(colour, width);
    p->drawLine(QLineF(map(x1, y1), map(x2, y2)));
}

void QtCanvas::fillBox(double x1, double y1, double x2, double y2, int colour) {
    QPainter* p = painter();
    if (!p) return;
    p->fillRect(QRectF(map(x1, y1), map(x2, y2)).normalized(), toColour(colour));
}

void QtCanvas::text(double x, double y, const std::string& text, int colour) {
    QPainter* p = painter();
    if (!p) return;
    usePen(colour, 1);
    const QPointF at = map(x, y);
    p->drawText(QPointF(at.x(), at.y() + metrics_.ascent()), QString::fromStdString(text));
}

void QtCanvas::setFont(const std::string& family, int pointSize, bool bold) {
    QFont font(QString::fromStdString(family), pointSize, bold ? QFont::Bold : QFont::Normal);
    if (font == font_) return;
    font_ = font;
    updateMetrics();
    if (painter_) painter_->setFont(font_);
}

double QtCanvas::textWidth(const std::string& text) {
    const double px = metrics_.horizontalAdvance(QString::fromStdString(text));
    return px * std::fabs(userWidth_) / image_.width();
}

double QtCanvas::textHeight(const std::string&) {
    return metrics_.height() * std::fabs(userHeight_) / image_.height();
}

} // namespace kavex
