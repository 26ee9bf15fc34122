#pragma once
// Server discovery over HTTP: a short text document naming the game's host and port,
// served under every document name clients ask for.
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace kavex::server {

// "host:port" followed by CR LF.
std::string discoveryDocument(const std::string& host, uint16_t gamePort);

// The document names served (besides "/").
inline constexpr const char* kDiscoveryPaths[] = {"/ipkavex.html", "/ip.html", "/ipplexa.html"};

class DiscoveryServer {
  public:
    DiscoveryServer();
    ~DiscoveryServer();

    // Binds (port 0: any free port) and serves on a thread of its own; throws
    // std::runtime_error when the port cannot be bound.
    void start(const std::string& bindAddress, uint16_t port, std::string document);
    void stop();
    uint16_t port() const { return port_; }

  private:
    std::unique_ptr<httplib::Server> http_;
    std::thread thread_;
    uint16_t port_ = 0;
};

} // namespace kavex::server
