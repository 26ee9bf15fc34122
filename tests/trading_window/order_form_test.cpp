// The trading window as a whole on the fake platform: edition, pending update, asking for
// credentials, the start-up session, the refresh tick, colours and what shutdown saves.
#include "support/form_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kavex {
namespace {

namespace fs = std::filesystem;

class OrderFormTest : public ::testing::Test, protected test::FormFixture {
  protected:
    void countEnds() {
        form->endProgram = [this] { ++ended; };
    }
    int ended = 0;
};

TEST_F(OrderFormTest, TheExecutableNameChoosesTheEdition) {
    load([](OrderFormPlatform& p) { p.executableName = "KavexGame"; });
    EXPECT_EQ(form->title.text(), "K a v e x 2    V1.1.368 Game");
    EXPECT_TRUE(form->gameEdition());
    EXPECT_EQ(load().title.text(), "K a v e x 2    V1.1.368 QZC");
    EXPECT_FALSE(form->gameEdition());
}

TEST_F(OrderFormTest, APendingUpdateIsHandedOverAndTheProgramNeverConnects) {
    writeFileAtomically(dir.root / "KAVEXUP.EXX", "new program");
    load();
    countEnds();
    EXPECT_TRUE(form->updateTimerActive());
    EXPECT_FALSE(form->startupTimerActive());
    loop.advance(1000);
    EXPECT_EQ(readFileBytes(dir.root / "KAVEXUP.EXE"), "new program");
    EXPECT_FALSE(fs::exists(dir.root / "KAVEXUP.EXX"));
    EXPECT_EQ(system.programsStarted, (std::vector<std::string>{(dir.root / "QRELOAD.EXE").string()}));
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(socket.connects, 0);
}

TEST_F(OrderFormTest, WithoutCredentialsTheUserIsAskedBeforeConnecting) {
    writeSettings([](Settings& s) {
        s.userName = "-";
        s.password = "";
    });
    dialogs.answer = [](GibPW& d) {
        d.userField.setText("anna");
        d.passwordField.setText("pw");
        d.OK_Click();
    };
    load();
    loop.advance(60);
    EXPECT_EQ(prompts.asked,
              (std::vector<std::string>{"Geben Sie im folgenden Fenster bitte Ihren mitgeteilten "
                                        "Usernamen und das zugehörige Paßwort ein !"}));
    EXPECT_EQ(dialogs.credentialShows, 1);
    EXPECT_EQ(dialogs.autostartShows, 0);
    EXPECT_EQ(form->userButtonHint.text(), "User:anna");
    EXPECT_EQ(socket.connects, 1);
    EXPECT_EQ(socket.host, "127.0.0.1");
}

TEST_F(OrderFormTest, KnownCredentialsCountDownLogInAndTheRefreshTickWaitsForThePrices) {
    writeSettings();
    startSession();
    EXPECT_EQ(dialogs.autostartShows, 1);
    EXPECT_EQ(socket.connects, 1);
    EXPECT_EQ(form->accountCodeLabel.text(), "UID:ACC9");
    EXPECT_EQ(form->data().account.lastUserOrderId, 40);
    CellGrid& grid = form->orderGridCells();
    EXPECT_EQ(grid.text(2, 1), "SAP");
    EXPECT_EQ(grid.text(4, 1), "BMW");

    // Before the first price message the tick leaves a changed instrument alone.
    form->data().instruments.at(1).Changed = 1;
    form->data().instruments.at(1).Bid = 1;
    loop.advance(300);
    EXPECT_EQ(grid.text(2, 8), " 99.5");
    EXPECT_EQ(form->data().instruments.at(1).Changed, 1);

    serverSends("~1;101;0.5;11;0.5;21");
    EXPECT_EQ(grid.text(2, 8), " 99.5"); // drawn by the tick, not on arrival
    loop.advance(150);
    EXPECT_EQ(grid.text(2, 8), " 100.5");
    EXPECT_EQ(grid.text(2, 9), " 101.5");
    EXPECT_EQ(form->data().instruments.at(1).Changed, 0);
}

TEST_F(OrderFormTest, ShutdownSavesSettingsGeometrySoundPresetsAndHistoryThenEnds) {
    writeSettings();
    for (const char* name : {"b.wav", "A.WAV", "notes.txt"})
        writeFileAtomically(dir.root / name, "RIFF");
    startSession();
    countEnds();
    serverSends("~2;81;0.5;1;0.5;1");

    form->tab_Click(OrderForm::SettingsTab);
    EXPECT_EQ(form->soundFiles.lines(), (std::vector<std::string>{"A.WAV", "b.wav"}));
    form->soundList_Click("b.wav");
    EXPECT_EQ(sound.played, (std::vector<std::string>{(dir.root / "b.wav").string()}));
    form->windowPlaced({15, 30, 15000, 9000});

    form->ende_Click();
    EXPECT_EQ(ended, 1);
    const auto ini = readTextLines(dir.root / "Kavex.Ini");
    EXPECT_EQ(ini.front(), "\"anna\"");
    EXPECT_EQ(ini[6].substr(0, 5), " 250;"); // column 0 of the order grid
    EXPECT_EQ(std::vector<std::string>(ini.begin() + 8, ini.begin() + 12),
              (std::vector<std::string>{" 15000 ", " 9000 ", " 30 ", " 15 "}));
    EXPECT_EQ(ini[17], "b.wav");
    EXPECT_EQ(readTextLines(dir.root / "Kavex.wpv").size(), 10u);
    auto history = readTextLines(dir.root / "K2.dat");
    ASSERT_EQ(history.size(), 3000u);
    EXPECT_EQ(history.back().substr(history.back().find(';')), "; 80.5; 81.5; 81; 0");
    EXPECT_TRUE(fs::exists(dir.root / "K1.dat"));
}

TEST_F(OrderFormTest, EditedColoursReachTheGridOnlyWithAnwenden) {
    writeSettings();
    startSession();
    ColourEditor& editor = form->colourEditor();
    editor.roleList_Click(1); // "OG:Bid"
    editor.palette_Click(0, 4);
    EXPECT_EQ(form->colours()[OG_Bid], 255);
    EXPECT_EQ(form->orderGridCells().effectiveBackground(2, 8), 65535);
    EXPECT_FALSE(fs::exists(dir.root / "kavex.col"));

    form->apply_Click();
    EXPECT_EQ(form->orderGridCells().effectiveBackground(2, 8), 255);
    auto file = readTextLines(dir.root / "kavex.col");
    ASSERT_EQ(file.size(), 30u);
    EXPECT_EQ(file[1], " 255 ");
}

} // namespace
} // namespace kavex
