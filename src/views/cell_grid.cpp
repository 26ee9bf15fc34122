#include "views/cell_grid.h"

#include "base/failure.h"

#include <algorithm>
#include <numeric>

namespace kavex {
namespace {
constexpr int kDefaultRowHeight = 240;
constexpr int kDefaultColWidth = 1000;
} // namespace

void CellGrid::resize(int rows, int cols) {
    rows = std::max(rows, 0);
    cols = std::max(cols, 0);
    std::vector<std::vector<Cell>> storage(static_cast<std::size_t>(rows));
    for (int r = 0; r < std::min(rows, rows_); ++r)
        storage[static_cast<std::size_t>(r)] = std::move(storage_[storageOf(r)]);
    for (std::vector<Cell>& cells : storage)
        cells.resize(static_cast<std::size_t>(cols));
    storage_ = std::move(storage);
    rowOrder_.resize(static_cast<std::size_t>(rows));
    std::iota(rowOrder_.begin(), rowOrder_.end(), 0);
    freeStorage_.clear();
    rows_ = rows;
    cols_ = cols;
    rowHeights_.resize(static_cast<std::size_t>(rows), kDefaultRowHeight);
    colWidths_.resize(static_cast<std::size_t>(cols), kDefaultColWidth);
    notify({-1, -1, -1, -1, true});
}

// Rows keep their cells where they are; only the order of row numbers moves, so a row
// inserted above thousands of others shifts integers, never cells.
void CellGrid::insertRow(int row) {
    if (row < 0 || row > rows_) failSubscript();
    int32_t s = 0;
    if (freeStorage_.empty()) {
        s = static_cast<int32_t>(storage_.size());
        storage_.emplace_back(static_cast<std::size_t>(cols_));
    } else {
        s = freeStorage_.back();
        freeStorage_.pop_back();
        storage_[static_cast<std::size_t>(s)].assign(static_cast<std::size_t>(cols_), Cell{});
    }
    rowOrder_.insert(rowOrder_.begin() + row, s);
    rowHeights_.insert(rowHeights_.begin() + row, kDefaultRowHeight);
    ++rows_;
    notify({row, rows_ - 1, -1, -1, true, row, -1});
}

void CellGrid::removeRow(int row) {
    if (row < 0 || row >= rows_) failSubscript();
    freeStorage_.push_back(rowOrder_[static_cast<std::size_t>(row)]);
    rowOrder_.erase(rowOrder_.begin() + row);
    rowHeights_.erase(rowHeights_.begin() + row);
    --rows_;
    notify({row, rows_, -1, -1, true, -1, row});
}

void CellGrid::clear() {
    for (std::vector<Cell>& cells : storage_)
        for (Cell& c : cells)
            c = Cell{};
    notify({-1, -1, -1, -1, false});
}

void CellGrid::setDefaultBackground(int colour) {
    if (colour == defaultBackground_) return;
    defaultBackground_ = colour;
    notify({-1, -1, -1, -1, false});
}

void CellGrid::setDefaultForeground(int colour) {
    if (colour == defaultForeground_) return;
    defaultForeground_ = colour;
    notify({-1, -1, -1, -1, false});
}

int CellGrid::effectiveBackground(int row, int col) const {
    int c = cell(row, col).background;
    return c == kGridDefaultColour ? defaultBackground_ : c;
}

int CellGrid::effectiveForeground(int row, int col) const {
    int c = cell(row, col).foreground;
    return c == kGridDefaultColour ? defaultForeground_ : c;
}

Cell& CellGrid::at(int row, int col) {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) failSubscript();
    return storage_[storageOf(row)][static_cast<std::size_t>(col)];
}

const Cell& CellGrid::cell(int row, int col) const {
    return const_cast<CellGrid*>(this)->at(row, col);
}

Cell& CellGrid::mutableCell(int row, int col) {
    return at(row, col);
}

void CellGrid::setText(int row, int col, std::string text) {
    Cell& c = at(row, col);
    if (c.text == text) return;
    c.text = std::move(text);
    touch(row, col);
}

void CellGrid::assignText(int row, int col, std::string_view text) {
    Cell& c = at(row, col);
    if (c.text == text) return;
    c.text.assign(text);
    touch(row, col);
}

void CellGrid::setBackground(int row, int col, int colour) {
    Cell& c = at(row, col);
    if (c.background == colour) return;
    c.background = colour;
    touch(row, col);
}

void CellGrid::setRowHeight(int row, int twips) {
    if (row < 0 || row >= rows_) failSubscript();
    if (rowHeights_[static_cast<std::size_t>(row)] == twips) return;
    rowHeights_[static_cast<std::size_t>(row)] = twips;
    notify({row, row, -1, -1, true});
}

int CellGrid::rowHeight(int row) const {
    if (row < 0 || row >= rows_) failSubscript();
    return rowHeights_[static_cast<std::size_t>(row)];
}

void CellGrid::setColWidth(int col, int twips) {
    if (col < 0 || col >= cols_) failSubscript();
    colWidths_[static_cast<std::size_t>(col)] = twips;
    notify({-1, -1, col, col, true});
}

int CellGrid::colWidth(int col) const {
    if (col < 0 || col >= cols_) failSubscript();
    return colWidths_[static_cast<std::size_t>(col)];
}

void CellGrid::touch(int row, int col) {
    notify({row, row, col, col, false});
}

void CellGrid::setRedraw(bool on) {
    redraw_ = on;
    if (on && pending_) {
        pending_ = false;
        if (observer_) observer_(pendingChange_);
    }
}

void CellGrid::notify(const Change& change) {
    if (!observer_) return;
    if (redraw_) {
        observer_(change);
        return;
    }
    const bool rowCountChange = change.rowInserted >= 0 || change.rowRemoved >= 0;
    if (!pending_) {
        pendingChange_ = change;
        pending_ = true;
        pendingRowCountChanges_ = rowCountChange;
        return;
    }
    // Of several inserted or removed rows only the count is known when they are reported.
    pendingRowCountChanges_ += rowCountChange;
    if (rowCountChange) {
        pendingChange_.rowInserted = change.rowInserted;
        pendingChange_.rowRemoved = change.rowRemoved;
    }
    if (pendingRowCountChanges_ > 1) pendingChange_.rowInserted = pendingChange_.rowRemoved = -1;
    auto merge = [](int& lo, int& hi, int newLo, int newHi) {
        if (lo < 0 || newLo < 0) {
            lo = hi = -1;
            return;
        }
        lo = std::min(lo, newLo);
        hi = std::max(hi, newHi);
    };
    merge(pendingChange_.firstRow, pendingChange_.lastRow, change.firstRow, change.lastRow);
    merge(pendingChange_.firstCol, pendingChange_.lastCol, change.firstCol, change.lastCol);
    pendingChange_.layout = pendingChange_.layout || change.layout;
}

} // namespace kavex
