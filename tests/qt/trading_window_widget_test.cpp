// The trading window on screen: the window geometry from the settings (kept on screen) and
// its parts where the twip layout puts them, its smallest size, header labels and tooltips,
// the settings tab's colour editing and sound list, and the
// in-cell editor of the order grid: mouse clicks on the grid's cells open it over the cell,
// Return commits what was typed (decimal comma accepted), Escape leaves the cell as it was,
// and a choice from the list is taken at once.
#include "app/window_views.h"
#include "gui/cell_grid_model.h"
#include "support/client_fixture.h"
#include "views/grid_actions.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace kavex {
namespace {

QRect pixels(const TwipRect& r) {
    return {twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width), twipsToPixels(r.height)};
}

class TradingWindowLayout : public ::testing::Test, protected test::ClientFixture {
  protected:
    TradingWindowLayout() {
        writeFileAtomically(dir.root / "ping.wav", "RIFF");
        window = std::make_unique<TradingWindowWidget>(windowViews(load()));
        window->show();
    }
    void settle() {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    template <class T> T* child(const char* name) { return window->findChild<T*>(name); }

    std::unique_ptr<TradingWindowWidget> window;
};

TEST_F(TradingWindowLayout, StartsAtTheSavedGeometryOnScreenAndItsPartsFollowTheWindowSizeInTwips) {
    writeSettings([](Settings& s) {
        s.windowWidth = 18000; // 1200 pixels
        s.windowTop = 750;
        s.windowLeft = 1500; // the height of 0 keeps the window's height
    });
    const int height = window->height();
    loop.advance(6000);
    settle();
    EXPECT_EQ(std::make_pair(window->pos(), window->size()),
              std::make_pair(QPoint(100, 50), QSize(1200, height)));

    window->resize(1250, 700);
    settle();
    const FormLayout& l = client->window().layout();
    EXPECT_EQ(client->window().windowGeometry(), (TwipRect{1500, 750, 1250 * 15, 700 * 15}));
    EXPECT_EQ(window->orderGridView()->geometry(), pixels(l.orderGrid));
    // The strip below the grid stays inside the tab's page.
    QWidget* strip = child<QWidget>("orderStrip");
    EXPECT_LE(strip->mapTo(window.get(), QPoint(0, strip->height())).y(),
              window->tabs()->geometry().bottom());

    // The account panel shows the result with its sign.
    client->window().controls().panelResultLabel.setText("+5 = 12");
    EXPECT_TRUE(child<QLabel>("panelResult")->isVisible());
    EXPECT_EQ(child<QLabel>("panelResult")->text(), "+5 = 12");

    // A place saved on a screen that is no longer there is pulled back onto this one.
    client->window().restoreGeometry({15 * 5000, 15 * 700, 0, 0});
    EXPECT_TRUE(window->screen()->availableGeometry().contains(window->frameGeometry()));
}

TEST_F(TradingWindowLayout, AtTheSmallestSizeEveryButtonIsWholeAndEveryControlExplainsItself) {
    client->window().controls().chatOptionVisibilityChanged(true); // as the chat level arrives
    settle();
    window->resize(200, 200); // held at its smallest size
    for (int tab = 0; tab < window->tabs()->count(); ++tab) {
        window->tabs()->setCurrentIndex(tab);
        settle();
        for (QPushButton* b : window->tabs()->widget(tab)->findChildren<QPushButton*>()) {
            if (!b->isVisibleTo(window.get())) continue;
            EXPECT_TRUE(b->width() >= b->sizeHint().width() && b->height() >= b->sizeHint().height())
                << b->text().toStdString();
        }
    }
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool control =
            qobject_cast<QPushButton*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<QComboBox*>(w);
        EXPECT_TRUE(!control || !w->toolTip().isEmpty()) << w->property("text").toString().toStdString();
    }
}

TEST_F(TradingWindowLayout, LongHeaderTextsTakeTheRoomTheOthersDoNotNeed) {
    window->resize(1280, 720);
    const QWidget* headers[] = {child<QLabel>("statusLine"), child<QWidget>("accountStrip"),
                                child<QLabel>("resultLabel")};
    TradingWindowControls& controls = client->window().controls();
    for (auto [label, text] :
         {std::pair{&controls.statusLine, "12:00:00 Willkommen demo1! Die Datei "
                                          "KAVEXDEMO.BIN wird übertragen, bitte etwas Geduld."},
          std::pair{&controls.panelResultLabel, "-123456.5 = -123456.5 (-12345.5)"}}) {
        label->setText(text);
        settle();
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(headers[i]->width() >= headers[i]->sizeHint().width() &&
                        (i == 2 || headers[i]->x() + headers[i]->width() <= headers[i + 1]->x()))
                << text << i;
    }
    EXPECT_GT(headers[0]->width(), window->width() / 3);
}

TEST_F(TradingWindowLayout, TheStatementListOpensBelowItsBox) {
    writeFileAtomically(dir.root / "ACC920261201K.TXT", "Auszug");
    window->tabs()->setCurrentIndex(TradingWindow::StatementsTab);
    auto* files = child<QComboBox>("statementFiles");
    files->showPopup();
    EXPECT_GE(files->view()->window()->y(), files->mapToGlobal(QPoint(0, files->height() - 1)).y());
}

