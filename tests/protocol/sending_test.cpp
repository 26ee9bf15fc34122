// The send path: wire code page, framing and the outgoing log.
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

} // namespace
} // namespace kavex
