#pragma once
#include <string_view>

namespace kavex {

// State numbers reported by the TCP sockets, with the texts shown for them.
enum class SocketState : int {
    Closed = 0,
    Open = 1,
    Listening = 2,
    ConnectionPending = 3,
    ResolvingHost = 4,
    HostResolved = 5,
    Connecting = 6,
    Connected = 7,
    Closing = 8,
    Error = 9,
};

std::string_view socketStateText(int state);

} // namespace kavex
