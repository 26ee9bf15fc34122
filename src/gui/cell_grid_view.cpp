#include "gui/cell_grid_view.h"

#include "gui/cell_grid_model.h"

#include <QAbstractItemDelegate>
#include <QAccessible>
#include <QHeaderView>
#include <QPainter>

namespace kavex {
namespace {

// Room between a cell's border and its text, in pixels.
constexpr int kTextMargin = 3;

class CellPainter : public QAbstractItemDelegate {
  public:
    CellPainter(const CellGridModel& model, QObject* parent) : QAbstractItemDelegate(parent), model_(model) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const CellGrid& grid = model_.grid();
        const int r = index.row();
        const int c = index.column();
        if (r >= grid.rows() || c >= grid.cols()) return;
        const Cell& cell = grid.cell(r, c);
        painter->fillRect(option.rect, model_.brushFor(grid.effectiveBackground(r, c)));
        if (cell.text.empty()) return;
        painter->setFont(model_.fontFor(cell));
        painter->setPen(model_.brushFor(grid.effectiveForeground(r, c)).color());
        const QRect area = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
        painter->drawText(area, static_cast<int>(CellGridModel::alignmentOf(cell)) | Qt::TextSingleLine,
                          QString::fromStdString(cell.text));
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return option.rect.size(); // sizes come from the grid's twips, never from contents
    }

  private:
    const CellGridModel& model_;
};

} // namespace

CellGridView::CellGridView(CellGridModel& model, QWidget* parent) : QTableView(parent) {
    setModel(&model);
    setItemDelegate(new CellPainter(model, this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // Separator rows are half a row high, and narrow columns stay narrow.
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setMinimumSectionSize(1);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    model.setView(this);
    model.applyLayout(*this);
}

void CellGridView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                               const QList<int>& roles) {
    // With assistive technology listening, the stock view also reports the change to it.
    if (QAccessible::isActive() || !topLeft.isValid() || !bottomRight.isValid()) {
        QTableView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    if (!isVisible()) return;
    // Corners outside the visible part still have their place in viewport coordinates,
    // so the union covers the range; update() clips it to the viewport. A hidden corner
    // has no place, and then the whole viewport is repainted.
    const QRect first = visualRect(topLeft);
    const QRect last = visualRect(bottomRight);
    if (first.isEmpty() || last.isEmpty())
        viewport()->update();
    else
        viewport()->update(first.united(last));
}

} // namespace kavex
