#pragma once
// Shows a headless CellGrid in a QTableView: texts, colours, fonts and alignment by the
// standard roles. A change of a few cells becomes one ranged dataChanged; a change of
// the grid's shape resets the model.
#include "platform/cell_grid.h"

#include <QAbstractTableModel>
#include <QColor>

class QTableView;

namespace kavex {

// Colours are red + 256 * green + 65536 * blue.
inline QColor toQColor(int colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}
inline int fromQColor(const QColor& c) {
    return c.red() + 256 * c.green() + 65536 * c.blue();
}
// Twips to pixels at the screen's 96 dots per inch.
inline int twipsToPixels(int twips) {
    return twips / 15;
}
inline int pixelsToTwips(int pixels) {
    return pixels * 15;
}

class CellGridModel : public QAbstractTableModel {
  public:
    explicit CellGridModel(CellGrid& grid, QObject* parent = nullptr);
    ~CellGridModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Applies the grid's row heights and column widths to a view (after layout changes).
    void applyLayout(QTableView& view) const;
    void setView(QTableView* view) { view_ = view; }
    CellGrid& grid() { return grid_; }

  private:
    void gridChanged(const CellGrid::Change& change);

    CellGrid& grid_;
    QTableView* view_ = nullptr;
    int rows_ = 0;
    int cols_ = 0;
};

} // namespace kavex
