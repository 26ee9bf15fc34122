#include "gui/cell_grid_model.h"

#include "gui/cell_grid_view.h"

#include <QHeaderView>
#include <QTableView>

#include <algorithm>

namespace kavex {

CellGridModel::CellGridModel(CellGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), rows_(grid.rows()), cols_(grid.cols()) {
    delivery_.setSingleShot(true);
    delivery_.setInterval(kDeliveryDelayMs);
    connect(&delivery_, &QTimer::timeout, this, [this] { deliverChanges(); });
    changedColumns_.assign(static_cast<std::size_t>(rows_), ColumnSpan{});
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

const QFont& CellGridModel::fontFor(const Cell& cell) const {
    for (const FontEntry& f : fonts_)
        if (f.bold == cell.bold && f.size == cell.fontSize) return f.font;
    QFont font;
    font.setBold(cell.bold);
    font.setPointSizeF(cell.fontSize);
    fonts_.push_back({cell.bold, cell.fontSize, font});
    return fonts_.back().font;
}

const QBrush& CellGridModel::brushFor(int colour) const {
    for (const auto& [c, brush] : brushes_)
        if (c == colour) return brush;
    brushes_.emplace_back(colour, QBrush(toQColor(colour)));
    return brushes_.back().second;
}

Qt::Alignment CellGridModel::alignmentOf(const Cell& cell) {
    const Qt::Alignment horizontal = cell.alignment == CellAlignment::Centre  ? Qt::AlignHCenter
                                     : cell.alignment == CellAlignment::Right ? Qt::AlignRight
                                                                              : Qt::AlignLeft;
    return horizontal | Qt::AlignVCenter;
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
        return brushFor(grid_.effectiveBackground(r, c));
    case Qt::ForegroundRole:
        return brushFor(grid_.effectiveForeground(r, c));
    case Qt::FontRole:
        return fontFor(cell);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignmentOf(cell));
    case Qt::ToolTipRole: {
        const std::string tip = rowToolTip ? rowToolTip(r) : std::string();
        return tip.empty() ? QVariant() : QVariant(QString::fromStdString(tip));
    }
    default:
        return {};
    }
}

void CellGridModel::gridChanged(const CellGrid::Change& change) {
    if (grid_.cols() == cols_ && change.rowInserted >= 0 && change.rowInserted <= rows_ &&
        grid_.rows() == rows_ + 1) {
        insertRow(change.rowInserted);
    } else if (grid_.cols() == cols_ && change.rowRemoved >= 0 && change.rowRemoved < rows_ &&
               grid_.rows() == rows_ - 1) {
        removeRow(change.rowRemoved);
    }
    if (grid_.rows() != rows_ || grid_.cols() != cols_) {
        beginResetModel();
        rows_ = grid_.rows();
        cols_ = grid_.cols();
        dropPending();
        endResetModel();
        if (view_) applyLayout(*view_);
        return;
    }
    if (rows_ == 0 || cols_ == 0) return;
    if (change.layout && view_) applyLayout(*view_, change);
    collect(change);
}

// One row in or out moves the rows below it; the view keeps its scroll position, its
// selection and every other row as it is.
void CellGridModel::insertRow(int row) {
    beginInsertRows(QModelIndex(), row, row);
    ++rows_;
    changedColumns_.insert(changedColumns_.begin() + row, ColumnSpan{});
    for (int& r : changedRows_)
        r += r >= row;
    endInsertRows();
}

void CellGridModel::removeRow(int row) {
    beginRemoveRows(QModelIndex(), row, row);
    --rows_;
    changedColumns_.erase(changedColumns_.begin() + row);
    std::erase(changedRows_, row);
    for (int& r : changedRows_)
        r -= r > row;
    endRemoveRows();
}

void CellGridModel::collect(const CellGrid::Change& change) {
    if (change.firstRow < 0) {
        allChanged_ = true;
    } else if (!allChanged_) {
        const int firstCol = change.firstCol < 0 ? 0 : change.firstCol;
        const int lastCol = change.lastCol < 0 ? cols_ - 1 : std::min(change.lastCol, cols_ - 1);
        for (int r = change.firstRow; r <= std::min(change.lastRow, rows_ - 1); ++r) {
            ColumnSpan& span = changedColumns_[static_cast<std::size_t>(r)];
            if (span.first < 0) {
                span = {firstCol, lastCol};
                changedRows_.push_back(r);
            } else {
                span.first = std::min(span.first, firstCol);
                span.last = std::max(span.last, lastCol);
            }
        }
    }
    if (changesPending() && !delivery_.isActive()) delivery_.start();
}

void CellGridModel::dropPending() {
    delivery_.stop();
    allChanged_ = false;
    changedRows_.clear();
    changedColumns_.assign(static_cast<std::size_t>(rows_), ColumnSpan{});
}

void CellGridModel::deliverChanges() {
    struct Block {
        int firstRow, lastRow, firstCol, lastCol;
    };
    std::vector<Block> blocks;
    if (allChanged_) {
        blocks.push_back({0, rows_ - 1, 0, cols_ - 1});
    } else {
        // Rows that follow each other share one signal over the union of their columns.
        std::sort(changedRows_.begin(), changedRows_.end());
        for (int r : changedRows_) {
            const ColumnSpan span = changedColumns_[static_cast<std::size_t>(r)];
            if (!blocks.empty() && blocks.back().lastRow == r - 1) {
                Block& b = blocks.back();
                b.lastRow = r;
                b.firstCol = std::min(b.firstCol, span.first);
                b.lastCol = std::max(b.lastCol, span.last);
            } else {
                blocks.push_back({r, r, span.first, span.last});
            }
        }
    }
    for (int r : changedRows_)
        changedColumns_[static_cast<std::size_t>(r)] = ColumnSpan{};
    changedRows_.clear();
    allChanged_ = false;
    delivery_.stop();
    // A receiver may change the grid again; its changes wait for the next delivery, and
    // a block the grid has meanwhile shrunk away from is dropped.
    for (const Block& b : blocks) {
        if (b.firstRow < 0 || b.firstRow > b.lastRow || b.lastRow >= rows_ || b.lastCol >= cols_) continue;
        emit dataChanged(index(b.firstRow, b.firstCol), index(b.lastRow, b.lastCol));
    }
}

void CellGridModel::applyLayout(QTableView& view) const {
    applyLayout(view, CellGrid::Change{});
}

// A change names rows when row heights changed and columns when widths changed; a
// change that names neither may have changed both.
void CellGridModel::applyLayout(QTableView& view, const CellGrid::Change& change) const {
    if (change.firstCol < 0) {
        const int first = change.firstRow < 0 ? 0 : change.firstRow;
        const int last = change.firstRow < 0 ? grid_.rows() - 1 : std::min(change.lastRow, grid_.rows() - 1);
        for (int r = first; r <= last; ++r)
            view.setRowHeight(r, std::max(1, twipsToPixels(grid_.rowHeight(r))));
    }
    if (change.firstRow < 0) {
        const int first = change.firstCol < 0 ? 0 : change.firstCol;
        const int last = change.firstCol < 0 ? grid_.cols() - 1 : std::min(change.lastCol, grid_.cols() - 1);
        for (int c = first; c <= last; ++c)
            view.setColumnWidth(c, std::max(1, twipsToPixels(grid_.colWidth(c))));
    }
    // The title rows and the fixed column are sized in the view's headers.
    if (auto* grid = dynamic_cast<CellGridView*>(&view)) grid->fixedPartsChanged();
}

} // namespace kavex
