#pragma once
// The table view of a CellGridModel.
//
// It repaints what changed and paints it cheaply: for a changed range of cells it
// repaints the range's own rectangle, where the stock view repaints the whole viewport
// for any range of more than one cell; and each cell is painted straight from the grid
// (background, text in its font, colour and alignment) without the general item
// delegate's icons, check boxes, eliding and focus frames, none of which the grid has.
// The grid is edited through its own editor, never through item editors, so a change
// has no editor data to refresh.
//
// The grid's title rows on top and its fixed column on the left stay in place: they are
// painted in the view's headers, which scroll only along with their own direction and
// take no clicks, and the rows and the column themselves are hidden in the cell area.
// Dragging the border of a column's title gives the column a new width in the grid.
#include <QFont>
#include <QTableView>

namespace kavex {

class CellGridModel;

// `font` made smaller until `text` fits into `width` pixels (down to 5 points).
QFont fontToFit(QFont font, const QString& text, int width);

class CellGridView : public QTableView {
  public:
    // Shows the model with the grid's row heights and column widths, no selection and no
    // item editing; `fixedRows` title rows and `fixedColumns` (0 or 1) left columns stay put.
    explicit CellGridView(CellGridModel& model, int fixedRows = 0, int fixedColumns = 0,
                          QWidget* parent = nullptr);

    int fixedRows() const { return fixedRows_; }
    int fixedColumns() const { return fixedColumns_; }
    // The grid's shape or the size of a fixed row or column changed.
    void fixedPartsChanged();

  protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;

  private:
    CellGridModel& model_;
    int fixedRows_;
    int fixedColumns_;
};

} // namespace kavex
