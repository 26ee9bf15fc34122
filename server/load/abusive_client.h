#pragma once
// A connection for the load check that misbehaves beside the players: it sends garbage,
// half messages or messages larger than the server accepts, reads whatever comes back
// and connects again whenever the server closes it.
#include <asio.hpp>

#include <cstdint>
#include <random>
#include <string>

namespace kavex::server::load {

enum class Abuse {
    Garbage,         // random bytes, frame characters among them, before any login
    HalfFrame,       // the start of a login, then nothing more
    HalfFrameClosed, // the start of a login, then the connection is closed by this side
    Oversize,        // one message that never ends, larger than the server accepts
    GarbageLoggedIn, // logs in, then random bytes
};

struct AbuseCounters {
    int64_t connections = 0, closed = 0, bytesSent = 0, messagesReceived = 0;
};

class AbusiveClient {
  public:
    AbusiveClient(asio::io_context& io, Abuse abuse, int number, std::string user, std::string password,
                  AbuseCounters& counters);
    void start(const asio::ip::tcp::endpoint& server);
    void stop();

  private:
    void connect();
    void read();
    void act();
    void write(std::string bytes);
    std::string garbage(std::size_t n);
    void restartLater();

    asio::ip::tcp::socket socket_;
    asio::steady_timer timer_;
    asio::ip::tcp::endpoint server_;
    Abuse abuse_;
    std::string user_, password_;
    AbuseCounters& counters_;
    std::mt19937 random_;
    std::string writing_;
    char readBuffer_[16384];
    bool stopped_ = false, busy_ = false, loggedIn_ = false;
};

} // namespace kavex::server::load
