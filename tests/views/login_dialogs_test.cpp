// The credentials dialog and the autostart countdown.
#include "views/login_dialogs.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

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
