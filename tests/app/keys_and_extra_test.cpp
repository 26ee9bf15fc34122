// The trading window's keys on the fake clock, and the file Kavex.Extra that keeps them,
// the order limits, the DEFAULT instrument and the CHAT tick without touching Kavex.Ini.
#include "model/extra_settings.h"
#include "support/client_fixture.h"
#include "views/closing.h"
#include "views/grid_actions.h"
#include "views/key_actions.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

using Texts = std::vector<std::string>;

class Keys : public ::testing::Test, protected test::ClientFixture {
  protected:
    Texts orderTexts() const {
        Texts out;
        for (const std::string& s : socket.sent)
            if (s.find("@PO=") != std::string::npos) out.push_back(s.substr(1, s.size() - 2));
        return out;
    }
    int16_t defaultInstrument() { return client->data().defaultInstrument; }
};

TEST_F(Keys, EachKeyRunsItsActionAndNoneFiresWhileTheEditorOrAnotherInputHasTheKeyboard) {
    writeSettings();
    startSession();
    KeyActions& keys = client->keyActions();
    EXPECT_FALSE(keys.press("F1")); // no action
    EXPECT_TRUE(keys.press("F5"));  // no DEFAULT yet: asked to mark one, nothing sent
    EXPECT_EQ(prompts.asked.back(), "Bitte zuerst ein Wertpapier als DEFAULT kennzeichnen !");
    // The DEFAULT mark: from none to the top instrument, down, up, and no further than the top.
    for (auto [key, expected] : {std::pair{"F10", 1}, {"F10", 2}, {"F9", 1}, {"F9", 1}}) {
        keys.press(key);
        EXPECT_EQ(defaultInstrument(), expected) << key;
    }
    // The quantity steps through the list and stops at its ends.
    for (auto [key, expected] : {std::pair{"F11", 2}, {"F11", 3}, {"F12", 2}, {"F12", 1}, {"F12", 1}}) {
        keys.press(key);
        EXPECT_EQ(client->gridActions().defaultQuantity(), expected) << key;
    }
    prompts.yesNoAnswers = {false, true, true};
    keys.press("F5"); // confirmation on: "Nein" sends nothing
    keys.press("F5");
    keys.press("F6");
    EXPECT_EQ(orderTexts(),
              (Texts{"@PO=ACC9;41;1;BUY ;MKT;1; 100.5; 0;0;0", "@PO=ACC9;42;1;SEL ;MKT;1; 99.5; 0;0;0"}));
    keys.press("F7"); // reverse without a holding
    EXPECT_EQ(prompts.asked.back(), Closing::kNoHoldingToReverse);

    // An open in-cell editor or another input with the keyboard: no key fires.
    GridActions& grid = client->gridActions();
    grid.mouseDown(client->data().gridRows.findRow(1, RowInstrument), client->columns().map(0, 9), false);
    const int line = grid.lastInsertedRow();
    grid.openEditor(line, client->columns().map(1, 6), GridActions::Quantity, 0);
    EXPECT_FALSE(keys.press("F4"));
    grid.escapeEditor();
    keys.otherInputFocused = [] { return true; };
    EXPECT_FALSE(keys.press("F4"));
    keys.otherInputFocused = nullptr;
    EXPECT_TRUE(keys.press("F4")); // TRANS Alle sends the entry line
    EXPECT_EQ(orderTexts().size(), 3u);
}

TEST_F(Keys, AKeyBelongsToOneActionAndAClearedKeyStaysClearedAfterARestart) {
    KeyBindings keys;
    keys.assign(KeyAction::Reverse, "F5");
    keys.clear(KeyAction::CloseAll);
    EXPECT_EQ(std::make_tuple(keys.actionFor("F5"), keys.key(KeyAction::BuyMarket), keys.actionFor("F8")),
              std::make_tuple(std::optional{KeyAction::Reverse}, std::string(), std::optional<KeyAction>()));
    ExtraSettings extra;
    keys.store(extra);
    extra.set("Key.SellMarket", "F5"); // twice in a damaged file: the first action keeps it
    KeyBindings again;
    again.load(extra);
    EXPECT_EQ(
        std::make_tuple(again.actionFor("F5"), again.key(KeyAction::Reverse), again.key(KeyAction::CloseAll)),
        std::make_tuple(std::optional{KeyAction::SellMarket}, std::string(), std::string()));
}

TEST_F(Keys, KavexExtraKeepsLimitsKeysDefaultAndChatWhileKavexIniStaysByteForByte) {
    test::ClientFixture plain; // the same session without Kavex.Extra
    plain.writeSettings();
    plain.startSession();
    plain.client->unload();
    const std::string ini = readFileBytes(plain.dir.root / SettingsFile::kSettingsName);
    ASSERT_EQ(readTextLines(plain.dir.root / SettingsFile::kSettingsName).size(), 24u);

    writeSettings();

    writeTextLines(dir.root / "Kavex.Extra",
                   {"Kavex.Extra 1", "MaxQuantity=5", "MaxOrderValue=viel", "MaxQuantity.BMW=1",
                    "PriceCollarPercent=-3", "DefaultInstrument=BMW", "ChatOption=1",
                    "Key.BuyMarket=Ctrl+B"});
    startSession();
    const Texts& log = client->controls().log.lines();
    for (const char* line : {"F:LoadExtra: MaxOrderValue=viel", "F:LoadExtra: PriceCollarPercent=-3"})
        EXPECT_EQ(std::count(log.begin(), log.end(), line), 1) << line;
    EXPECT_TRUE(client->controls().chatOption.checked());
    EXPECT_EQ(defaultInstrument(), 2);
    prompts.yesNoAnswers = {true, true};
    client->gridActions().setDefaultQuantityText("2");
    client->keyActions().press("Ctrl+B"); // BMW allows 1
    EXPECT_EQ(client->controls().statusLine.text(),
              "Order abgelehnt: Stückzahl 2 über dem Höchstwert 1 (BMW)");
    EXPECT_TRUE(orderTexts().empty());
    client->gridActions().mouseDown(client->data().gridRows.findRow(1, RowInstrument),
                                    client->columns().map(0, 13), false); // DEFAULT: SAP
    client->unload();
    EXPECT_EQ(readFileBytes(dir.root / SettingsFile::kSettingsName), ini);
    const Texts extra = readTextLines(dir.root / "Kavex.Extra");
    for (const char* line : {"Kavex.Extra 1", "MaxQuantity=5", "DefaultInstrument=SAP", "ChatOption=1",
                             "Key.BuyMarket=Ctrl+B", "Key.CloseAll=F8"})
        EXPECT_NE(std::find(extra.begin(), extra.end(), line), extra.end()) << line;
}

} // namespace
} // namespace kavex
