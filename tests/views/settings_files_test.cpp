// The settings, preset and colour files: exact bytes written, round trips, short, garbled
// and missing files, and failed writes.
#include "base/files.h"
#include "base/line_file.h"
#include "base/text_list.h"
#include "model/extra_settings.h"
#include "model/settings_file.h"
#include "support/temp_dir.h"
#include "views/colour_roles.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kavex {
namespace {

class SettingsFiles : public ::testing::Test {
  protected:
    void writeIni(const std::vector<std::string>& lines) { writeTextLines(dir.root / "Kavex.Ini", lines); }
    std::string bytesOf(const char* name) { return readFileBytes(dir.root / name); }

    test::TempDir dir;
    WorkingDirectory folder{dir.root};
    TextList log;
    SettingsFile file{folder, log};
};

TEST_F(SettingsFiles, SaveWritesTheTwentyFourLinesByteForByte) {
    Settings s;
    s.userName = "Jörg";
    s.serverHost = "127.0.0.1";
    s.keepServer = 1;
    s.orderGridWidths = {1000, 800};
    s.executionGridWidths = {500};
    s.windowWidth = 12000;
    s.windowHeight = 9000;
    s.windowTop = -30;
    s.password = "geheim";
    s.colourFileName = "kavex.col";
    file.save(s, {});
    EXPECT_EQ(bytesOf("Kavex.Ini"),
              "\"J\xF6rg\"\r\n\"127.0.0.1\"\r\n 1 \r\n\"\"\r\n\"\"\r\n 0 \r\n 1000; 800\r\n 500\r\n"
              " 12000 \r\n 9000 \r\n-30 \r\n 0 \r\n 0 \r\ngeheim\r\nkavex.col\r\n 1 \r\n 1 \r\n"
              "1.wav\r\n 0 \r\n 0 \r\n 1 \r\n4100\r\n\"USER\"\r\n\r\n");
    EXPECT_TRUE(log.empty());
}

TEST_F(SettingsFiles, EverySettingChangedFromItsDefaultReadsBackAsWritten) {
    auto widths = [](int count, int width) {
        std::string line;
        for (int i = 0; i < count; ++i)
            line += (i ? "; " : " ") + std::to_string(width);
        return line;
    };
    // clang-format off
    const std::vector<std::string> lines = {
        "\"anna\"", "\"game.example\"", " 1 ", "\"r1\"", "\"r2\"", " 7 ", widths(21, 900), widths(16, 700),
        " 1 ", " 2 ", " 3 ", " 4 ", " 1 ", "pw", "blue.col", " 0 ", " 0 ", "ding.wav", " 1 ", " 1 ", " 0 ",
        "4200", "\"WEX\"", "127.0.0.1"};
    // clang-format on
    writeIni(lines);
    Settings r;
    file.load(r);
    EXPECT_EQ(SettingsFile::settingsLines(r), lines);
    EXPECT_TRUE(log.empty());
}

TEST_F(SettingsFiles, AFileEndingAfterLine15GivesTheDefaultsOfTheLaterLines) {
    writeIni({"\"u\"", "\"h\"", " 0 ", "\"\"", "\"\"", " 0 ", "", "", " 0 ", " 0 ", " 0 ", " 0 ", " 0 ", "pw",
              "blue.col"});
    Settings s;
    s.confirmation = 0;
    s.soundFile = "x.wav";
    s.bridgeUser = "x";
    s.zentrivoExtern = 1;
    s.bridgeAddress = "10.0.0.1";
    s.orderGridWidths = {5, 6};
    file.load(s);
    // Defaults from line 16 on, except the front-end switch and address, which stay.
    const auto lines = SettingsFile::settingsLines(s);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 15, lines.end()),
              (std::vector<std::string>{" 1 ", " 1 ", "1.wav", " 1 ", " 0 ", " 1 ", "4100", "\"USER\"",
                                        "10.0.0.1"}));
    EXPECT_EQ(s.orderGridWidths, (std::vector<int>{5, 6})); // empty width line keeps the widths
    EXPECT_EQ(s.colourFileName, "blue.col");
    EXPECT_TRUE(log.empty());
}

TEST_F(SettingsFiles, GeometryOfZeroKeepsTheWindowAndACommaCutsThePassword) {
    writeIni({"\"u\"", "\"h\"", " 0 ", "\"\"", "\"\"", " 0 ", " 100; 200", "", " 0 ", " 500 ", " 0 ", " 0 ",
              " 0 ", "pass,word"});
    Settings s;
    s.windowWidth = 9999;
    file.load(s);
    EXPECT_EQ(std::make_tuple(s.windowWidth, s.windowHeight, s.password), std::make_tuple(9999, 500, "pass"));
    std::vector<int> widths(21); // a width line gives all 21 columns, missing fields read as 0
    widths[0] = 100;
    widths[1] = 200;
    EXPECT_EQ(s.orderGridWidths, widths);
    // The file ended inside the fixed part: one failure line, what was read stays.
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"F:LoadInit: Input past end of file"}));
}

TEST_F(SettingsFiles, AMissingFileKeepsBuiltInValuesALowerCaseNameIsFoundAndGarbageNumbersReadAsZero) {
    Settings s;
    s.userName = "keep";
    file.load(s);
    EXPECT_EQ(s.userName, "keep");
    writeTextLines(dir.root / "kavex.ini", {"\"lower\""});
    file.load(s);
    EXPECT_EQ(s.userName, "lower");
    std::filesystem::remove(dir.root / "kavex.ini");
    writeIni({"\"u\"", "\"h\"", "abc", "\"\"", "\"\"", " 99999999999 ", "", "", " 0 "});
    file.load(s);
    EXPECT_EQ(std::make_pair(s.userName, s.keepServer), std::make_pair(std::string("u"), int16_t{0}));
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"F:LoadInit: Input past end of file", // the one-line file
                                        "F:LoadInit: Overflow", "F:LoadInit: Input past end of file"}));
}