TEST_F(TradingWindowLayout, TheSettingsTabEditsColoursAndChoosesTheSound) {
    loop.advance(6000);                  // the start-up sequence fills the role list
    client->settings().confirmation = 0; // as read from a settings file after the window was built
    window->tabs()->setCurrentIndex(TradingWindow::SettingsTab);
    settle();
    EXPECT_FALSE(child<QCheckBox>("confirmation")->isChecked());

    // Sound list: refilled from the wave files as the tab opens; the choice plays once.
    auto* sounds = child<QComboBox>("soundFiles");
    ASSERT_EQ(sounds->count(), 1);
    sounds->setCurrentIndex(0);
    emit sounds->textActivated("ping.wav");
    EXPECT_EQ(child<QLineEdit>("soundFile")->text(), "ping.wav");
    EXPECT_EQ(sound.played.size(), 1u);

    // Colour roles: a role and a palette click.
    auto* roles = child<QListView>("colourRoles");
    QTest::mouseClick(roles->viewport(), Qt::LeftButton, {},
                      roles->visualRect(roles->model()->index(2, 0)).center()); // "OG:Ask"
    EXPECT_EQ(client->colourEditor().selectedRole(), 2);
    auto* palette = child<QWidget>("colourPalette");
    QTest::mouseClick(palette, Qt::LeftButton, {},
                      QPoint(palette->width() / 24, palette->height() * 9 / 16)); // column 0, row 4
    EXPECT_EQ(client->colours()[OG_Ask], 255);
    EXPECT_EQ(child<QLabel>("colourPreview")->palette().color(QPalette::Window), toQColor(255));
}

class TradingWindowEditor : public ::testing::Test, protected test::ClientFixture {
  protected:
    TradingWindowEditor() {
        writeSettings();
        startSession();
        window = std::make_unique<TradingWindowWidget>(windowViews(*client));
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
        click(client->data().gridRows.findRow(1, RowInstrument), client->columns().map(0, 9));
        return client->gridActions().lastInsertedRow();
    }
    const Order& line(int row) { return client->data().entryLines.at(client->data().gridRows.at(row).ref); }
    void type(const QString& text, int key) {
        editor->lineEdit()->selectAll();
        QTest::keyClicks(editor->lineEdit(), text);
        QTest::keyClick(editor->lineEdit(), static_cast<Qt::Key>(key));
        settle();
    }

    std::unique_ptr<TradingWindowWidget> window;
    QTableView* grid = nullptr;
    QComboBox* editor = nullptr;
};

TEST_F(TradingWindowEditor, ReturnCommitsATypedLimitEscapeKeepsTheQuantityAndAListChoiceIsTakenAtOnce) {
    ASSERT_NE(editor, nullptr);
    const int row = buyLine();
    click(row, client->columns().map(1, 7));
    ASSERT_TRUE(editor->isVisible());
    type("12000,5", Qt::Key_Return);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_FLOAT_EQ(line(row).limit1, 12000.5f);

    const int quantityCol = client->columns().map(1, 6);
    const int before = line(row).quantity;
    click(row, quantityCol);
    type("77", Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(line(row).quantity, before);
    click(row, quantityCol);
    const int index = editor->findText("25");
    ASSERT_GE(index, 0);
    emit editor->activated(index);
    settle();
    EXPECT_EQ(line(row).quantity, 25);
}

TEST_F(TradingWindowEditor, TitleRowsAndTheColourColumnStayInTheHeadersAndTakeNoClicks) {
    EXPECT_TRUE(grid->isRowHidden(0) && grid->isRowHidden(1) && grid->isColumnHidden(0));
    EXPECT_FALSE(grid->isRowHidden(2));
    const CellGrid& cells = client->orderGridCells();
    EXPECT_EQ(grid->horizontalHeader()->height(),
              twipsToPixels(cells.rowHeight(0)) + twipsToPixels(cells.rowHeight(1)));
    const QImage titles = grid->horizontalHeader()->grab().toImage();
    const int defaultTitle = grid->columnViewportPosition(client->columns().map(0, 13));
    EXPECT_EQ(QColor(titles.pixel(defaultTitle + 2, 2)), QColor(160, 160, 160));
    // The "DEFAULT" title is no command.
    QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(defaultTitle + 5, 5));
    settle();
    EXPECT_EQ(client->data().defaultInstrument, 0);
}

class GameEditionWindow : public ::testing::Test, protected test::ClientFixture {};

TEST_F(GameEditionWindow, KeepsTheZentrivoOptionButNeverShowsTheBridgeFrame) {
    TradingWindowWidget window(windowViews(load([](ClientPlatform& p) { p.executableName = "KavexGame"; })));
    auto* option = window.findChild<QCheckBox*>("zentrivoExtern");
    ASSERT_NE(option, nullptr);
    option->setChecked(true);
    EXPECT_EQ(client->settings().zentrivoExtern, 1);
    EXPECT_FALSE(client->window().bridgeFrameVisible());
}

} // namespace
} // namespace kavex
