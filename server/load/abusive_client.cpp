#include "load/abusive_client.h"

#include "protocol/wire.h"

#include <algorithm>
#include <chrono>
#include <string_view>

namespace kavex::server::load {

namespace {
constexpr auto kPace = std::chrono::milliseconds(50);       // one abusive write every 50 ms
constexpr auto kReconnect = std::chrono::milliseconds(200); // after the server closed the connection
constexpr std::size_t kOversize = 70000;                    // beyond the server's 65536 bytes
} // namespace

AbusiveClient::AbusiveClient(asio::io_context& io, Abuse abuse, int number, std::string user,
                             std::string password, AbuseCounters& counters)
    : socket_(io), timer_(io), abuse_(abuse), user_(std::move(user)), password_(std::move(password)),
      counters_(counters), random_(static_cast<unsigned>(number)) {}

void AbusiveClient::start(const asio::ip::tcp::endpoint& server) {
    server_ = server;
    connect();
}

void AbusiveClient::stop() {
    stopped_ = true;
    timer_.cancel();
    asio::error_code ignored;
    socket_.close(ignored);
}

void AbusiveClient::connect() {
    if (stopped_) return;
    asio::error_code ignored;
    socket_.close(ignored);
    loggedIn_ = false;
    socket_.async_connect(server_, [this](const asio::error_code& ec) {
        if (stopped_) return;
        if (ec) {
            restartLater();
            return;
        }
        ++counters_.connections;
        read();
        act();
    });
}

void AbusiveClient::restartLater() {
    if (stopped_) return;
    timer_.expires_after(kReconnect);
    timer_.async_wait([this](const asio::error_code& ec) {
        if (!ec) connect();
    });
}

// Reads and throws away whatever the server says; a close starts the next connection.
void AbusiveClient::read() {
    socket_.async_read_some(asio::buffer(readBuffer_), [this](const asio::error_code& ec, std::size_t n) {
        if (stopped_) return;
        if (ec) {
            ++counters_.closed;
            timer_.cancel();
            restartLater();
            return;
        }
        const std::string_view got(readBuffer_, n);
        counters_.messagesReceived += static_cast<int64_t>(std::count(got.begin(), got.end(), '\x02'));
        if (abuse_ == Abuse::GarbageLoggedIn && !loggedIn_ && got.find("!;ID") != std::string_view::npos) {
            loggedIn_ = true;
            write(wire::frame("@U=" + user_ + "%" + password_ + "/OCHD=0"));
        }
        read();
    });
}

std::string AbusiveClient::garbage(std::size_t n) {
    std::string out(n, '\0');
    for (char& c : out)
        c = static_cast<char>(random_() % 256);
    return out;
}

// One misdeed, then the next after a pause while the connection lasts.
void AbusiveClient::act() {
    if (stopped_ || !socket_.is_open()) return;
    bool again = true;
    switch (abuse_) {
    case Abuse::Garbage:
    case Abuse::GarbageLoggedIn:
        if (abuse_ == Abuse::Garbage || loggedIn_) write(garbage(200));
        break;
    case Abuse::HalfFrame:
        write("\x01@U=" + user_ + "%" + password_);
        again = false;
        break;
    case Abuse::HalfFrameClosed:
        write("\x01TTUSER=" + user_);
        timer_.expires_after(kPace);
        timer_.async_wait([this](const asio::error_code& ec) {
            if (ec) return;
            asio::error_code ignored;
            socket_.close(ignored); // the read fails and a new connection starts
        });
        return;
    case Abuse::Oversize:
        write("\x01@C=" + std::string(kOversize, 'x'));
        again = false; // the server closes the connection
        break;
    }
    if (!again) return;
    timer_.expires_after(kPace);
    timer_.async_wait([this](const asio::error_code& ec) {
        if (!ec) act();
    });
}

void AbusiveClient::write(std::string bytes) {
    if (busy_) return; // the last write is still on its way: skip this one
    busy_ = true;
    writing_ = std::move(bytes);
    counters_.bytesSent += static_cast<int64_t>(writing_.size());
    asio::async_write(socket_, asio::buffer(writing_),
                      [this](const asio::error_code&, std::size_t) { busy_ = false; });
}

} // namespace kavex::server::load
