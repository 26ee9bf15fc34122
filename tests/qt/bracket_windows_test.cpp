// The preset dialog's window and the right-click menu on the offscreen platform.
#include "views/bracket_preset_dialog.h"
#include "model/bracket_preset.h"
#include "views/popup_menu.h"
#include "gui/bracket_preset_dialog_qt.h"
#include "gui/popup_menu_qt.h"
#include "support/fakes.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

namespace kavex {
namespace {

TEST(BracketPresetDialogQt, ShowsThePresetAndStaysOpenUntilTheValuesAreNotZero) {
    test::FakePrompts prompts;
    BracketPresetDialog model(prompts);
    BracketPreset preset{"SAP", 2, 1, 2, 0};
    model.open(preset);
    BracketPresetDialogQt window(model);
    EXPECT_EQ(window.heading()->text(), "SAP");
    EXPECT_EQ(window.options()->checkedId(), 2);
    EXPECT_EQ(window.profitEdit()->text(), "-2");

    window.show();
    window.options()->button(1)->click();
    window.profitEdit()->setText("0");
    window.okButton()->click();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(prompts.asked.size(), 1u);

    window.profitEdit()->setText("3,5");
    window.reject(); // closing by the window's own control stores the values as well
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(model.visible.checked());
    EXPECT_EQ((std::vector<float>{preset.profitValue, preset.stopValue, preset.presetMode}),
              (std::vector<float>{3.5f, -1.0f, 1.0f}));
}

TEST(PopupMenuPresenter, ShowsTheEntriesWithTheHeaderAndRunsTheChosenCommand) {
    PopupMenu model;
    PopupMenuPresenter presenter(model, nullptr);
    QStringList shown;
    int chosen = -1;
    presenter.execMenu = [&](QMenu& menu) -> QAction* {
        for (QAction* a : menu.actions())
            shown << a->text() + (a->isEnabled() ? "" : " (header)");
        return chosen < 0 ? nullptr : menu.actions().at(chosen);
    };
    int ran = 0;
    auto open = [&] {
        model.open({{"SAP", nullptr}, {"Position Drehen", [&] { ran += 1; }}, {"Position Glattstellen", [&] {
                                                                                   ran += 10;
                                                                               }}});
    };
    open();
    EXPECT_EQ(shown, (QStringList{"SAP (header)", "Position Drehen", "Position Glattstellen"}));
    EXPECT_FALSE(model.isOpen());
    EXPECT_EQ(ran, 0);

    chosen = 2;
    open();
    EXPECT_EQ(ran, 10);
}

} // namespace
} // namespace kavex
