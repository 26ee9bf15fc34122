#include "base/cp1252.h"
#include "base/files.h"
#include "protocol/wire.h"
#include "support/fakes.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "trading_window/order_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace kavex {
namespace {

namespace fs = std::filesystem;

class OrderFormTest : public ::testing::Test {
  protected:
    OrderForm& load(const std::string& exe = "kavex") {
        form = std::make_unique<OrderForm>(OrderFormPlatform{
            loop, socket, http, sound, system, prompts, dialogs, folder, exe, NumberLocale{','}, {}, {}});
        form->endProgram = [this] { ++ended; };
        form->Form_Load();
        return *form;
    }
    void at(int64_t ms, std::function<void()> action) {
        loop.startTimer(static_cast<int>(ms - loop.elapsedMs()), std::move(action), true);
    }
    void serverSends(const std::string& text) { socket.deliver(cp1252::fromUtf8(wire::frame(text))); }
    // The server side of a login right after the connect attempt.
    void scriptSession(int64_t start) {
        at(start + 10, [this] { socket.acceptConnection(); });
        at(start + 20, [this] { serverSends("!;ID"); });
        at(start + 30, [this] { serverSends("!;USER"); });
        at(start + 40, [this] { serverSends("@UD=ACC9"); });
        at(start + 50, [this] { serverSends("@LI=40"); });
        at(start + 60, [this] {
            serverSends("@SI=SAP;DE0007164600;EUR;100;99.5;10;100.5;20;SAP SE;1;0;0\n"
                        "BMW;DE0005190003;EUR;80;79.9;5;80.1;6;BMW AG;1;0;0");
        });
    }
    void writeSettings(const std::string& user, const std::string& password) {
        writeTextLines(dir.root / "Kavex.Ini",
                       {"\"" + user + "\"", "\"127.0.0.1\"", " 1 ", "\"\"", "\"\"", " 0 ", "", "", " 0 ",
                        " 0 ", " 0 ", " 0 ", " 0 ", password, ""});
    }

