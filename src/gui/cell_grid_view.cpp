#include "gui/cell_grid_view.h"

#include "gui/cell_grid_model.h"

#include <QAbstractItemDelegate>
#include <QAccessible>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kavex {
namespace {

// Room between a cell's border and its text, in pixels.
constexpr int kTextMargin = 3;

// Digits, signs, separators and exponents: a text a cut would turn into another number.
bool isNumberText(const std::string& text) {
    return text.find_first_not_of("0123456789+-., E=") == std::string::npos;
}

void paintCell(QPainter* painter, const QRect& rect, const CellGridModel& model, int r, int c) {
    const CellGrid& grid = model.grid();
    if (r < 0 || c < 0 || r >= grid.rows() || c >= grid.cols()) return;
    const Cell& cell = grid.cell(r, c);
    painter->fillRect(rect, model.brushFor(grid.effectiveBackground(r, c)));
    if (cell.text.empty()) return;
    const QRect area = rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    const QString text = QString::fromStdString(cell.text);
    const QFont& font = model.fontFor(cell);
    // A number too wide for its cell is drawn smaller rather than cut.
    if (isNumberText(cell.text) && QFontMetrics(font).horizontalAdvance(text) > area.width())
        painter->setFont(fontToFit(font, text, area.width()));
    else
        painter->setFont(font);
    painter->setPen(model.brushFor(grid.effectiveForeground(r, c)).color());
    painter->drawText(area, static_cast<int>(CellGridModel::alignmentOf(cell)) | Qt::TextSingleLine, text);
}

int rowPixels(const CellGrid& grid, int r) {
    return std::max(1, twipsToPixels(grid.rowHeight(r)));
}

class CellPainter : public QAbstractItemDelegate {
  public:
    CellPainter(const CellGridModel& model, QObject* parent) : QAbstractItemDelegate(parent), model_(model) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        paintCell(painter, option.rect, model_, index.row(), index.column());
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return option.rect.size(); // sizes come from the grid's twips, never from contents
    }

  private:
    const CellGridModel& model_;
};

// A header that paints the fixed cells: the horizontal one the title rows of each
// column, stacked; the vertical one the fixed column of each row.
class FixedCellsHeader : public QHeaderView {
  public:
    FixedCellsHeader(Qt::Orientation orientation, const CellGridModel& model, const QTableView& view,
                     int fixedCount)
        : QHeaderView(orientation), model_(model), view_(view), fixedCount_(fixedCount) {
        setSectionsClickable(false);
        setHighlightSections(false);
        setMinimumSectionSize(1); // separator rows are half a row high, narrow columns stay narrow
    }

    QSize sizeHint() const override {
        QSize size = QHeaderView::sizeHint();
        const CellGrid& grid = model_.grid();
        int extent = 0;
        if (orientation() == Qt::Horizontal) {
            for (int r = 0; r < fixedCount_ && r < grid.rows(); ++r)
                extent += rowPixels(grid, r);
            size.setHeight(extent);
        } else {
            if (fixedCount_ > 0 && grid.cols() > 0) extent = std::max(1, twipsToPixels(grid.colWidth(0)));
            size.setWidth(extent);
        }
        return size;
    }

  protected:
    void paintSection(QPainter* painter, const QRect& rect, int logical) const override {
        const QPen lines(view_.gridStyle() == Qt::NoPen ? Qt::transparent : QColor(160, 160, 160));
        if (orientation() == Qt::Horizontal) {
            const CellGrid& grid = model_.grid();
            int top = rect.top();
            for (int r = 0; r < fixedCount_ && r < grid.rows(); ++r) {
                const QRect cell(rect.left(), top, rect.width(), rowPixels(grid, r));
                paintCell(painter, cell, model_, r, logical);
                painter->setPen(lines);
                painter->drawLine(cell.bottomLeft(), cell.bottomRight());
                painter->drawLine(cell.topRight(), cell.bottomRight());
                top += cell.height();
            }
        } else {
            paintCell(painter, rect, model_, logical, 0);
            painter->setPen(lines);
            painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        }
    }

