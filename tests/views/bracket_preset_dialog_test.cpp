// The bracket preset dialog, and its values saved and read back across runs.
#include "model/bracket_preset.h"
#include "support/client_fixture.h"
#include "views/bracket_preset_dialog.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

TEST(BracketPresetDialog, ShowsOffsetsToTheFillAsNegativeValuesAndReadsTheTypedValues) {
    test::FakePrompts prompts;
    BracketPresetDialog dialog(prompts);
    BracketPreset preset{"SAP", -2.5f, 1, 1, 7};
    dialog.open(preset);
    EXPECT_EQ(dialog.profitField.text(), " 2.5");
    dialog.chooseOption(2); // takes effect at once: offsets now show negative
    dialog.open(preset);
    EXPECT_EQ(dialog.profitField.text() + dialog.stopField.text(), "-2.5-1");
    // A refused zero is run in the persistence test below.
    dialog.profitField.setText("1,5x");
    dialog.stopField.setText(" .25");
    dialog.OK_Click();
    EXPECT_FALSE(dialog.visible.checked());
    EXPECT_EQ(std::make_pair(preset.profitValue, preset.stopValue), std::make_pair(1.5f, 0.25f));
    preset.presetMode = 5; // no option of its own: none is selected and the mode is kept
    dialog.open(preset);
    EXPECT_EQ(dialog.selectedOption(), -1);
    dialog.OK_Click();
    EXPECT_EQ(preset.presetMode, 5.0f);
}

// The trading window end to end: the values entered for a bracket are written to the
// preset file at shutdown and read back in the next run with its instrument list.
TEST(PresetPersistence, ValuesEnteredForABracketAreSavedAndReadBackNextRun) {
    test::ClientFixture first;
    first.locale = NumberLocale{','};
    first.writeSettings();
    Client& client = first.startSession();
    GridActions& actions = client.gridActions();
    actions.mouseDown(2, client.columns().map(0, 9), false); // Ask of SAP: a BUY line on row 4
    first.dialogs.presetAnswers.push_back([](BracketPresetDialog& d) {
        d.chooseOption(1);
        d.profitField.setText("0");
        d.stopField.setText("1");
        d.OK_Click(); // refused: the dialog stays open
    });
    first.dialogs.presetAnswers.push_back([](BracketPresetDialog& d) {
        d.profitField.setText("2,5");
        d.OK_Click();
    });
    actions.mouseDown(4, 1, true);
    PopupMenu& menu = client.contextMenu().menu();
    menu.choose(menu.indexOf("Erzeuge Bracket Orders Edit"));
    EXPECT_EQ(first.dialogs.presetShows, 1);
    EXPECT_EQ(client.orderGridCells().text(5, 7), "102,5"); // Last 100 + 2.5 in the user's number form
    client.window().end();
    EXPECT_EQ(readFileBytes(first.folder.path("Kavex.wpv")),
              "SAP\r\n 2.5 \r\n 1 \r\n 1 \r\n 0 \r\n\r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n");

    test::ClientFixture next;
    next.folder = first.folder;
    next.locale = first.locale;
    const BracketPreset& sap = next.startSession().data().presets.at(1);
    EXPECT_EQ(std::make_pair(sap.presetName, sap.profitValue), std::make_pair(std::string("SAP"), 2.5f));
}

} // namespace
} // namespace kavex
