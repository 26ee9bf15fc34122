#include "net/network_server.h"

#include <array>
#include <stdexcept>
#include <system_error>

namespace kavex::server {

struct NetworkServer::Connection {
    explicit Connection(asio::ip::tcp::socket s) : socket(std::move(s)) {}
    asio::ip::tcp::socket socket;
    SessionId id = 0;
    std::array<char, 16384> readBuffer{};
    std::string queued;  // waiting for the next write
    std::string writing; // handed to the current write
    bool writeActive = false;
    bool closeWhenWritten = false; // the game has ended the session
    bool finished = false;
};

NetworkServer::NetworkServer(asio::io_context& io, const std::string& bindAddress, uint16_t port, Log log)
    : io_(io), acceptor_(io), timer_(io), log_(std::move(log)) {
    try {
        const asio::ip::tcp::endpoint endpoint(asio::ip::make_address(bindAddress), port);
        acceptor_.open(endpoint.protocol());
        acceptor_.set_option(asio::socket_base::reuse_address(true));
        acceptor_.bind(endpoint);
        acceptor_.listen();
    } catch (const std::system_error& e) {
        throw std::runtime_error("cannot listen on " + bindAddress + ":" + std::to_string(port) + ": " +
                                 e.code().message());
    }
    port_ = acceptor_.local_endpoint().port();
}

NetworkServer::~NetworkServer() {
    stop();
}

void NetworkServer::start(Game& game, std::chrono::milliseconds tick) {
    game_ = &game;
    tickPeriod_ = tick;
    lastTick_ = std::chrono::steady_clock::now();
    accept();
    timer_.expires_after(tickPeriod_);
    timer_.async_wait([this](const asio::error_code& ec) {
        if (!ec) this->tick();
    });
}

void NetworkServer::stop() {
    if (stopped_) return;
    stopped_ = true;
    asio::error_code ignored;
    acceptor_.close(ignored);
    timer_.cancel();
    for (auto& [id, c] : connections_) {
        c->finished = true;
        c->socket.close(ignored);
    }
    connections_.clear();
}

void NetworkServer::tick() {
    if (stopped_) return;
    const auto now = std::chrono::steady_clock::now();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastTick_);
    lastTick_ += elapsed; // the remainder below a millisecond carries over
    game_->advance(elapsed.count());
    // Fixed rate: the next tick is due one period after this one was, not after it ran.
    timer_.expires_at(timer_.expiry() + tickPeriod_);
    if (timer_.expiry() < std::chrono::steady_clock::now()) timer_.expires_after(tickPeriod_);
    timer_.async_wait([this](const asio::error_code& ec) {
        if (!ec) this->tick();
    });
}

void NetworkServer::accept() {
    acceptor_.async_accept([this](const asio::error_code& ec, asio::ip::tcp::socket socket) {
        if (stopped_) return;
        if (ec) {
            log_("accept failed: " + ec.message());
        } else {
            auto c = std::make_shared<Connection>(std::move(socket));
            c->id = nextId_++;
            asio::error_code ignored;
            c->socket.set_option(asio::ip::tcp::no_delay(true), ignored);
            const auto peer = c->socket.remote_endpoint(ignored);
            connections_[c->id] = c;
            game_->connected(c->id, peer.address().to_string() + ":" + std::to_string(peer.port()));
            read(c);
        }
        accept();
    });
}

void NetworkServer::read(const std::shared_ptr<Connection>& c) {
    c->socket.async_read_some(asio::buffer(c->readBuffer),
                              [this, c](const asio::error_code& ec, std::size_t n) {
                                  if (c->finished) return;
                                  if (ec) {
                                      finish(c, ec == asio::error::eof ? "peer closed" : ec.message());
                                      return;
                                  }
                                  if (c->closeWhenWritten)
                                      return; // the game has ended the session: ignore the rest
                                  game_->received(c->id, std::string_view(c->readBuffer.data(), n));
                                  if (!c->finished && !c->closeWhenWritten) read(c);
                              });
}

void NetworkServer::send(SessionId id, std::string_view wireBytes) {
    auto it = connections_.find(id);
    if (it == connections_.end()) return;
    const std::shared_ptr<Connection> c = it->second;
    if (c->finished || c->closeWhenWritten) return;
    if (c->queued.size() + c->writing.size() + wireBytes.size() > maxBacklog_) {
        // Not reading: the game must not be told in the middle of its own call.
        c->closeWhenWritten = true;
        asio::post(io_, [this, c] { finish(c, "not reading, send backlog full"); });
        return;
    }
    c->queued.append(wireBytes);
    if (!c->writeActive) write(c);
}

void NetworkServer::write(const std::shared_ptr<Connection>& c) {
    c->writing.swap(c->queued);
    c->queued.clear();
    c->writeActive = true;
    asio::async_write(c->socket, asio::buffer(c->writing),
                      [this, c](const asio::error_code& ec, std::size_t) {
                          c->writeActive = false;
                          c->writing.clear();
                          if (c->finished) return;
                          if (ec) {
                              finish(c, "write failed: " + ec.message());
                              return;
                          }
                          if (!c->queued.empty())
                              write(c);
                          else if (c->closeWhenWritten)
                              finish(c, "closed by server");
                      });
}

void NetworkServer::close(SessionId id) {
    auto it = connections_.find(id);
    if (it == connections_.end()) return;
    const std::shared_ptr<Connection> c = it->second;
    c->closeWhenWritten = true;
    if (!c->writeActive && c->queued.empty()) finish(c, "closed by server");
}

void NetworkServer::finish(const std::shared_ptr<Connection>& c, std::string_view reason) {
    if (c->finished) return;
    c->finished = true;
    asio::error_code ignored;
    c->socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    c->socket.close(ignored);
    connections_.erase(c->id);
    // Sessions the game ended itself are already forgotten there; it ignores those.
    if (game_) game_->disconnected(c->id, reason);
}

} // namespace kavex::server
