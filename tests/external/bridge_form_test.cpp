// The bridge inside the trading window: start-up, the front-end's orders through the
// grid, and the server's reports routed to the front-end only for its own orders.
#include "base/cp1252.h"
#include "base/files.h"
#include "protocol/wire.h"
#include "support/fakes.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "trading_window/order_form.h"

#include <gtest/gtest.h>

#include <memory>

namespace kavex {
namespace {

class BridgeFormTest : public ::testing::Test {
  protected:
    void start() {
        Settings s;
        s.userName = "anna";
        s.password = "pw";
        s.serverHost = "127.0.0.1";
        s.bridgePort = "4711";
        writeTextLines(dir.root / SettingsFile::kSettingsName, SettingsFile::settingsLines(s));
        OrderFormPlatform platform{
            loop, socket, http, sound, system, prompts, dialogs, folder, "kavex", NumberLocale{'.'}, {}, {}};
        platform.bridgeSocket = &frontEnd;
        form = std::make_unique<OrderForm>(platform);
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
    std::vector<std::string> toFrontEnd() {
        std::vector<std::string> out;
        for (const std::string& s : frontEnd.sent)
            out.push_back(cp1252::toUtf8(s));
        frontEnd.sent.clear();
        return out;
    }
    std::string lastToServer() const { return socket.sent.back(); }

    test::TempDir dir;
    WorkingDirectory folder{dir.root};
    test::FakeEventLoop loop;
    test::FakeTcpClient socket;
    test::FakeTcpListener frontEnd;
    test::FakeHttpGet http;
    test::FakeSound sound;
    test::FakeSystemServices system;
    test::FakePrompts prompts;
    test::ScriptedDialogs dialogs{loop};
    std::unique_ptr<OrderForm> form;
};

TEST_F(BridgeFormTest, TheFrontEndTradesAndHearsOnlyAboutItsOwnOrders) {
    start();
    EXPECT_EQ(frontEnd.listenPort, 4711);
    EXPECT_EQ(frontEnd.listenAddress, "127.0.0.1");
    EXPECT_EQ(form->settings().bridgeAddress, "127.0.0.1");
    EXPECT_FALSE(form->bridgeFrameVisible());
    form->zentrivoExtern_Click(true);
    EXPECT_TRUE(form->bridgeFrameVisible());

    frontEnd.request("127.0.0.1");
    frontEnd.deliver(wire::frame("USER;USER"));
    EXPECT_EQ(toFrontEnd(),
              (std::vector<std::string>{wire::frame("WHOISIT"), wire::frame("USER OK"),
                                        "\x01@IL;SAP;DE0007164600;SAP SE\nBMW;DE0005190003;BMW AG\x02"}));
    loop.advance(150);
    EXPECT_EQ(form->statusLine.text(), "Zentrivo connected");

    frontEnd.deliver(wire::frame("@PO;de0007164600;0;BUY;LMT;5;99.5;0;Z1"));
    EXPECT_EQ(lastToServer(), wire::frame("@PO=ACC9;-41;1;BUY ;LMT;5; 99.5; 0;0;0"));
    EXPECT_EQ(toFrontEnd(), (std::vector<std::string>{wire::frame("@OC;Z1;-41")}));

    // Every open order is shown to the front-end; states and fills only of its own.
    serverSends("@OO=-41;SRV1;;BUY;5;LMT;99.5;0;3;0;5;0;100000;100000;;1;0;0;;1;0");
    serverSends("@OO=42;SRV2;;SEL;1;MKT;0;0;3;0;1;0;100000;100000;;2;0;0;;1;0");
    serverSends("@OS=-41;SRV1;4;100001;0;5;0;;1;0");
    serverSends("@OS=42;SRV2;6;100001;1;0;80;;1;0");
    serverSends("@EX=ACC9;SRV2;42;2;EUR;1;100001;SEL;1; 80; 80; 0; 0");
    serverSends("@EX=ACC9;SRV1;-41;1;EUR;2;100002;BUY;5; 99.5; 497.5; 0; 0");
    serverSends("@OR=43: Limit ungueltig");
    EXPECT_EQ(toFrontEnd(), (std::vector<std::string>{wire::frame("@OI;-41;SRV1"), wire::frame("@OI;42;SRV2"),
                                                      wire::frame("@OS;-41; 4; 0; 5; 0"),
                                                      wire::frame("@OR;43: Limit ungueltig")}));
    EXPECT_TRUE(form->bridgeLog.contains("Ex:ACC9;SRV1;-41;1;EUR;2;100002;BUY;5; 99.5; 497.5; 0; 0"));
    EXPECT_FALSE(form->bridgeLog.contains("Ex:ACC9;SRV2;42;2;EUR;1;100001;SEL;1; 80; 80; 0; 0"));

    frontEnd.deliver(wire::frame("@CO;-41"));
    EXPECT_EQ(lastToServer(), wire::frame("@CO=ACC9;-41;SRV1"));

    // The portfolio and the executions go to the front-end once per request.
    frontEnd.deliver(wire::frame("@WT_RA"));
    EXPECT_EQ(lastToServer(), wire::frame("@GSUK"));
    serverSends("@SUK=1;anna;100000;0;0;1;1;0");
    serverSends("@SUK=1;anna;100001;0;0;1;1;0");
    frontEnd.deliver(wire::frame("@WT_REX"));
    EXPECT_EQ(lastToServer(), wire::frame("@RAE"));
    serverSends("@SAE=ACC9;SRV2;42;2;EUR;1;100001;SEL;1; 80; 80; 0; 0");
    serverSends("@SAE=");
    EXPECT_EQ(toFrontEnd(), (std::vector<std::string>{
                                wire::frame("@SUK;1;anna;100000;0;0;1;1;0"),
                                wire::frame("@SAE;ACC9;SRV2;42;2;EUR;1;100001;SEL;1; 80; 80; 0; 0")}));

    // Gone: no more open orders or rejections for it, and the window says so.
    loop.advance(150);
    EXPECT_EQ(form->statusLine.text(), "Zentrivo connected");
    frontEnd.peerCloses();
    loop.advance(150);
    EXPECT_EQ(form->statusLine.text(), "Zentrivo nicht connected");
    serverSends("@OR=44: Limit ungueltig");
    EXPECT_TRUE(toFrontEnd().empty());
    EXPECT_EQ(frontEnd.state(), static_cast<int>(SocketState::Listening));
}

} // namespace
} // namespace kavex
