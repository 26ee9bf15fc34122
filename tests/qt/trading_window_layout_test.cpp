// The trading window on screen: its parts where the twip layout puts them, the window
// geometry from the settings, and the settings tab's colour editing and sound list.
#include "gui/cell_grid_model.h"
#include "gui/trading_window.h"
#include "support/form_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace kavex {
namespace {

QRect pixels(const TwipRect& r) {
    return {twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width), twipsToPixels(r.height)};
}

class TradingWindowLayout : public ::testing::Test, protected test::FormFixture {
  protected:
    TradingWindowLayout() {
        writeFileAtomically(dir.root / "ping.wav", "RIFF");
        window = std::make_unique<TradingWindow>(load());
        window->show();
    }
    void settle() {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    template <class T> T* child(const char* name) { return window->findChild<T*>(name); }

    std::unique_ptr<TradingWindow> window;
};

TEST_F(TradingWindowLayout, PartsFollowTheWindowSizeInTwips) {
    window->resize(900, 500);
    settle();
    const FormLayout& l = form->layout();
    EXPECT_EQ(l.lastHeight, 500 * 15);
    EXPECT_EQ(window->tabs()->geometry(), pixels(l.tabArea));
    QTableView* grid = window->orderGridView();
    EXPECT_EQ(grid->geometry(), pixels(l.orderGrid));
    QWidget* strip = child<QWidget>("orderStrip");
    EXPECT_EQ(strip->geometry().top(), pixels(l.orderGrid).bottom() + 1); // directly below the grid
    // The strip stays inside the tab's page.
    const QPoint stripBottom = strip->mapTo(window.get(), QPoint(0, strip->height()));
    EXPECT_LE(stripBottom.y(), window->tabs()->geometry().bottom());

    window->resize(1100, 640);
    settle();
    EXPECT_EQ(grid->geometry(), pixels(form->layout().orderGrid));
    EXPECT_EQ(form->windowGeometry().width, 1100 * 15);
}

TEST_F(TradingWindowLayout, TheSavedGeometryPlacesTheWindowAtStartUp) {
    writeSettings([](Settings& s) {
        s.windowWidth = 12000; // 800 pixels
        s.windowTop = 750;
        s.windowLeft = 1500; // the height of 0 keeps the window's height
    });
    const int height = window->height();
    loop.advance(6000);
    settle();
    EXPECT_EQ(window->width(), 800);
    EXPECT_EQ(window->height(), height);
    EXPECT_EQ(window->pos(), QPoint(100, 50));
    EXPECT_EQ(form->windowGeometry(), (TwipRect{1500, 750, 12000, height * 15}));
}

TEST_F(TradingWindowLayout, TheSettingsTabEditsColoursAndChoosesTheSound) {
    loop.advance(6000);                // the start-up sequence fills the role list
    form->settings().confirmation = 0; // as read from a settings file after the window was built
    window->tabs()->setCurrentIndex(OrderForm::SettingsTab);
    settle();
    EXPECT_FALSE(child<QCheckBox>("confirmation")->isChecked());

    // Sound list: refilled from the wave files as the tab opens; the choice plays once.
    auto* sounds = child<QComboBox>("soundFiles");
    ASSERT_EQ(sounds->count(), 1);
    sounds->setCurrentIndex(0);
    emit sounds->textActivated("ping.wav");
    EXPECT_EQ(child<QLineEdit>("soundFile")->text(), "ping.wav");
    EXPECT_EQ(sound.played.size(), 1u);

    // Colour roles: a role, a palette click, "Mehr...".
    auto* roles = child<QListView>("colourRoles");
    ASSERT_EQ(roles->model()->rowCount(), 18);
    QTest::mouseClick(roles->viewport(), Qt::LeftButton, {},
                      roles->visualRect(roles->model()->index(2, 0)).center()); // "OG:Ask"
    EXPECT_EQ(form->colourEditor().selectedRole(), 2);
    auto* swatch = child<QLabel>("colourPreview");
    EXPECT_EQ(swatch->palette().color(QPalette::Window), QColor(255, 255, 0));
    auto* palette = child<QWidget>("colourPalette");
    QTest::mouseClick(palette, Qt::LeftButton, {},
                      QPoint(palette->width() / 24, palette->height() * 9 / 16)); // column 0, row 4
    EXPECT_EQ(form->colours()[OG_Ask], 255);
    prompts.colourAnswer = 0x123456;
    window->button("Mehr...")->click();
    EXPECT_EQ(form->colours()[OG_Ask], 0x123456);
    EXPECT_EQ(swatch->palette().color(QPalette::Window), toQColor(0x123456));
    child<QPushButton>("productLogo")->click();
    EXPECT_EQ(system.urlsOpened.size(), 1u);
    child<QPushButton>("productLabel")->click();
    EXPECT_EQ(prompts.asked.back(), "kavex");
}

} // namespace
} // namespace kavex
