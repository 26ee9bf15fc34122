#pragma once
// The client socket of the server link. Events are delivered through the callbacks
// on the event loop's thread; state() uses the numbers of SocketState.
#include <functional>
#include <string>
#include <string_view>

namespace kavex {

class TcpClient {
  public:
    struct Events {
        std::function<void()> connected;
        std::function<void()> closedByPeer;
        std::function<void(const std::string& description)> error;
        std::function<void(std::size_t bytesAvailable)> dataArrival;
    };

    virtual ~TcpClient() = default;
    virtual void setEvents(Events events) = 0;
    virtual void close() = 0;
    virtual void connect(const std::string& host, int remotePort, int localPort = 0) = 0;
    virtual int state() const = 0;
    // Sends raw bytes (already converted to the wire code page). Throws Failure when
    // the socket refuses.
    virtual void send(std::string_view bytes) = 0;
    // Appends every byte that has arrived to `out`.
    virtual void readAll(std::string& out) = 0;
};

} // namespace kavex
