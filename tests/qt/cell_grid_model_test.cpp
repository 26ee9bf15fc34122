// The grid model's signals: cell changes reach the view once per row and batch, adjacent
// rows in one ranged signal, one row in or out as a move of the rows below, other shape
// changes as a reset; and the grid view paints cells
// from the grid.
#include "gui/cell_grid_model.h"
#include "gui/cell_grid_view.h"
#include "views/cell_grid.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <tuple>

namespace kavex {
namespace {

struct Signal {
    int firstRow, lastRow, firstCol, lastCol;
    bool operator==(const Signal&) const = default;
};

class CellGridModelTest : public ::testing::Test {
  protected:
    CellGridModelTest() {
        grid.resize(12, 6);
        reset.clear();
    }
    std::vector<Signal> signalsOf(const QSignalSpy& spy) const {
        std::vector<Signal> out;
        for (const QList<QVariant>& args : spy) {
            auto a = args.at(0).value<QModelIndex>();
            auto b = args.at(1).value<QModelIndex>();
            out.push_back({a.row(), b.row(), a.column(), b.column()});
        }
        return out;
    }

    CellGrid grid;
    CellGridModel model{grid};
    // A broken model rule ends the test program at once.
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
    QSignalSpy changed{&model, &QAbstractItemModel::dataChanged};
    QSignalSpy reset{&model, &QAbstractItemModel::modelReset};
};

TEST_F(CellGridModelTest, ChangesReachTheViewOncePerRowAndBatchAndAdjacentRowsInOneSignal) {
    // A refresh pass: quote rows 2, 4 and 6 (row 2 twice), then the order lines 8 to 10,
    // with events running between the rows.
    model.setDeliveryDelay(60000); // no delivery by itself while the test looks
    for (int pass = 0; pass < 2; ++pass) {
        for (int r : {2, 4, 6}) {
            grid.setRedraw(false);
            grid.setText(r, 1, "T" + std::to_string(pass));
            grid.setText(r, 3, "x" + std::to_string(pass));
            grid.setRedraw(true);
            QCoreApplication::processEvents(); // still collecting
        }
    }
    for (int r : {10, 8, 9}) // marked out of order
        grid.setText(r, 5, "-");
    grid.setText(9, 0, "1");
    model.deliverChanges();
    EXPECT_EQ(signalsOf(changed),
              (std::vector<Signal>{{2, 2, 1, 3}, {4, 4, 1, 3}, {6, 6, 1, 3}, {8, 10, 0, 5}}));
    model.deliverChanges(); // nothing left over
    EXPECT_EQ(changed.count(), 4);

    // With the usual delay the changes arrive by themselves.
    model.setDeliveryDelay(CellGridModel::kDeliveryDelayMs);
    grid.setText(3, 2, "99.5");
    grid.setBackground(3, 4, 0x00FF00);
    ASSERT_TRUE(changed.wait(1000));
    EXPECT_EQ(signalsOf(changed).back(), (Signal{3, 3, 2, 4}));
    EXPECT_EQ(model.data(model.index(3, 2)).toString(), "99.5");
    EXPECT_EQ(model.data(model.index(3, 4), Qt::BackgroundRole).value<QBrush>().color(), QColor(0, 255, 0));
}

TEST_F(CellGridModelTest, ShapeChangesResetAtOnceAndDropCollectedRows) {
    grid.setText(11, 5, "gone soon");
    grid.resize(5, 6); // row 11 no longer exists
    EXPECT_EQ(reset.count(), 1);
    EXPECT_FALSE(model.changesPending());

    // One row in or out moves the rows below it, with what was collected for them.
    QSignalSpy inserted{&model, &QAbstractItemModel::rowsInserted};
    QSignalSpy removed{&model, &QAbstractItemModel::rowsRemoved};
    model.setDeliveryDelay(60000);
    grid.setText(3, 1, "moves down");
    grid.insertRow(2);
    grid.removeRow(0);
    grid.setRedraw(false); // two rows while redraw is off: only a reset can say that
    grid.insertRow(1);
    grid.insertRow(1);
    EXPECT_EQ(reset.count(), 1);
    grid.setRedraw(true);
    EXPECT_EQ(std::make_tuple(inserted.count(), removed.count(), reset.count()), std::make_tuple(1, 1, 2));
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 2);
    EXPECT_EQ(removed.at(0).at(1).toInt(), 0);
    grid.insertRow(7);
    model.deliverChanges();
    EXPECT_EQ(signalsOf(changed), (std::vector<Signal>{{7, 7, 0, 5}}));
    changed.clear();

    // A change of the whole grid (a new default colour) is one signal over every cell.
    grid.setText(1, 1, "a");
    grid.setDefaultBackground(0x123456);
    model.deliverChanges();
    EXPECT_EQ(signalsOf(changed), (std::vector<Signal>{{0, 7, 0, 5}}));
    grid.setText(1, 1, "b"); // the row marked before the whole-grid change is free again
    model.deliverChanges();
    EXPECT_EQ(signalsOf(changed).back(), (Signal{1, 1, 1, 1}));
}

TEST_F(CellGridModelTest, TheViewTakesRowHeightsFromTheGridAndPaintsCellColours) {
    CellGridView view(model);
    grid.setRowHeight(4, 450); // a later change of one row reaches the view at once
    EXPECT_EQ(view.rowHeight(4), 30);

    view.resize(700, 400);
    view.show();
    grid.setBackground(4, 2, 0x0000FF); // red
    model.deliverChanges();
    const QImage shot = view.viewport()->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(view.visualRect(model.index(4, 2)).center())), QColor(255, 0, 0));
}

TEST_F(CellGridModelTest, DraggedColumnWidthsReachTheGridAndNumbersShrinkToFitTheirCells) {
    grid.setColWidth(3, 1000); // 66 pixels, not a whole number of them
    const int fixedWidth = grid.colWidth(0);
    CellGridView view(model, 1, 1);
    view.horizontalHeader()->resizeSection(3, 90); // what a drag of the border does
    grid.setColWidth(2, 1000);                     // comes back as 66 pixels: no new width
    EXPECT_EQ(std::make_tuple(grid.colWidth(0), grid.colWidth(2), grid.colWidth(3)),
              std::make_tuple(fixedWidth, 1000, 1350));

    QFont bold;
    bold.setPointSizeF(12);
    bold.setBold(true);
    for (int width : {50, 70, 400}) {
        const QFont fitted = fontToFit(bold, "-123456.8", width);
        EXPECT_LE(QFontMetrics(fitted).horizontalAdvance("-123456.8"), width);
        EXPECT_EQ(fitted.pointSizeF() == 12, width == 400) << width;
    }
}

} // namespace
} // namespace kavex
