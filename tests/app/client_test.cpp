// The client as a whole on the fake platform: pending update, a request file resumed after
// a crash, asking for credentials and edited colours.
#include "external/file_drop.h"
#include "external/request_journal.h"
#include "support/client_fixture.h"
#include "views/animated_logo.h"
#include "views/show_error.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kavex {
namespace {

namespace fs = std::filesystem;

class ClientTest : public ::testing::Test, protected test::ClientFixture {};

TEST_F(ClientTest, APendingUpdateIsHandedOverAndTheProgramNeverConnects) {
    writeFileAtomically(dir.root / "KAVEXUP.EXX", "new program");
    load();
    int ended = 0;
    client->endProgram = [&] { ++ended; };
    loop.advance(1000);
    EXPECT_EQ(readFileBytes(dir.root / "KAVEXUP.EXE"), "new program");
    EXPECT_FALSE(fs::exists(dir.root / "KAVEXUP.EXX"));
    EXPECT_EQ(system.programsStarted, (std::vector<std::string>{(dir.root / "QRELOAD.EXE").string()}));
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(socket.connects, 0);
}

TEST_F(ClientTest, ARequestFileACrashInterruptedGoesOnOnlyOnceLoggedInWithItsInstruments) {
    writeSettings([](Settings& s) { s.asciiRemote = 1; });
    // The last run crashed after the first command of this file.
    writeTextLines(folder.path(FileDrop::kWorkFile), {"@CA", "@PO;DE0007164600;0;BUY;MKT;3;;;r1", "@GL"});
    writeFileAtomically(folder.path(FileDrop::kJournalFile),
                        RequestJournal(folder.path(FileDrop::kJournalFile)).line(1, 200));
    load();
    loop.advance(5000); // ticks before the login
    EXPECT_TRUE(fs::exists(folder.path(FileDrop::kWorkFile)));
    EXPECT_TRUE(client->controls().fileDropLog.empty());
    startSessionAfterLoad();
    loop.advance(1000);
    EXPECT_TRUE(sentOnce("@PO=ACC9;-41;1;BUY ;MKT;3; 0; 0;0;0"));
    EXPECT_FALSE(fs::exists(folder.path(FileDrop::kWorkFile)));
}

TEST_F(ClientTest, WithoutCredentialsTheUserIsAskedBeforeConnecting) {
    writeSettings([](Settings& s) {
        s.userName = "-";
        s.password = "";
    });
    dialogs.answer = [](CredentialsDialog& d) {
        d.userField.setText("anna");
        d.passwordField.setText("pw");
        d.confirm();
    };
    load();
    loop.advance(60);
    EXPECT_EQ(prompts.asked,
              (std::vector<std::string>{"Geben Sie im folgenden Fenster bitte Ihren mitgeteilten "
                                        "Usernamen und das zugehörige Paßwort ein !"}));
    EXPECT_EQ(std::make_pair(dialogs.credentialShows, dialogs.autostartShows), std::make_pair(1, 0));
    EXPECT_EQ(client->controls().userButtonHint.text(), "User:anna");
    EXPECT_EQ(socket.connects, 1);
}

TEST_F(ClientTest, EditedColoursReachTheGridOnlyWithAnwenden) {
    writeSettings();
    startSession();
    ColourEditor& editor = client->colourEditor();
    editor.chooseRole(1); // "OG:Bid"
    editor.choosePaletteColour(0, 4);
    EXPECT_EQ(client->orderGridCells().effectiveBackground(2, 8), 65535);
    EXPECT_FALSE(fs::exists(dir.root / "kavex.col"));

    client->window().applyColours();
    EXPECT_EQ(client->orderGridCells().effectiveBackground(2, 8), 255);
    EXPECT_EQ(readTextLines(dir.root / "kavex.col").at(1), " 255 ");
}

TEST_F(ClientTest, AWorkingOrderWithABadFlagIsStillListedAndCancelledByCancelAll) {
    writeSettings();
    startSession();
    serverSends("@OO=41;SRV7;;BUY ;5;LMT;99;0;3;0;5;0;100000;100001;DAY;1;0;0;;300;0");
    loop.advance(100);
    EXPECT_EQ(client->data().account.lastUserOrderId, 41);
    client->window().cancelAll();
    EXPECT_TRUE(sentOnce("@CO=ACC9;41;SRV7"));
}

TEST_F(ClientTest, AGreetingIsBoxedOncePerRunAndTheTransferItAnnouncesTakesItsTextAway) {
    writeSettings();
    startSession();
    MessageWindow& box = client->messageWindow();
    const std::string greeting = "Willkommen anna! Die Datei X.BIN wird übertragen.";
    for (const std::string& m :
         std::vector<std::string>{"@SA=" + greeting, "@FIS=T1;X.BIN;3", "@FID=T1;abc", "@FIE=T1"})
        serverSends(m);
    EXPECT_TRUE(box.visible.checked());
    EXPECT_EQ(client->controls().statusLine.text(), "");
    box.confirm();
    serverSends("@SA=" + greeting); // at the next login of the same run: status line and list only
    EXPECT_FALSE(box.visible.checked());
    EXPECT_TRUE(client->controls().messages.back().ends_with(greeting));
}

TEST_F(ClientTest, APriceAlarmIsKeptAcrossARestartAndFiresOnceWhenTheLastPriceReachesIt) {
    writeSettings();
    writeTextLines(dir.root / "Kavex.Alerts", {"Kavex.Alerts 1", "BMW;79;below", "kaputt;x;above"});
    writeFileAtomically(dir.root / "1.wav", "RIFF");
    startSession();
    const int sapRow = client->data().gridRows.findRow(1, RowInstrument);
    prompts.textAnswers = {"100,5"};
    client->contextMenu().openContextMenu(sapRow, 1);
    client->contextMenu().menu().choose(3); // "Alarm bei..."
    EXPECT_EQ(readFileBytes(dir.root / "Kavex.Alerts"),
              "Kavex.Alerts 1\r\nBMW;79;below\r\nSAP;100.5;above\r\n");

    const std::size_t soundsBefore = sound.played.size();
    for (const char* last : {"100.25", "100.5", "101"}) {
        serverSends(std::string("~1;") + last + ";1;5;1;6");
        loop.advance(200);
    }
    EXPECT_EQ(sound.played.size(), soundsBefore + 1);
    EXPECT_EQ(client->controls().messages.back(), "Alarm SAP: Last 100.5 über 100.5");
    EXPECT_TRUE(client->data().alerts.marked("SAP"));
    EXPECT_EQ(readFileBytes(dir.root / "Kavex.Alerts"), "Kavex.Alerts 1\r\nBMW;79;below\r\n");
}

TEST(ClientClock, TheServersTimeIsTheProgramsClockAndSetsTheMachinesOnlyWhenKavexExtraAsks) {
    for (bool asked : {false, true}) {
        test::ClientFixture f;
        f.writeSettings();
        if (asked) writeTextLines(f.dir.root / "Kavex.Extra", {"Kavex.Extra 1", "MachineClockFromServer=1"});
        f.startSession();
        f.serverSends("@TS=12:03:07");
        f.serverSends("@MSG=Hallo");
        EXPECT_EQ(f.system.timesSet,
                  asked ? std::vector<std::string>{"12:03:07"} : std::vector<std::string>{});
        if (!asked) {
            EXPECT_EQ(f.client->controls().messages.back(), "12:03:07 Hallo");
        }
    }
}

TEST_F(ClientTest, TheLogoStepsThroughItsFramesAndAskedWithShiftAndCtrlRequestsTheSystemInformation) {
    writeFileAtomically(dir.root / "kavex.dat", "GIF89a-one;GIF87a-two;GIF89a-three;");
    writeSettings();
    startSession(); // 6 s after the load
    const AnimatedLogo& logo = client->logo();
    ASSERT_EQ(logo.frames(), (std::vector<std::string>{"GIF89a-one;", "GIF87a-two;", "GIF89a-three;"}));
    const int shown = logo.currentFrame();
    loop.advance(1000);
    EXPECT_EQ(logo.currentFrame(), (shown + 1) % 3);

    client->window().clickLogo(true);
    EXPECT_TRUE(sentOnce("@RI"));
    EXPECT_TRUE(system.urlsOpened.empty());
    client->window().clickLogo(false);
    EXPECT_EQ(system.urlsOpened.size(), 1u);
}

} // namespace
} // namespace kavex
