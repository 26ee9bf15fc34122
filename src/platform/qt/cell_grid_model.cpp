#include "platform/qt/cell_grid_model.h"

#include <QBrush>
#include <QFont>
#include <QHeaderView>
#include <QTableView>

namespace kavex {

CellGridModel::CellGridModel(CellGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), rows_(grid.rows()), cols_(grid.cols()) {
    grid_.setObserver([this](const CellGrid::Change& change) { gridChanged(change); });
}

CellGridModel::~CellGridModel() {
    grid_.setObserver(nullptr);
}

int CellGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}
int CellGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols_;
}

QVariant CellGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= grid_.rows() || index.column() >= grid_.cols()) return {};
    const int r = index.row();
    const int c = index.column();
    const Cell& cell = grid_.cell(r, c);
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(cell.text);
    case Qt::BackgroundRole:
        return QBrush(toQColor(grid_.effectiveBackground(r, c)));
    case Qt::ForegroundRole:
        return QBrush(toQColor(grid_.effectiveForeground(r, c)));
    case Qt::FontRole: {
        QFont font;
        font.setBold(cell.bold);
        font.setPointSizeF(cell.fontSize);
        return font;
    }
    case Qt::TextAlignmentRole: {
        Qt::Alignment horizontal = cell.alignment == CellAlignment::Centre  ? Qt::AlignHCenter
                                   : cell.alignment == CellAlignment::Right ? Qt::AlignRight
                                                                            : Qt::AlignLeft;
        return QVariant::fromValue(horizontal | Qt::AlignVCenter);
    }
    default:
        return {};
    }
}

void CellGridModel::gridChanged(const CellGrid::Change& change) {
    if (grid_.rows() != rows_ || grid_.cols() != cols_) {
        beginResetModel();
        rows_ = grid_.rows();
        cols_ = grid_.cols();
        endResetModel();
        if (view_) applyLayout(*view_);
        return;
    }
    if (rows_ == 0 || cols_ == 0) return;
    const int firstRow = change.firstRow < 0 ? 0 : change.firstRow;
    const int lastRow = change.lastRow < 0 ? rows_ - 1 : std::min(change.lastRow, rows_ - 1);
    const int firstCol = change.firstCol < 0 ? 0 : change.firstCol;
    const int lastCol = change.lastCol < 0 ? cols_ - 1 : std::min(change.lastCol, cols_ - 1);
    if (firstRow <= lastRow && firstCol <= lastCol)
        emit dataChanged(index(firstRow, firstCol), index(lastRow, lastCol));
    if (change.layout && view_) applyLayout(*view_);
}

void CellGridModel::applyLayout(QTableView& view) const {
    for (int r = 0; r < grid_.rows(); ++r)
        view.setRowHeight(r, std::max(1, twipsToPixels(grid_.rowHeight(r))));
    for (int c = 0; c < grid_.cols(); ++c)
        view.setColumnWidth(c, std::max(1, twipsToPixels(grid_.colWidth(c))));
}

} // namespace kavex
