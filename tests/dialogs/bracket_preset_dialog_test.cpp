#include "base/cp1252.h"
#include "base/files.h"
#include "dialogs/bracket_preset_dialog.h"
#include "model/bracket_preset.h"
#include "protocol/wire.h"
#include "support/fakes.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "trading_window/order_form.h"

#include <gtest/gtest.h>

#include <memory>

namespace kavex {
namespace {

using Texts = std::vector<std::string>;

TEST(BracketPresetDialog, ShowsOffsetsToTheFillAsNegativeValuesAndRefusesZero) {
    test::FakePrompts prompts;
    BracketPresetDialog dialog(prompts);
    BracketPreset preset{"SAP", -2.5f, 1, 1, 7};
    dialog.open(preset);
    EXPECT_EQ(dialog.heading.text(), "SAP");
    EXPECT_EQ(dialog.selectedOption(), 1);
    EXPECT_EQ(dialog.profitField.text(), " 2.5");
    dialog.chooseOption(2); // takes effect at once
    EXPECT_EQ(preset.presetMode, 2.0f);
    dialog.open(preset);
    EXPECT_EQ(dialog.profitField.text(), "-2.5");
    EXPECT_EQ(dialog.stopField.text(), "-1");

    dialog.profitField.setText("1,5x");
    dialog.stopField.setText("abc");
    dialog.OK_Click();
    EXPECT_EQ(prompts.asked, (Texts{"Bitte tragen Sie einen anderen Limitkurs als Null ein !"}));
    EXPECT_TRUE(dialog.visible.checked());
    dialog.stopField.setText(" .25");
    dialog.OK_Click();
    EXPECT_FALSE(dialog.visible.checked());
    EXPECT_EQ(preset.profitValue, 1.5f);
    EXPECT_EQ(preset.stopValue, 0.25f);
    EXPECT_EQ(preset.presetExtra, 7.0f);

    preset.presetMode = 5; // no option of its own: none is selected and the mode is kept
    dialog.open(preset);
    EXPECT_EQ(dialog.selectedOption(), -1);
    dialog.OK_Click();
    EXPECT_EQ(preset.presetMode, 5.0f);
}

// The trading window end to end: the values entered for a bracket are written to the
// preset file at shutdown and read back with the next instrument list.
class PresetPersistenceTest : public ::testing::Test {
  protected:
    void run() {
        socket = std::make_unique<test::FakeTcpClient>();
        loop = std::make_unique<test::FakeEventLoop>();
        dialogs = std::make_unique<test::ScriptedDialogs>(*loop);
        form = std::make_unique<OrderForm>(OrderFormPlatform{*loop,
                                                             *socket,
                                                             http,
                                                             sound,
                                                             system,
                                                             prompts,
                                                             *dialogs,
                                                             folder,
                                                             "kavex",
                                                             NumberLocale{','},
                                                             {},
                                                             {}});
        form->Form_Load();
        at(5060, [this] { socket->acceptConnection(); });
        at(5070, [this] { serverSends("!;ID"); });
        at(5080, [this] { serverSends("!;USER"); });
        at(5090, [this] { serverSends("@UD=ACC9"); });
        at(5100, [this] { serverSends("@LI=40"); });
        at(5110, [this] {
            serverSends("@SI=SAP;DE0007164600;EUR;100;99.5;10;100.5;20;SAP SE;1;0;0\n"
                        "BMW;DE0005190003;EUR;80;79.9;5;80.1;6;BMW AG;1;0;0");
        });
        loop->advance(6000);
    }
    void at(int64_t ms, std::function<void()> action) {
        loop->startTimer(static_cast<int>(ms - loop->elapsedMs()), std::move(action), true);
    }
    void serverSends(const std::string& text) { socket->deliver(cp1252::fromUtf8(wire::frame(text))); }

    test::TempDir dir;
    WorkingDirectory folder{dir.root};
    test::FakeHttpGet http;
    test::FakeSound sound;
    test::FakeSystemServices system;
    test::FakePrompts prompts;
    std::unique_ptr<test::FakeEventLoop> loop;
    std::unique_ptr<test::FakeTcpClient> socket;
    std::unique_ptr<test::ScriptedDialogs> dialogs;
    std::unique_ptr<OrderForm> form;
};

TEST_F(PresetPersistenceTest, ValuesEnteredForABracketAreSavedAndReadBackNextRun) {
    writeTextLines(dir.root / "Kavex.Ini", {"\"anna\"", "\"127.0.0.1\"", " 1 ", "\"\"", "\"\"", " 0 ", "", "",
                                            " 0 ", " 0 ", " 0 ", " 0 ", " 0 ", "pw", ""});
    run();
    ASSERT_EQ(form->data().InstrumentCount(), 2);
    GridActions& actions = form->gridActions();
    actions.mouseDown(2, form->columns().map(0, 9), false); // Ask of SAP: a BUY line on row 4
    dialogs->presetAnswers.push_back([](BracketPresetDialog& d) {
        d.chooseOption(1);
        d.profitField.setText("0");
        d.stopField.setText("1");
        d.OK_Click(); // refused: the dialog stays open
    });
    dialogs->presetAnswers.push_back([](BracketPresetDialog& d) {
        d.profitField.setText("2,5");
        d.OK_Click();
    });
    actions.mouseDown(4, 1, true);
    PopupMenu& menu = form->contextMenu().menu();
    ASSERT_TRUE(menu.isOpen());
    menu.choose(menu.indexOf("Erzeuge Bracket Orders Edit"));
    EXPECT_EQ(dialogs->presetShows, 1);
    EXPECT_EQ(form->orderGridCells().text(5, 7), "102,5"); // Last 100 + 2.5 in the user's number form
    EXPECT_EQ(form->orderGridCells().text(6, 9), "BR:STP");

    form->ende_Click();
    EXPECT_EQ(readFileBytes(dir.root / "Kavex.wpv"),
              "SAP\r\n 2.5 \r\n 1 \r\n 1 \r\n 0 \r\n\r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n");

    form.reset();
    run();
    const BracketPreset& sap = form->data().presets.at(1);
    EXPECT_EQ(sap.presetName, "SAP");
    EXPECT_EQ(sap.profitValue, 2.5f);
    EXPECT_EQ(sap.stopValue, 1.0f);
    EXPECT_EQ(sap.presetMode, 1.0f);
}

} // namespace
} // namespace kavex
