// Parts of the trading window: its layout when a resize would give a part a negative size,
// the colour editor, the credentials dialog and the autostart countdown.
#include "support/fakes.h"
#include "support/scripted_dialogs.h"
#include "views/colour_editor.h"
#include "views/colour_roles.h"
#include "views/form_layout.h"
#include "views/login_dialogs.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kavex {
namespace {

TEST(FormLayout, ANegativeComputedSizeKeepsThePreviousOne) {
    FormLayout l = FormLayout::designed();
    l.resize(9000, 1500); // the grid just fits: 960 - 60 - 50 - 480 - 360
    ASSERT_EQ(l.orderGrid.height, 10);
    l.resize(9000, 1400);
    // Frame 860; the grid's 10 is kept, the strip stays under it, and the execution grid's
    // 860 - 60 - 50 - 420 - 360 < 0 keeps its 70 as well.
    EXPECT_EQ(
        std::make_tuple(l.ordersFrame.height, l.orderGrid.height, l.orderStrip.top, l.executionGrid.height),
        std::make_tuple(860, 10, 70, 70));

    // Frame: 100 - 120 < 0 and 400 - 480 - 60 < 0 keep 8880 x 860; the grid follows the kept width;
    // the statement list's 40 - 480 - 60 < 0 keeps its last height.
    l.resize(100, 400);
    EXPECT_EQ(std::make_tuple(l.ordersFrame.width, l.ordersFrame.height, l.orderGrid.width, l.tabArea.height,
                              l.statementList.width, l.statementList.height, l.headerLabels[1].width),
              std::make_tuple(8880, 860, 8760, 40, 8820, 500, 33));

    l.resize(9000, 6000); // growing again applies everything
    EXPECT_EQ(l.orderGrid.height, 4510);
    EXPECT_EQ(l.ordersFrame.width, 8880);
}

class ColourEditorTest : public ::testing::Test {
  protected:
    ColourRoles colours;
    test::FakePrompts prompts;
    ColourEditor editor{colours, prompts};
    std::vector<int> shown;
    void SetUp() override {
        editor.fillRoleList();
        editor.previewChanged = [this](int c) { shown.push_back(c); };
    }
};

// A role taking a palette and a dialog colour is run in the Qt layout test.
TEST_F(ColourEditorTest, WithoutASelectedRoleOnlyTheSwatchChangesAndACancelledDialogKeepsTheColour) {
    editor.palette_Click(4, 4); // no role yet
    EXPECT_EQ(colours[4], ColourRoles{}[4]);
    editor.roleList_Click(3); // "OG:Bestand", place 4
    editor.palette_Click(0, 4);
    prompts.colourAnswer = -1; // cancelled
    editor.more_Click();
    EXPECT_EQ(std::make_pair(colours[3], colours[4]), std::make_pair(65535, 255));
    EXPECT_EQ(shown, (std::vector<int>{65280, 16711680, 255}));

    editor.roleList_Click(40); // not a list position: nothing selected
    editor.palette_Click(0, 0);
    EXPECT_EQ(colours[4], 255);
    EXPECT_EQ(editor.preview(), 0);
}

struct Dialogs : ::testing::Test {
    test::FakeEventLoop loop;
    test::ScriptedDialogs host{loop};
    std::string user = "anna", password = "pw";
    std::string tooltip;
    CredentialsDialog credentials{user, password, [this](const std::string& t) { tooltip = t; }};
    AutostartDialog autostart{loop, host, credentials};
};

TEST_F(Dialogs, CredentialsAreShownAndStoredAsTypedEvenWhenEmptyButNotOnAbbruch) {
    credentials.open();
    EXPECT_EQ(credentials.userField.text(), "anna");
    credentials.userField.setText("other");
    credentials.Abbruch_Click();
    EXPECT_EQ(user, "anna");
    credentials.open();
    credentials.userField.setText("");
    credentials.passwordField.setText("neu");
    credentials.OK_Click();
    EXPECT_EQ((std::vector<std::string>{user, password, tooltip}),
              (std::vector<std::string>{"", "neu", "User:"}));
}

TEST_F(Dialogs, StartEndsTheCountdownAtOnceAndAModalCountdownReturnsAfterFiveSeconds) {
    autostart.open();
    loop.advance(500);
    autostart.Start_Click();
    EXPECT_FALSE(autostart.visible.checked());
    EXPECT_EQ(loop.activeTimers(), 0u);
    autostart.open();
    host.runModal(autostart);
    EXPECT_EQ(loop.elapsedMs(), 5500);
}

TEST_F(Dialogs, UserPasswordStopsTheCountdownAndShowsTheCredentialsFirst) {
    host.answer = [&](CredentialsDialog& d) {
        EXPECT_EQ(loop.activeTimers(), 0u); // the countdown is stopped while the dialog is open
        d.userField.setText("bert");
        d.OK_Click();
    };
    autostart.open();
    loop.advance(750);
    autostart.UserPassword_Click();
    EXPECT_EQ(std::make_pair(host.credentialShows, user), std::make_pair(1, std::string("bert")));
    EXPECT_FALSE(autostart.visible.checked());
    EXPECT_EQ(autostart.remaining(), 4250);
}

} // namespace
} // namespace kavex
