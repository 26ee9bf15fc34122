#pragma once
// Shows a headless CellGrid in a QTableView: texts, colours, fonts and alignment by the
// standard roles. One row inserted or removed moves the rows below; any other change of
// the grid's shape resets the model at once. Cell changes are
// collected per row and delivered together a moment later: a refresh pass that redraws
// hundreds of rows, letting events run between them, reaches the view as one batch with
// at most one dataChanged per row, and adjacent rows share one ranged dataChanged.
#include "platform/qt/qt_colour.h"
#include "views/cell_grid.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

class QTableView;

namespace kavex {

// Twips to pixels at the screen's 96 dots per inch.
inline int twipsToPixels(int twips) {
    return twips / 15;
}
inline int pixelsToTwips(int pixels) {
    return pixels * 15;
}

class CellGridModel : public QAbstractTableModel {
  public:
    // How long cell changes are collected before the view hears of them: one frame of a
    // 60 Hz screen, far below what the eye notices, far above one refresh pass.
    static constexpr int kDeliveryDelayMs = 16;

    explicit CellGridModel(CellGrid& grid, QObject* parent = nullptr);
    ~CellGridModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Applies the grid's row heights and column widths to a view (after layout changes).
    void applyLayout(QTableView& view) const;
    void setView(QTableView* view) { view_ = view; }
    CellGrid& grid() { return grid_; }
    const CellGrid& grid() const { return grid_; }

    // What a cell is painted with; cells alike share one font and one brush.
    const QFont& fontFor(const Cell& cell) const;
    const QBrush& brushFor(int colour) const;
    static Qt::Alignment alignmentOf(const Cell& cell);

    // The tooltip of a row; none when unset or empty.
    std::function<std::string(int row)> rowToolTip;

    void setDeliveryDelay(int ms) { delivery_.setInterval(ms); }
    // Emits the collected cell changes now instead of after the delay.
    void deliverChanges();
    bool changesPending() const { return allChanged_ || !changedRows_.empty(); }

  private:
    struct ColumnSpan {
        int first = -1, last = -1;
    };
    void gridChanged(const CellGrid::Change& change);
    void insertRow(int row);
    void removeRow(int row);
    void collect(const CellGrid::Change& change);
    void applyLayout(QTableView& view, const CellGrid::Change& change) const;
    void dropPending();

    CellGrid& grid_;
    QTableView* view_ = nullptr;
    int rows_ = 0;
    int cols_ = 0;

    QTimer delivery_;
    bool allChanged_ = false;
    std::vector<ColumnSpan> changedColumns_; // per row; first -1 while the row is unchanged
    std::vector<int> changedRows_;           // the rows marked there, in the order of marking

    // Cells use few fonts and colours; each is made once and handed out as copies that
    // share it, so painting a cell allocates neither.
    struct FontEntry {
        bool bold;
        float size;
        QFont font;
    };
    mutable std::vector<FontEntry> fonts_;
    mutable std::vector<std::pair<int, QBrush>> brushes_;
};

} // namespace kavex