  private:
    const CellGridModel& model_;
    const QTableView& view_;
    int fixedCount_;
};

} // namespace

QFont fontToFit(QFont font, const QString& text, int width) {
    constexpr qreal kSmallest = 5;
    for (int step = 0; step < 4; ++step) {
        const int advance = QFontMetrics(font).horizontalAdvance(text);
        if (advance <= width || font.pointSizeF() <= kSmallest) break;
        const qreal scaled = font.pointSizeF() * std::max(width, 1) / advance;
        font.setPointSizeF(std::max(kSmallest, std::floor(scaled * 2 - 0.5) / 2));
    }
    return font;
}

CellGridView::CellGridView(CellGridModel& model, int fixedRows, int fixedColumns, QWidget* parent)
    : QTableView(parent), model_(model), fixedRows_(fixedRows), fixedColumns_(fixedColumns) {
    setHorizontalHeader(new FixedCellsHeader(Qt::Horizontal, model, *this, fixedRows_));
    setVerticalHeader(new FixedCellsHeader(Qt::Vertical, model, *this, fixedColumns_));
    setModel(&model);
    setItemDelegate(new CellPainter(model, this));
    horizontalHeader()->setVisible(fixedRows_ > 0);
    verticalHeader()->setVisible(fixedColumns_ > 0);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setCornerButtonEnabled(false);
    model.setView(this);
    // Dragging a title's border gives the column a new width in the grid, which the
    // settings file keeps. The grid's own widths come back here as the same pixels, and
    // hiding a column reports 0: neither is a new width.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col, int, int size) {
        CellGrid& grid = model_.grid();
        if (col < fixedColumns_ || col >= grid.cols() || size <= 0 ||
            horizontalHeader()->isSectionHidden(col))
            return;
        if (size != std::max(1, twipsToPixels(grid.colWidth(col))))
            grid.setColWidth(col, pixelsToTwips(size));
    });
    // After a reset the headers have forgotten which sections were hidden.
    connect(&model, &QAbstractItemModel::modelReset, this, [this] { fixedPartsChanged(); });
    model.applyLayout(*this);
    fixedPartsChanged();
}

void CellGridView::fixedPartsChanged() {
    for (int r = 0; r < fixedRows_ && r < model_.rowCount(); ++r)
        setRowHidden(r, true);
    for (int c = 0; c < fixedColumns_ && c < model_.columnCount(); ++c)
        setColumnHidden(c, true);
    updateGeometries();
    horizontalHeader()->viewport()->update();
    verticalHeader()->viewport()->update();
}

void CellGridView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                               const QList<int>& roles) {
    // With assistive technology listening, the stock view also reports the change to it.
    if (QAccessible::isActive() || !topLeft.isValid() || !bottomRight.isValid()) {
        QTableView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    if (!isVisible()) return;
    // Fixed cells live in the headers: their part of the range repaints there.
    if (topLeft.row() < fixedRows_) horizontalHeader()->viewport()->update();
    if (topLeft.column() < fixedColumns_) verticalHeader()->viewport()->update();
    const int firstRow = std::max(topLeft.row(), fixedRows_);
    const int firstCol = std::max(topLeft.column(), fixedColumns_);
    if (firstRow > bottomRight.row() || firstCol > bottomRight.column()) return;
    // Corners outside the visible part still have their place in viewport coordinates,
    // so the union covers the range; update() clips it to the viewport. A hidden corner
    // has no place, and then the whole viewport is repainted.
    const QRect first = visualRect(model_.index(firstRow, firstCol));
    const QRect last = visualRect(bottomRight);
    if (first.isEmpty() || last.isEmpty())
        viewport()->update();
    else
        viewport()->update(first.united(last));
}

} // namespace kavex
