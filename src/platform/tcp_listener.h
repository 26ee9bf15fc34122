#pragma once
// The listening socket of the local bridge: one accepted connection at a time.
#include <functional>
#include <string>
#include <string_view>

namespace kavex {

class TcpListener {
public:
    struct Events {
        std::function<void()> connectionRequest;
        std::function<void()> closedByPeer;
        std::function<void(const std::string& description)> error;
        std::function<void(std::size_t bytesAvailable)> dataArrival;
    };

    virtual ~TcpListener() = default;
    virtual void setEvents(Events events) = 0;
    virtual void listen(int port) = 0;
    // Accepts the pending request; the listener stops listening.
    virtual void accept() = 0;
    virtual void close() = 0;
    virtual int state() const = 0;
    virtual std::string remoteAddress() const = 0;
    virtual std::string localAddress() const = 0;
    virtual int localPort() const = 0;
    virtual void send(std::string_view bytes) = 0;
    virtual void readAll(std::string& out) = 0;
};

} // namespace kavex
