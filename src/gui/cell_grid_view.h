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
#include <QTableView>

namespace kavex {

class CellGridModel;

class CellGridView : public QTableView {
  public:
    // Shows the model with the grid's row heights and column widths, no headers, no
    // selection and no item editing.
    explicit CellGridView(CellGridModel& model, QWidget* parent = nullptr);

  protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
};

} // namespace kavex
