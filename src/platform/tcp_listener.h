#pragma once
// The listening socket of the local bridge: one accepted connection at a time.
//
// A connection request is reported with its id while the listener still listens; the
// handler either accepts it (the listener may be closed first: a pending request
// survives close()) or leaves it, and then the request is dropped unanswered. Closing
// the connection from this side raises no close event; only the peer's close does.
#include <functional>
#include <string>
#include <string_view>

namespace kavex {

class TcpListener {
  public:
    struct Events {
        std::function<void(long requestId)> connectionRequest;
        std::function<void()> closedByPeer;
        std::function<void(const std::string& description)> error;
        std::function<void(std::size_t bytesAvailable)> dataArrival;
    };

    virtual ~TcpListener() = default;
    virtual void setEvents(Events events) = 0;
    // Listens on the port at one local address, or at every address of this machine when
    // the address is kAllInterfaces.
    static constexpr const char* kAllInterfaces = "";
    virtual void listen(int port, const std::string& address) = 0;
    // Accepts the pending request; the listener stops listening.
    virtual void accept() = 0;
    virtual void close() = 0;
    virtual int state() const = 0;
    // The pending request's or the connection's remote address.
    virtual std::string remoteAddress() const = 0;
    // The address listened on or connected at; before that, this machine's own address.
    virtual std::string localAddress() const = 0;
    virtual int localPort() const = 0;
    // Throws Failure when there is no connection.
    virtual void send(std::string_view bytes) = 0;
    virtual void readAll(std::string& out) = 0;
};

} // namespace kavex
