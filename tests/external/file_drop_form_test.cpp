// The file-drop interface inside the trading window, against a scripted server.
#include "base/cp1252.h"
#include "base/files.h"
#include "protocol/wire.h"
#include "support/fakes.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "trading_window/order_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>

namespace kavex {
namespace {

namespace fs = std::filesystem;

class FileDropFormTest : public ::testing::Test {
  protected:
    void start(int16_t asciiRemote) {
        Settings s;
        s.userName = "anna";
        s.password = "pw";
        s.serverHost = "127.0.0.1";
        s.asciiRemote = asciiRemote;
        writeTextLines(dir.root / SettingsFile::kSettingsName, SettingsFile::settingsLines(s));
        form = std::make_unique<OrderForm>(OrderFormPlatform{
            loop, socket, http, sound, system, prompts, dialogs, folder, "kavex", NumberLocale{'.'}, {}, {}});
        form->endProgram = [] {};
        form->Form_Load();
        at(5060, [this] { socket.acceptConnection(); });
        at(5070, [this] { serverSends("!;ID"); });
        at(5080, [this] { serverSends("!;USER"); });
        at(5090, [this] { serverSends("@UD=ACC9"); });
        at(5100, [this] { serverSends("@LI=40"); });
        at(5110, [this] {
            serverSends("@SI=SAP;DE0007164600;EUR;100;99.5;10;100.5;20;SAP SE;1;0;0\n"
                        "BMW;DE0005190003;EUR;80;79.9;5;80.1;6;BMW AG;1;0;0");
        });
        loop.advance(6000);
    }
    void at(int64_t ms, std::function<void()> action) {
        loop.startTimer(static_cast<int>(ms - loop.elapsedMs()), std::move(action), true);
    }
    void serverSends(const std::string& text) { socket.deliver(cp1252::fromUtf8(wire::frame(text))); }
    void request(const std::string& text) {
        writeFileAtomically(dir.root / FileDrop::kRequestFile, text);
        fs::last_write_time(dir.root / FileDrop::kRequestFile,
                            fs::file_time_type::clock::now() - std::chrono::seconds(5));
    }
    bool sent(const std::string& text) const {
        return std::count(socket.sent.begin(), socket.sent.end(), wire::frame(text)) == 1;
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
};

TEST_F(FileDropFormTest, RequestFilesPlaceAndCancelThroughTheGridWhileTheOptionIsOn) {
    start(1);
    ASSERT_TRUE(form->fileDrop().active());
    ASSERT_EQ(form->data().InstrumentCount(), 2);

    request("@PO;de0005190003;0;SELL;LMT;3;80.25;0;R1\r\n");
    loop.advance(1000);
    EXPECT_TRUE(sent("@PO=ACC9;-41;2;SEL ;LMT;3; 80.25; 0;0;0"));
    EXPECT_EQ(readFileBytes(dir.root / FileDrop::kOrderIdFile), "\"R1\";-41\r\n");
    // The bridge is told whether a front-end listens or not.
    EXPECT_EQ(form->bridgeLog.lines(),
              (std::vector<std::string>{"Listen  4100", "OUT:" + wire::frame("@OC;R1;-41"),
                                        wire::frame("@PO=ACC9;-41;2;SEL ;LMT;3; 80.25; 0;0;0")}));
    EXPECT_EQ(form->fileDropLog.size(), 1u);

    serverSends("@OO=-41;SRV7;;SEL;3;LMT;80.25;0;4;0;3;0;100000;100000;;2;0;0;;1;0");
    ASSERT_EQ(form->data().orderBook.count(), 1);
    request("@CO;-41\r\n");
    loop.advance(1000);
    EXPECT_TRUE(sent("@CO=ACC9;-41;SRV7"));

    // Switched off: the next file waits, and an external order is not listed any more.
    form->asciiRemote_Click(false);
    EXPECT_FALSE(form->fileDrop().active());
    request("@CA\r\n");
    loop.advance(3000);
    EXPECT_TRUE(fs::exists(dir.root / FileDrop::kRequestFile));
    form->externalOrders().Ext_Placeorder(";1;BUY;MKT;1;;;R2");
    EXPECT_TRUE(sent("@PO=ACC9;-42;1;BUY ;MKT;1; 0; 0;0;0"));
    EXPECT_EQ(readFileBytes(dir.root / FileDrop::kOrderIdFile), "\"R1\";-41\r\n");

    form->fileDropLog_Click();
    EXPECT_TRUE(form->fileDropLog.empty());
    form->ende_Click();
    EXPECT_EQ(readTextLines(dir.root / SettingsFile::kSettingsName)[19], " 0 ");
}

TEST_F(FileDropFormTest, TheOptionStaysOffUnlessTheSettingsSwitchItOn) {
    start(0);
    EXPECT_FALSE(form->fileDrop().active());
    form->asciiRemote_Click(true);
    EXPECT_TRUE(form->fileDrop().active());
    EXPECT_EQ(form->settings().asciiRemote, 1);
}

} // namespace
} // namespace kavex