TEST_F(SettingsFiles, ABadValueLogsItsLineAndEveryLaterLineIsStillRead) {
    std::vector<std::string> lines = SettingsFile::settingsLines([] {
        Settings s;
        s.userName = "u";
        s.orderGridWidths = std::vector<int>(21, 900);
        s.password = "secret";
        s.colourFileName = "dark.col";
        s.chatSound = 0;
        s.bridgeUser = "WEX";
        return s;
    }());
    lines[2] = " 99999 ";                // keep-server option
    lines[6] = " 900; 99999999999; 900"; // one bad width
    lines[18] = " 1e30 ";                // "Zentrivo extern"
    writeIni(lines);
    Settings r;
    r.orderGridWidths = std::vector<int>(21, 500);
    file.load(r);
    EXPECT_EQ(std::make_tuple(r.userName, r.password, r.colourFileName, r.chatSound, r.bridgeUser),
              std::make_tuple("u", "secret", "dark.col", int16_t{0}, "WEX"));
    EXPECT_EQ(std::vector<int>(r.orderGridWidths.begin(), r.orderGridWidths.begin() + 4),
              (std::vector<int>{900, 500, 900, 0})); // the bad width keeps the column's width
    EXPECT_EQ(log.lines(), (std::vector<std::string>(3, "F:LoadInit: Overflow")));
}

TEST_F(SettingsFiles, KavexExtraKeepsUnknownSettingsAndSkipsBadLines) {
    ExtraSettings extra;
    writeTextLines(dir.root / "Kavex.Extra",
                   {"Kavex.Extra 2", "Später=ä=1", "kaputt", "", "MachineClockFromServer=1"});
    extra.load(dir.root / "Kavex.Extra", log);
    EXPECT_TRUE(extra.isOn(ExtraSettings::kMachineClockFromServer));
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"F:LoadExtra: kaputt"}));
    extra.set(ExtraSettings::kMachineClockFromServer, "0");
    extra.save(dir.root / "Kavex.Extra");
    EXPECT_EQ(bytesOf("Kavex.Extra"), "Kavex.Extra 1\r\nSp\xE4ter=\xE4=1\r\nMachineClockFromServer=0\r\n");
}

TEST_F(SettingsFiles, PresetFileHoldsFiveLinesPerInstrumentAndReadsBack) {
    std::vector<BracketPreset> presets = {{"SAP", 2.5f, -1, 1, 0}, {"BMW", 0, 0, 0, 0}, {"", 1, 2, 2, 3}};
    file.save(Settings{}, presets);
    EXPECT_EQ(bytesOf("Kavex.wpv"), "SAP\r\n 2.5 \r\n-1 \r\n 1 \r\n 0 \r\nBMW\r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n"
                                    "\r\n 1 \r\n 2 \r\n 2 \r\n 3 \r\n");
    auto read = readPresetFile(dir.root / "Kavex.wpv");
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(std::make_tuple(read[0].presetName, read[0].profitValue, read[2].presetExtra),
              std::make_tuple(std::string("SAP"), 2.5f, 3.0f));
}

TEST_F(SettingsFiles, AFailedWriteIsLoggedAndTheOldFileStays) {
    std::filesystem::create_directory(dir.root / "Kavex.wpv"); // a folder where the file should go
    std::filesystem::create_directory(dir.root / "Kavex.wpv" / "x");
    file.save(Settings{}, {{"SAP", 1, 1, 1, 1}});
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log.lines()[0].rfind("F:SaveInit ", 0), 0u);
    EXPECT_TRUE(std::filesystem::exists(dir.root / "Kavex.Ini")); // the first file was still written
}

// Saving the colour file is checked with the trading window's colour editor.
TEST_F(SettingsFiles, ColourFilesMissingShortOrLongGiveTheDefaultsOnlyTheirRolesOrAHundredPlaces) {
    ColourRoles c;
    c.set(OG_Bid, 42);
    c.loadFile(folder, "none.col", log);
    EXPECT_EQ(std::make_pair(c[OG_Bid], c.currentFile()), std::make_pair(65535, std::string("kavex.col")));
    writeTextLines(dir.root / "blue.col", {" 1 ", " 2 ", " 3 ", " 4 ", " 5 "});
    c.loadFile(folder, "blue.col", log);
    EXPECT_EQ(std::make_tuple(c[5], c[6], c.currentFile()), std::make_tuple(5, 11579568, "blue.col"));
    std::vector<std::string> many;
    for (int i = 1; i <= 120; ++i)
        many.push_back(" " + std::to_string(i) + " ");
    writeTextLines(dir.root / "many.col", many);
    c.loadFile(folder, "many.col", log);
    EXPECT_EQ(c[100], 100);
    EXPECT_TRUE(log.empty());
    // A bad value leaves its place as it was; the places after it are still read.
    writeTextLines(dir.root / "bad.col", {" 1 ", " 99999999999 ", " 3 ", " 4 "});
    c.loadFile(folder, "bad.col", log);
    EXPECT_EQ(std::make_tuple(c[1], c[2], c[3], c[4]), std::make_tuple(1, 2, 3, 4));
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"F:LoadColors Overflow"}));
}

} // namespace
} // namespace kavex
