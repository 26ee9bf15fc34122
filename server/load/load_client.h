#pragma once
// One simulated player for the load check: a raw socket speaking the framed protocol,
// logging in and placing a stream of orders.
#include "protocol/frame_buffer.h"

#include <asio.hpp>

#include <cstdint>
#include <string>

namespace kavex::server::load {

struct ClientCounters {
    int64_t connected = 0, loggedIn = 0, closed = 0;
    int64_t quotes = 0, heartbeats = 0, executions = 0, openOrders = 0, statuses = 0;
    int64_t rejects = 0, cancelRejects = 0, errors = 0, ordersSent = 0, cancelsSent = 0, bytes = 0;
};

class LoadClient {
  public:
    LoadClient(asio::io_context& io, int number, std::string user, std::string password,
               ClientCounters& counters);

    void start(const asio::ip::tcp::endpoint& server);
    void stop();

    bool loggedIn() const { return loggedIn_; }
    bool open() const { return open_; }
    int64_t quotes() const { return quotes_; }

  private:
    void read();
    void handle(const std::string& text);
    void send(const std::string& text);
    void flush();
    void scheduleOrder();
    void placeNext();

    asio::ip::tcp::socket socket_;
    asio::steady_timer timer_;
    int number_;
    std::string user_, password_;
    ClientCounters& counters_;
    FrameBuffer buffer_;
    std::string message_;
    std::string queued_, writing_;
    char readBuffer_[16384];
    std::string code_;
    int32_t nextUserOrderId_ = 0;
    int instrument_ = 1;
    double last_ = 0;
    int step_ = 0;
    int32_t restingOrder_ = 0;
    bool loggedIn_ = false, open_ = false, stopped_ = false;
    int64_t quotes_ = 0;
};

} // namespace kavex::server::load
