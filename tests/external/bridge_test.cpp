// The bridge to a front-end program: who may connect, its commands and the receive path.
#include "base/cp1252.h"
#include "external/bridge.h"
#include "model/settings_file.h"
#include "model/trading_data.h"
#include "protocol/server_sender.h"
#include "protocol/wire.h"
#include "recording_commands.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

using Texts = std::vector<std::string>;

class BridgeTest : public ::testing::Test {
  protected:
    BridgeTest() {
        server.socketState = static_cast<int>(SocketState::Connected);
        data.instruments.reset(2);
        data.instruments.at(1).Ticker = "KDX ";
        data.instruments.at(1).ZeltickerCode = " KDX.FUT";
        data.instruments.at(1).Name = "Kavex Index Future  ";
        data.instruments.at(2).Ticker = "MÜN";
        data.instruments.at(2).ZeltickerCode = "MUE.FUT";
        data.instruments.at(2).Name = "München";
        bridge.startListening();
    }
    // Connects a front-end from the configured address and forgets what was sent so far.
    void connect() {
        socket.request("127.0.0.1");
        socket.sent.clear();
        log.clear();
    }
    void frontEndSends(const std::string& utf8) { socket.deliver(cp1252::fromUtf8(utf8)); }
    Texts sentTexts() const {
        Texts out;
        for (const std::string& s : socket.sent)
            out.push_back(cp1252::toUtf8(s));
        return out;
    }

    test::FakeEventLoop loop;
    test::FakeTcpListener socket;
    test::FakeTcpClient server;
    TextList log, outgoing;
    ServerSender sender{server, outgoing};
    TradingData data;
    Settings settings;
    Label statusLine;
    test::RecordingCommands commands;
    Bridge bridge{socket, loop, data, settings, log, statusLine, commands, sender};
};

// A stranger's address being refused is run against the demo server.
TEST_F(BridgeTest, TheFrontEndMustSayWhoItIsAndGetsTheInstrumentsTrimmedInTheWireCodePage) {
    socket.request("127.0.0.1");
    EXPECT_EQ(socket.sent, (Texts{wire::frame("WHOISIT")}));
    socket.sent.clear();
    frontEndSends(wire::frame("USER;USER"));
    // Tickers and names trimmed, in the wire code page.
    EXPECT_EQ(socket.sent[1], "\x01@IL;KDX;KDX.FUT;Kavex Index Future\nM\xDCN;MUE.FUT;M\xFCnchen\x02");
}

TEST_F(BridgeTest, AWrongUserEndsTheConnectionAndNoUserAtAllIsNoReason) {
    connect();
    frontEndSends(wire::frame("USER;anna"));
    EXPECT_EQ(log.lines(), (Texts{"IN:USER;anna", "Wrong User anna", "Listen  4100"}));
    EXPECT_EQ(socket.state(), static_cast<int>(SocketState::Listening));
    EXPECT_TRUE(socket.sent.empty());
    // The flag stays until the next close event.
    EXPECT_TRUE(bridge.connected());

    // A front-end that never says who it is stays connected, and its commands work.
    connect();
    frontEndSends("@CO;-5");
    loop.advance(30000);
    EXPECT_TRUE(bridge.connected());
    EXPECT_EQ(socket.state(), static_cast<int>(SocketState::Connected));
    EXPECT_EQ(commands.calls, (Texts{"CO -5"}));
}

TEST_F(BridgeTest, LoopbackOnlyForAFrontEndOnThisMachineAndOnlyItsAddressIsAccepted) {
    for (auto [accepted, listenedAt] : {std::pair{"127.0.0.2", "127.0.0.1"},
                                        {"::1", "::1"},
                                        {"127.0.0.256", ""},
                                        {"192.168.1.20", TcpListener::kAllInterfaces}}) {
        settings.bridgeAddress = accepted;
        bridge.listenAgain();
        EXPECT_EQ(socket.listenAddress, listenedAt) << accepted;
    }
    socket.request("192.168.1.21");
    EXPECT_FALSE(bridge.connected());
    EXPECT_EQ(log.back(), "Falsche Client IP!");
    socket.request("192.168.1.20");
    EXPECT_TRUE(bridge.connected());
}

