#pragma once
// The game on the network: accepts player connections on one TCP port, feeds their
// bytes to the game, writes the game's messages back, and advances the game's clock
// from a steady timer. Everything runs on the thread that runs the io_context.
#include "core/game.h"

#include <asio.hpp>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

namespace kavex::server {

class NetworkServer : public Transport {
  public:
    using Log = std::function<void(std::string_view line)>;

    // Binds and listens at once; throws std::runtime_error naming the address when it cannot.
    NetworkServer(asio::io_context& io, const std::string& bindAddress, uint16_t port, Log log);
    ~NetworkServer() override;

    // Starts accepting and ticking; the game must outlive the server's run.
    void start(Game& game, std::chrono::milliseconds tick = std::chrono::milliseconds(20));
    void stop();

    uint16_t port() const { return port_; }
    std::size_t connectionCount() const { return connections_.size(); }

    // A player that does not read its messages is disconnected once this much waits.
    void setMaxBacklog(std::size_t bytes) { maxBacklog_ = bytes; }

    // Transport
    void send(SessionId session, std::string_view wireBytes) override;
    void close(SessionId session) override;

  private:
    struct Connection;
    void accept();
    void read(const std::shared_ptr<Connection>& c);
    void write(const std::shared_ptr<Connection>& c);
    void finish(const std::shared_ptr<Connection>& c, std::string_view reason);
    void tick();

    asio::io_context& io_;
    asio::ip::tcp::acceptor acceptor_;
    asio::steady_timer timer_;
    Log log_;
    Game* game_ = nullptr;
    uint16_t port_ = 0;
    SessionId nextId_ = 1;
    std::size_t maxBacklog_ = 8u << 20;
    std::chrono::milliseconds tickPeriod_{20};
    std::chrono::steady_clock::time_point lastTick_;
    std::unordered_map<SessionId, std::shared_ptr<Connection>> connections_;
    bool stopped_ = false;
};

} // namespace kavex::server