    test::TempDir dir;
    WorkingDirectory folder{dir.root};
    test::FakeEventLoop loop;
    test::FakeTcpClient socket;
    test::FakeHttpGet http;
    test::FakeSound sound;
    test::FakeSystemServices system;
    test::FakePrompts prompts;
    test::ScriptedDialogs dialogs{loop};
    std::unique_ptr<OrderForm> form;
    int ended = 0;
};

TEST_F(OrderFormTest, TheExecutableNameChoosesTheEditionAndTheTitle) {
    EXPECT_EQ(load("KavexGame").title.text(), "K a v e x 2    V1.1.368 Game");
    EXPECT_TRUE(form->gameEdition());
    EXPECT_EQ(load("kavex").title.text(), "K a v e x 2    V1.1.368 QZC");
    EXPECT_FALSE(form->gameEdition());
    EXPECT_EQ(form->defaultQuantityList.size(), 14u);
    EXPECT_EQ(form->executionOrderList.lines().front(), "Nach WP / Nach Datum");
}

TEST_F(OrderFormTest, APendingUpdateIsHandedOverAndTheProgramNeverConnects) {
    writeFileAtomically(dir.root / "KAVEXUP.EXX", "new program");
    load();
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
    writeSettings("-", "");
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
    EXPECT_EQ(form->settings().userName, "anna");
    EXPECT_EQ(form->userButtonHint.text(), "User:anna");
    EXPECT_EQ(socket.connects, 1);
    EXPECT_EQ(socket.host, "127.0.0.1");
}

TEST_F(OrderFormTest, KnownCredentialsCountDownThenLogInAndShowTheInstruments) {
    writeSettings("anna", "pw");
    load();
    scriptSession(5050);
    loop.advance(6000);
    EXPECT_EQ(dialogs.autostartShows, 1);
    EXPECT_EQ(socket.connects, 1);
    EXPECT_EQ(form->data().account.accountCode.trimmed(), "ACC9");
    EXPECT_EQ(form->accountCodeLabel.text(), "UID:ACC9");
    EXPECT_EQ(form->data().account.lastUserOrderId, 40);
    ASSERT_EQ(form->data().InstrumentCount(), 2);
    CellGrid& grid = form->orderGridCells();
    EXPECT_EQ(grid.text(2, 1), "SAP");
    EXPECT_EQ(grid.text(4, 1), "BMW");

    // A quote: the refresh tick redraws the instrument's row.
    serverSends("~1;101;0.5;11;0.5;21");
    EXPECT_EQ(grid.text(2, 8), " 99.5");
    loop.advance(150);
    EXPECT_EQ(grid.text(2, 8), " 100.5");
    EXPECT_EQ(grid.text(2, 9), " 101.5");
    EXPECT_EQ(form->data().instruments.at(1).Changed, 0);
}

TEST_F(OrderFormTest, TheRefreshTickDoesNothingBeforeThePricesArrive) {
    writeSettings("anna", "pw");
    load();
    scriptSession(5050);
    loop.advance(6000);
    form->data().instruments.at(1).Changed = 1;
    form->data().instruments.at(1).Bid = 1;
    loop.advance(300);
    EXPECT_EQ(form->orderGridCells().text(2, 8), " 99.5");
    EXPECT_EQ(form->data().instruments.at(1).Changed, 1);
}

TEST_F(OrderFormTest, ShutdownSavesSettingsPresetsAndHistoryThenEnds) {
    writeSettings("anna", "pw");
    load();
    scriptSession(5050);
    loop.advance(6000);
    serverSends("~2;81;0.5;1;0.5;1");
    form->ende_Click();
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(readTextLines(dir.root / "Kavex.Ini").front(), "\"anna\"");
    EXPECT_EQ(readTextLines(dir.root / "Kavex.Ini")[6].substr(0, 5), " 250;"); // column 0 of the order grid
    EXPECT_EQ(readTextLines(dir.root / "Kavex.wpv").size(), 10u);
    auto history = readTextLines(dir.root / "K2.dat");
    ASSERT_EQ(history.size(), 3000u);
    EXPECT_EQ(history.back().substr(history.back().find(';')), "; 80.5; 81.5; 81; 0");
    EXPECT_TRUE(fs::exists(dir.root / "K1.dat"));
}

TEST_F(OrderFormTest, TheSettingsTabListsWaveFilesAndTakesTheChosenSound) {
    writeSettings("anna", "pw");
    for (const char* name : {"b.wav", "A.WAV", "notes.txt"})
        writeFileAtomically(dir.root / name, "RIFF");
    load();
    loop.advance(6000);
    form->tab_Click(OrderForm::SettingsTab);
    EXPECT_EQ(form->soundFiles.lines(), (std::vector<std::string>{"A.WAV", "b.wav"}));
    EXPECT_EQ(form->soundFileField.text(), "1.wav");
    form->soundList_Click("b.wav");
    EXPECT_EQ(form->soundFileField.text(), "b.wav");
    EXPECT_EQ(sound.played, (std::vector<std::string>{(dir.root / "b.wav").string()}));
    form->ende_Click();
    EXPECT_EQ(readTextLines(dir.root / "Kavex.Ini")[17], "b.wav");
}

TEST_F(OrderFormTest, TheSavedWindowGeometryPlacesTheWindowAndShutdownStoresTheCurrentOne) {
    // Width 12000, height 0 (not applied), top 300, left 450.
    writeTextLines(dir.root / "Kavex.Ini", {"\"anna\"", "\"127.0.0.1\"", " 1 ", "\"\"", "\"\"", " 0 ", "", "",
                                            " 12000 ", " 0 ", " 300 ", " 450 ", " 0 ", "pw", ""});
    std::vector<TwipRect> placed;
    load().placeWindow = [&](const TwipRect& r) { placed.push_back(r); };
    loop.advance(6000);
    EXPECT_EQ(placed, (std::vector<TwipRect>{{450, 300, 12000, 0}}));
    form->windowPlaced({15, 30, 15000, 9000});
    form->ende_Click();
    auto lines = readTextLines(dir.root / "Kavex.Ini");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 8, lines.begin() + 12),
              (std::vector<std::string>{" 15000 ", " 9000 ", " 30 ", " 15 "}));
}

TEST_F(OrderFormTest, EditedColoursReachTheGridOnlyWithAnwenden) {
    writeSettings("anna", "pw");
    load();
    scriptSession(5050);
    loop.advance(6000);
    ColourEditor& editor = form->colourEditor();
    ASSERT_EQ(editor.roleList.size(), 18u);
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
