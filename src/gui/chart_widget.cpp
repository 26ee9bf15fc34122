#include "gui/chart_widget.h"

#include "views/chart.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

namespace kavex {
namespace {

QRect toRect(const PixelRect& r) {
    return QRect(r.left, r.top, r.width, r.height);
}

} // namespace

ChartWidget::ChartWidget(Chart& chart, QWidget* parent) : QWidget(parent, Qt::Window), chart_(chart) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (int i = 0; i < 2; ++i) {
        auto* bar = new QScrollBar(Qt::Horizontal, this);
        // The lower limit and the change amounts are ours: one point, ten points, a hundred.
        bar->setRange(Chart::kMinPoints, Chart::kMaxPoints);
        bar->setSingleStep(10);
        bar->setPageStep(100);
        bar->setValue(chart_.pointCount(i));
        connect(bar, &QScrollBar::valueChanged, this,
                [this, i](int value) { chart_.setVisiblePoints(i, value); });
        bars_[static_cast<std::size_t>(i)] = bar;
    }
    help_ = new QLabel(this);
    redraw_ = new QPushButton("C", this);
    redraw_->setToolTip("Chart neu zeichnen");
    connect(redraw_, &QPushButton::clicked, this, [this] { chart_.redrawPanes(); });

    chart_.attach(canvases_[0], canvases_[1], canvases_[2]);
    chart_.laidOut = [this](const ChartLayout&) { layOut(); };
    chart_.drawn = [this] { update(); };
    chart_.title.setObserver([this](const std::string& t) { setWindowTitle(QString::fromStdString(t)); });
    chart_.helpLine.setObserver([this](const std::string& t) { help_->setText(QString::fromStdString(t)); });
    chart_.visible.setObserver([this](bool shown) {
        if (shown) {
            syncScrollBars();
            show();
            raise();
        } else {
            hide();
        }
    });
    setWindowTitle(QString::fromStdString(chart_.title.text()));
    resize(800, 400);
    layOut();
}

ChartWidget::~ChartWidget() {
    chart_.detach();
    chart_.laidOut = nullptr;
    chart_.drawn = nullptr;
    chart_.title.setObserver(nullptr);
    chart_.helpLine.setObserver(nullptr);
    chart_.visible.setObserver(nullptr);
}

void ChartWidget::syncScrollBars() {
    for (int i = 0; i < 2; ++i) {
        const QSignalBlocker block(bars_[static_cast<std::size_t>(i)]);
        bars_[static_cast<std::size_t>(i)]->setValue(chart_.pointCount(i));
    }
}

void ChartWidget::layOut() {
    const ChartLayout& l = chart_.layout();
    for (int i = 0; i < 2; ++i) {
        bars_[static_cast<std::size_t>(i)]->setGeometry(toRect(l.scrollBars[static_cast<std::size_t>(i)]));
        canvases_[static_cast<std::size_t>(i)].resize(toRect(l.panes[static_cast<std::size_t>(i)]).size());
    }
    canvases_[2].resize(toRect(l.panel).size());
    const QRect helpRect = toRect(l.helpLine);
    const int button = helpRect.height();
    help_->setGeometry(helpRect.adjusted(0, 0, -button, 0));
    redraw_->setGeometry(helpRect.right() - button + 1, helpRect.top(), button, button);
}

QRect ChartWidget::surfaceRect(int surface) const {
    const ChartLayout& l = chart_.layout();
    return surface == 2 ? toRect(l.panel) : toRect(l.panes.at(static_cast<std::size_t>(surface)));
}

int ChartWidget::surfaceAt(const QPoint& position) const {
    for (int s = 0; s < 3; ++s)
        if (surfaceRect(s).contains(position)) return s;
    return -1;
}

void ChartWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    for (int s = 0; s < 3; ++s)
        painter.drawImage(surfaceRect(s).topLeft(), canvases_[static_cast<std::size_t>(s)].image());
}

void ChartWidget::resizeEvent(QResizeEvent*) {
    if (isMinimized()) return;
    chart_.resize(width(), height(), bars_[0]->sizeHint().height(), help_->sizeHint().height() + 4);
}

void ChartWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const int surface = surfaceAt(at);
    if (surface < 0) return;
    const QPoint inside = at - surfaceRect(surface).topLeft();
    if (surface < 2) {
        chart_.paneHovered(surface, inside.x(), inside.y());
        setToolTip({});
        return;
    }
    const HotFieldPanel& panel = chart_.panel();
    chart_.hotFieldHovered(panel.userX(inside.x()), panel.userY(inside.y()));
    setToolTip(QString::fromStdString(chart_.hotFieldTooltip.text()));
}

void ChartWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const int surface = surfaceAt(at);
    if (surface == 0 || surface == 1) {
        const QPoint inside = at - surfaceRect(surface).topLeft();
        if (event->button() == Qt::LeftButton) chart_.paneClicked(surface, inside.x(), inside.y());
        return;
    }
    if (surface != 2) return;
    const QPoint inside = at - surfaceRect(2).topLeft();
    const HotFieldPanel& panel = chart_.panel();
    chart_.hotFieldPressed(event->button() == Qt::LeftButton, panel.userX(inside.x()),
                           panel.userY(inside.y()));
}

void ChartWidget::closeEvent(QCloseEvent* event) {
    if (chart_.loaded()) chart_.unload();
    event->accept();
}

} // namespace kavex
