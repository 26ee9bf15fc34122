#include "protocol/server_sender.h"

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/text_list.h"
#include "platform/socket_state.h"
#include "platform/tcp_client.h"
#include "protocol/wire.h"

#include <string>

namespace kavex {

void ServerSender::send(std::string_view framedText) {
    skipOnFailure([&] { socket_.send(cp1252::fromUtf8(framedText)); });
    outgoing_.addLine("OUT:" + std::string(framedText));
}

bool ServerSender::connected() const {
    return socket_.state() == static_cast<int>(SocketState::Connected);
}

bool ServerSender::sendFramed(std::string_view messageText) {
    if (!connected()) return false;
    skipOnFailure([&] { socket_.send(cp1252::fromUtf8(wire::frame(messageText))); });
    return true;
}

} // namespace kavex
