// The in-cell editor of the order grid on screen: mouse clicks on the grid's cells open
// it over the cell, Return commits what was typed (decimal comma accepted), Escape
// leaves the cell as it was, and a choice from the list is taken at once.
#include "gui/trading_window.h"
#include "support/form_fixture.h"
#include "views/grid_actions.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace kavex {
namespace {

class TradingWindowEditor : public ::testing::Test, protected test::FormFixture {
  protected:
    TradingWindowEditor() {
        writeSettings();
        startSession();
        window = std::make_unique<TradingWindow>(*form);
        window->resize(1200, 600);
        window->show();
        settle();
        grid = window->orderGridView();
        editor = grid->viewport()->findChild<QComboBox*>();
    }
    void settle() { QTest::qWait(40); }
    // A left click in the middle of a cell, through the view as a mouse would do it.
    void click(int row, int col) {
        const QRect cell = grid->visualRect(grid->model()->index(row, col));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        settle();
    }
    // A new BUY line of SAP from its Ask cell; returns the line's row.
    int buyLine() {
        click(form->data().gridRows.SuchRow(1, RowInstrument), form->columns().map(0, 9));
        return form->gridActions().lastInsertedRow();
    }
    const Order& line(int row) { return form->data().entryLines.at(form->data().gridRows.at(row).ref); }
    void type(const QString& text, int key) {
        editor->lineEdit()->selectAll();
        QTest::keyClicks(editor->lineEdit(), text);
        QTest::keyClick(editor->lineEdit(), static_cast<Qt::Key>(key));
        settle();
    }

    std::unique_ptr<TradingWindow> window;
    QTableView* grid = nullptr;
    QComboBox* editor = nullptr;
};

TEST_F(TradingWindowEditor, TypedLimitWithDecimalCommaIsCommittedByReturnAndMakesTheLineALimitOrder) {
    ASSERT_NE(editor, nullptr);
    const int row = buyLine();
    click(row, form->columns().map(1, 7));
    ASSERT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->count(), 21); // prices around the last one
    const int itemsBefore = editor->count();

    type("12000,5", Qt::Key_Return);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_FLOAT_EQ(line(row).limit1, 12000.5f);
    EXPECT_EQ(line(row).orderType.str(), "LMT");
    EXPECT_EQ(form->orderGridCells().text(row, form->columns().map(1, 9)), "LMT");
    click(row, form->columns().map(1, 7));
    EXPECT_EQ(editor->count(), itemsBefore); // the typed text never became a list item
}

TEST_F(TradingWindowEditor, EscapeKeepsTheQuantityAndAListChoiceIsTakenAtOnce) {
    const int row = buyLine();
    const int quantityCol = form->columns().map(1, 6);
    const int before = line(row).quantity;
    click(row, quantityCol);
    ASSERT_TRUE(editor->isVisible());
    type("77", Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(line(row).quantity, before);

    click(row, quantityCol);
    const int index = editor->findText("25");
    ASSERT_GE(index, 0);
    emit editor->activated(index);
    settle();
    EXPECT_EQ(line(row).quantity, 25);
    EXPECT_FALSE(editor->isVisible());
}

} // namespace
} // namespace kavex
