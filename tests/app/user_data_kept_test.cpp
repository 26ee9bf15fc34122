// What the user set survives the end of the program: the colour scheme, the presets when
// no instrument list came, an early end during the autostart countdown, and the start-up
// that clears what a crash during a save left behind. Also the texts of the status line.
#include "support/client_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kavex {
namespace {

namespace fs = std::filesystem;

class UserDataKept : public ::testing::Test, protected test::ClientFixture {
  protected:
    std::string iniLine(std::size_t n) {
        return readTextLines(dir.root / SettingsFile::kSettingsName).at(n - 1);
    }
};

TEST_F(UserDataKept, TheColourSchemeInUseIsSavedAndAFirstStartNamesKavexCol) {
    load();
    loop.advance(60);
    client->unload();
    EXPECT_EQ(iniLine(15), "kavex.col");

    writeTextLines(dir.root / "dark.col", {" 1 ", " 2 "});
    load();
    loop.advance(60);
    client->window().chooseColourScheme("dark.col");
    client->window().applyColours();
    client->unload();
    EXPECT_EQ(iniLine(15), "dark.col");
}

TEST_F(UserDataKept, EndingBeforeTheInstrumentListKeepsThePresetsAndWritesNoHistory) {
    writeSettings();
    writeTextLines(dir.root / SettingsFile::kPresetName, {"SAP", " 2 ", " 1 ", " 1 ", " 0 "});
    const std::string presets = readFileBytes(dir.root / SettingsFile::kPresetName);
    load();
    loop.advance(6000); // the autostart connects; the server never answers
    client->unload();
    EXPECT_EQ(readFileBytes(dir.root / SettingsFile::kPresetName), presets);
    EXPECT_FALSE(fs::exists(dir.root / "K1.dat"));
}

TEST_F(UserDataKept, EndingDuringTheAutostartCountdownSavesOnceAndNeverConnects) {
    writeSettings();
    load();
    int ended = 0;
    client->endProgram = [&] { ++ended; };
    at(1000, [this] { client->window().end(); });
    at(1500, [this] { client->window().end(); }); // a second request while ending
    loop.advance(8000);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(socket.connects, 0);
    EXPECT_FALSE(client->refreshTimerActive());
    EXPECT_EQ(iniLine(1), "\"anna\"");
}

TEST_F(UserDataKept, AnEmptyUserNameLogsInAsTheBuiltInUser) {
    writeSettings([](Settings& s) { s.userName = ""; });
    load();
    loop.advance(6000);
    socket.acceptConnection();
    serverSends("!;ID");
    EXPECT_TRUE(
        std::count(socket.sent.begin(), socket.sent.end(), wire::frame("TTUSER=demo/HD=1234567890")) == 1);
}

TEST_F(UserDataKept, StartUpRemovesOnlyTheTemporariesAnInterruptedSaveLeft) {
    const std::vector<std::string> stale = {".Kavex.Ini.a1B2c3", ".K12.dat.XyZ789"};
    const std::vector<std::string> kept = {".K1.dat.ab", "K1.dat.abcdef", ".notes.txt.abc-12", "kavex.col"};
    for (const auto& names : {stale, kept})
        for (const std::string& name : names)
            writeFileAtomically(dir.root / name, "x");
    load();
    for (const std::string& name : stale)
        EXPECT_FALSE(fs::exists(dir.root / name)) << name;
    for (const std::string& name : kept)
        EXPECT_TRUE(fs::exists(dir.root / name)) << name;
}

TEST_F(UserDataKept, EveryNewStatusLineTextIsListedUnderMeldungen) {
    writeSettings();
    startSession();
    const std::size_t before = client->controls().messages.size();
    serverSends("@WELCOME");
    client->controls().statusLine.setText("Zentrivo nicht connected"); // as the bridge sets it
    serverSends("@MSG=Wartung");
    serverSends("@MSG=Wartung"); // a message shown again is listed again
    const auto& listed = client->controls().messages.lines();
    ASSERT_EQ(listed.size(), before + 4);
    EXPECT_EQ(listed[before], "Willkommen beim Rozivodizez Demo-Server");
    EXPECT_EQ(listed[before + 1], "Zentrivo nicht connected");
    EXPECT_EQ(listed[before + 3], listed[before + 2]);
}

} // namespace
} // namespace kavex