TEST_F(BridgeTest, EachCommandOfTheFrontEnd) {
    connect();
    frontEndSends(wire::frame("HI") + wire::frame("@po;KDX.FUT;0;BUY;LMT;1;15000;0;F1") +
                  wire::frame("@CO;-41;x") + wire::frame("@PO;KDX.FUT;0;BUY;LMT;0;15000;0;F2") +
                  wire::frame("@WT_REX") + wire::frame("@wt_ra") + wire::frame("hi") + wire::frame("@XX"));
    // Every order text goes to the order operations, which answer it; the server judges it.
    EXPECT_EQ(commands.calls,
              (Texts{"PO KDX.FUT;0;BUY;LMT;1;15000;0;F1", "CO -41", "PO KDX.FUT;0;BUY;LMT;0;15000;0;F2"}));
    EXPECT_EQ(sentTexts(), (Texts{"HERE I AM;09:30:00"}));
    EXPECT_EQ(server.sent, (Texts{wire::frame("@RAE"), wire::frame("@GSUK")}));
}

TEST_F(BridgeTest, TheReceivePathCutsFramesAsTheyCome) {
    connect();
    frontEndSends("HI"); // no start character: the whole text is one message, not logged as IN
    EXPECT_EQ(sentTexts(), (Texts{"HERE I AM;09:30:00"}));
    EXPECT_EQ(log.lines(), (Texts{"OUT:HERE I AM;09:30:00"}));

    log.clear();
    frontEndSends("noise\x01@CO;-1\x02junk\x01@C");
    frontEndSends("O;-2\x02\x01@CO;-3");
    EXPECT_EQ(commands.calls, (Texts{"CO -1", "CO -2"}));
    EXPECT_EQ(log.lines(), (Texts{"IN:@CO;-1", "IN:@CO;-2"}));
    frontEndSends("\x02");
    EXPECT_EQ(commands.calls.back(), "CO -3");
    // A received text is logged on one line, whatever it holds.
    frontEndSends(wire::frame("@PO;;1;BUY;MKT;1;0;0;X\"\r\n\"FORGED"));
    EXPECT_EQ(log.back(), "IN:@PO;;1;BUY;MKT;1;0;0;X\"  \"FORGED");
    commands.calls.pop_back();

    // A frame that never ends closes the connection, not the program.
    frontEndSends("\x01@PO;" + std::string(Bridge::kMaxFrameBytes, 'x'));
    EXPECT_FALSE(bridge.connected());
    EXPECT_EQ(socket.state(), static_cast<int>(SocketState::Listening));
    EXPECT_EQ(log.lines().end()[-2], "Nachricht zu lang: Verbindung getrennt");
    EXPECT_EQ(commands.calls.size(), 3u);
}

TEST_F(BridgeTest, StatusLineSocketButtonsAndSendsWithoutAConnection) {
    connect();
    bridge.reportOrderStatus(-99); // unknown: nothing
    EXPECT_TRUE(socket.sent.empty());
    socket.peerCloses();
    statusLine.setText("Fehler 2"); // another message is not overwritten
    bridge.statusTick();
    EXPECT_EQ(statusLine.text(), "Fehler 2");

    bridge.closeSocket();
    bridge.onError("Netzwerkfehler");
    EXPECT_EQ(socket.state(), static_cast<int>(SocketState::Listening));

    // Reports go out whatever the connection; without one the send fails quietly.
    bridge.closeSocket();
    bridge.sendToFrontEnd(wire::frame("@OC;R;-1"));
    EXPECT_EQ(log.back(), "OUT:" + wire::frame("@OC;R;-1"));

    data.instruments.reset(0);
    connect();
    bridge.sendInstruments();
    EXPECT_EQ(socket.sent, (Texts{"\x01@IL\x02"}));

    // The log keeps its newest lines only.
    for (std::size_t i = 0; i <= Bridge::kLogLines; ++i)
        bridge.reportExecution(std::to_string(i));
    EXPECT_EQ(log.size(), Bridge::kLogLines);
    EXPECT_EQ(log.lines().front(), "Ex:1");
}

} // namespace
} // namespace kavex
