#include "platform/socket_state.h"
#include "platform/text_list.h"
#include "protocol/server_sender.h"
#include "protocol/wire.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

TEST(Senddata, SendsTheFramedTextInTheWireCodePageAndLogsItEvenWhenRefused) {
    test::FakeTcpClient socket;
    TextList outgoing;
    ServerSender sender(socket, outgoing);
    sender.Senddata(wire::frame("@CH=Grüße"));
    EXPECT_EQ(socket.sent, (std::vector<std::string>{"\x01@CH=Gr\xFC\xDF"
                                                     "e\x02"}));
    socket.refuseSend = true;
    sender.Senddata("\x01@PO=1\x02");
    EXPECT_EQ(socket.sent.size(), 1u);
    EXPECT_EQ(outgoing.lines(), (std::vector<std::string>{"OUT:\x01@CH=Grüße\x02", "OUT:\x01@PO=1\x02"}));
}

TEST(ShortSends, GoOutFramedOnlyWhileConnectedAndAreNeverLogged) {
    test::FakeTcpClient socket;
    TextList outgoing;
    ServerSender sender(socket, outgoing);
    EXPECT_FALSE(sender.sendFramed("@RAO"));
    socket.socketState = static_cast<int>(SocketState::Connected);
    EXPECT_TRUE(sender.sendFramed("@RAO"));
    EXPECT_EQ(socket.sent, (std::vector<std::string>{"\x01@RAO\x02"}));
    EXPECT_TRUE(outgoing.empty());
}

TEST(SocketStateTexts, CoverTheWholeTable) {
    EXPECT_EQ(socketStateText(0), "Geschlossen");
    EXPECT_EQ(socketStateText(7), "Verbunden");
    EXPECT_EQ(socketStateText(8), "Partner schließt Verbindung");
    EXPECT_EQ(socketStateText(9), "Fehler");
    EXPECT_EQ(socketStateText(10), "");
}

} // namespace
} // namespace kavex
