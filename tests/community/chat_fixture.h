#pragma once
// A chat window on the real receive path and send path: messages arrive as wire bytes,
// and what the chat sends is read back from the socket as wire bytes.
#include "base/cp1252.h"
#include "community/chat.h"
#include "platform/socket_state.h"
#include "protocol/server_sender.h"
#include "protocol/wire.h"
#include "support/fakes.h"
#include "support/receive_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kavex::test {

using Lines = std::vector<std::string>;

class ChatTest : public ::testing::Test {
  protected:
    ChatTest() {
        chat.bind(rx.dispatcher);
        socket.socketState = static_cast<int>(SocketState::Connected);
        rx.loop.setDateTime({2026, 12, 7, 14, 5, 9, 0});
    }

    // A message from the server, framed and in the wire code page.
    void serverSends(std::string_view text) { rx.receiveFrame(text); }
    // Everything sent so far, as UTF-8 message texts without their frames.
    Lines sentTexts() const {
        Lines out;
        for (const std::string& bytes : socket.sent) {
            EXPECT_EQ(bytes.front(), wire::kStart);
            EXPECT_EQ(bytes.back(), wire::kEnd);
            out.push_back(cp1252::toUtf8(bytes.substr(1, bytes.size() - 2)));
        }
        return out;
    }
    // The history's lines after its leading line break.
    Lines historyLines() const {
        Lines out;
        const std::string& h = chat.history();
        if (h.empty()) return out;
        EXPECT_TRUE(h.starts_with("\r\n")) << h;
        std::size_t pos = 2;
        for (std::size_t next; (next = h.find("\r\n", pos)) != std::string::npos; pos = next + 2)
            out.push_back(h.substr(pos, next - pos));
        out.push_back(h.substr(pos));
        return out;
    }

    ReceiveFixture rx;
    FakeTcpClient socket;
    FakeSound sound;
    TextList outgoing;
    ServerSender sender{socket, outgoing};
    int16_t chatSound = 1;
    std::string soundFile = "1.wav";
    int16_t level = 2;
    Chat chat{sender, rx.loop, sound, {chatSound, soundFile}, [this] { return level; }};
};

} // namespace kavex::test
