// The external interfaces inside the whole client: the server's reports routed to the
// front-end only for its own orders; the file drop switched off and the setting saved.
#include "support/client_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace kavex {
namespace {

class BridgeInClient : public ::testing::Test, public test::ClientFixture {
  protected:
    ~BridgeInClient() override { client.reset(); } // the window talks to the front-end until it goes
    void start() {
        writeSettings([](Settings& s) { s.bridgePort = "4711"; });
        startSession([this](ClientPlatform& p) { p.bridgeSocket = &frontEnd; });
    }
    std::vector<std::string> toFrontEnd() {
        std::vector<std::string> out;
        for (const std::string& s : frontEnd.sent)
            out.push_back(cp1252::toUtf8(s));
        frontEnd.sent.clear();
        return out;
    }
    std::string lastToServer() const { return socket.sent.back(); }

    test::FakeTcpListener frontEnd;
};

TEST_F(BridgeInClient, TheFrontEndTradesAndHearsOnlyAboutItsOwnOrders) {
    start();
    frontEnd.request("127.0.0.1");
    frontEnd.deliver(wire::frame("USER;USER"));
    toFrontEnd(); // the greeting and the instrument list: see the bridge tests

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
    EXPECT_TRUE(
        client->controls().bridgeLog.contains("Ex:ACC9;SRV1;-41;1;EUR;2;100002;BUY;5; 99.5; 497.5; 0; 0"));
    EXPECT_FALSE(client->controls().bridgeLog.contains("Ex:ACC9;SRV2;42;2;EUR;1;100001;SEL;1; 80; 80; 0; 0"));

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
    EXPECT_EQ(client->controls().statusLine.text(), "Zentrivo connected");
    frontEnd.peerCloses();
    loop.advance(150);
    EXPECT_EQ(client->controls().statusLine.text(), "Zentrivo nicht connected");
    serverSends("@OR=44: Limit ungueltig");
    EXPECT_TRUE(toFrontEnd().empty());
    EXPECT_EQ(frontEnd.state(), static_cast<int>(SocketState::Listening));
}

class FileDropInClient : public ::testing::Test, public test::ClientFixture {};

TEST_F(FileDropInClient, SwitchedOffARequestFileWaitsAndAnExternalOrderIsNotListed) {
    namespace fs = std::filesystem;
    // Placing and cancelling by request file are run against the demo server.
    writeSettings([](Settings& s) { s.asciiRemote = 1; });
    startSession();
    ASSERT_TRUE(client->fileDrop().active());
    client->window().setAsciiRemote(false);
    EXPECT_FALSE(client->fileDrop().active());
    const fs::path requests = dir.root / FileDrop::kRequestFile; // complete, written a while ago
    writeFileAtomically(requests, "@CA\r\n");
    fs::last_write_time(requests, fs::file_time_type::clock::now() - std::chrono::seconds(5));
    loop.advance(3000);
    EXPECT_TRUE(fs::exists(requests));
    client->externalOrders().placeOrder(";1;BUY;MKT;1;;;R2");
    EXPECT_TRUE(sentOnce("@PO=ACC9;-41;1;BUY ;MKT;1; 0; 0;0;0"));
    EXPECT_FALSE(fs::exists(dir.root / FileDrop::kOrderIdFile));

    client->window().end();
    EXPECT_EQ(readTextLines(dir.root / SettingsFile::kSettingsName)[19], " 0 ");
}

} // namespace
} // namespace kavex
