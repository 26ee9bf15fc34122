// Parts of the trading window: its layout when a resize would give a part a negative size,
// the colour editor, the credentials dialog, the autostart countdown and the bracket preset
// dialog.
#include "model/bracket_preset.h"
#include "support/fakes.h"
#include "support/scripted_dialogs.h"
#include "views/bracket_preset_dialog.h"
#include "views/colour_editor.h"
#include "views/colour_roles.h"
#include "views/form_layout.h"
#include "views/login_dialogs.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kavex {
namespace {

// How the parts follow the window's size is run in the Qt layout test.
TEST(FormLayout, ANegativeComputedSizeKeepsThePreviousOne) {
    FormLayout l = FormLayout::designed();
    l.resize(9000, 1500); // the grid just fits: 960 - 60 - 50 - 480 - 360
    ASSERT_EQ(l.orderGrid.height, 10);
    l.resize(100, 400); // every part would get a negative size: all keep theirs
    EXPECT_EQ(
        std::make_tuple(l.ordersFrame.width, l.orderGrid.height, l.orderStrip.top, l.statementList.height),
        std::make_tuple(8880, 10, 70, 600));
}

// A role taking a palette and a dialog colour is run in the Qt layout test.
TEST(ColourEditor, WithoutASelectedRoleOnlyTheSwatchChangesAndACancelledDialogKeepsTheColour) {
    ColourRoles colours;
    test::FakePrompts prompts;
    ColourEditor editor{colours, prompts};
    std::vector<int> shown;
    editor.fillRoleList();
    editor.previewChanged = [&](int c) { shown.push_back(c); };
    editor.choosePaletteColour(4, 4); // no role yet
    EXPECT_EQ(colours[4], ColourRoles{}[4]);
    editor.chooseRole(3); // "OG:Bestand", place 4
    editor.choosePaletteColour(0, 4);
    prompts.colourAnswer = -1; // cancelled
    editor.chooseOtherColour();
    EXPECT_EQ(std::make_pair(colours[3], colours[4]), std::make_pair(65535, 255));
    EXPECT_EQ(shown, (std::vector<int>{65280, 16711680, 255}));

    editor.chooseRole(40); // not a list position: nothing selected
    editor.choosePaletteColour(0, 0);
    EXPECT_EQ(colours[4], 255);
    EXPECT_EQ(editor.preview(), 0);
}

struct Dialogs : ::testing::Test {
    test::FakeEventLoop loop;
    test::ScriptedDialogs host{loop};
    std::string user = "anna", password = "pw";
    CredentialsDialog credentials{user, password, [](const std::string&) {}};
    AutostartDialog autostart{loop, host, credentials};
};

TEST_F(Dialogs, AbbruchStoresNothingAndTheCountdownEndsTheModalRunAfterFiveSeconds) {
    credentials.open();
    credentials.userField.setText("other");
    credentials.cancel();
    EXPECT_EQ(user, "anna");
    autostart.open();
    host.runModal(autostart);
    EXPECT_EQ(loop.elapsedMs(), 5000);
    EXPECT_FALSE(autostart.visible.checked());
}

TEST(BracketPresetDialog, ShowsOffsetsToTheFillAsNegativeValuesAndReadsTheTypedValues) {
    test::FakePrompts prompts;
    BracketPresetDialog dialog(prompts);
    BracketPreset preset{"SAP", -2.5f, 1, 1, 7};
    dialog.open(preset);
    dialog.chooseOption(2); // takes effect at once: offsets now show negative
    dialog.open(preset);
    EXPECT_EQ(dialog.profitField.text() + dialog.stopField.text(), "-2.5-1");
    dialog.profitField.setText("1,5x");
    dialog.stopField.setText(" .25");
    dialog.confirm();
    EXPECT_FALSE(dialog.visible.checked());
    EXPECT_EQ(std::make_pair(preset.profitValue, preset.stopValue), std::make_pair(1.5f, 0.25f));
    preset.presetMode = 5; // no option of its own: none is selected and the mode is kept
    dialog.open(preset);
    EXPECT_EQ(dialog.selectedOption(), -1);
    dialog.confirm();
    EXPECT_EQ(preset.presetMode, 5.0f);
}

} // namespace
} // namespace kavex
