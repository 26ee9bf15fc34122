// A server that ends the session: "!;EXIT", a locked user, a wrong password, a file
// transfer cut off by a crash; and the autostart countdown under a changed machine clock.
#include "scripted_game.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kavex {
namespace {

class SessionEndFaults : public ::testing::Test, protected test::ScriptedGame {};

TEST_F(SessionEndFaults, ExitEndsTheProgramAtOnce) {
    begin();
    EXPECT_THROW(serverSends("!;EXIT"), test::ProgramExited);
    EXPECT_EQ(system.exits, 1);
}

TEST_F(SessionEndFaults, ALockedUserIsNotLoggedInAgainAfterTheLinkDrops) {
    begin();
    serverSends("@MSG=user gesperrt");
    closeLink();
    loop.advance(120000);
    EXPECT_EQ(socket.connects, 1);
    EXPECT_EQ(logins(), 1);
}

TEST_F(SessionEndFaults, AWrongPasswordAsksOnceAndTheNextLoginUsesTheNewOne) {
    dialogs.answer = [](CredentialsDialog& d) {
        d.userField.setText("bob");
        d.passwordField.setText("pw2");
        d.confirm();
    };
    begin();
    const int asked = dialogs.credentialShows;
    serverSends("@MSG=Falsches Paßwort");
    closeLink();
    loop.advance(30000);
    EXPECT_EQ(dialogs.credentialShows, asked + 1);
    EXPECT_EQ(logins(), 2);
    EXPECT_EQ(sentWith("@U=bob%pw2/").size(), 1u);
}

TEST_F(SessionEndFaults, AFileCutOffByACrashArrivesWholeAfterTheReconnect) {
    begin();
    serverSends("@FIS=T1;report.txt;10");
    serverSends("@FID=T1;abcde");
    crash();
    loop.advance(20000);
    ASSERT_EQ(logins(), 2);
    EXPECT_FALSE(std::filesystem::exists(dir.root / "report.txt"));
    serverSends("@FIS=T2;report.txt;10");
    serverSends("@FID=T2;abcdefghij");
    serverSends("@FIE=T2");
    EXPECT_EQ(readFileBytes(dir.root / "report.txt"), "abcdefghij");
}

TEST_F(SessionEndFaults, TheAutostartCountdownRunsOnTheTickWhateverTheMachineClockDoes) {
    int64_t connectedAt = -1;
    loop.startTimer(10, [&] {
        if (socket.connects > 0 && connectedAt < 0) connectedAt = loop.elapsedMs();
    });
    at(1000, [this] { loop.setDateTime({2024, 3, 1, 23, 0, 0, 0}); });
    at(2000, [this] { loop.setDateTime({2024, 2, 1, 1, 0, 0, 0}); });
    writeSettings();
    load();
    loop.advance(100);
    EXPECT_NEAR(connectedAt, Client::kStartupMs + 5000, 20);
}

} // namespace
} // namespace kavex
