#include "load/load_client.h"

#include "base/numbers.h"
#include "base/split_fields.h"
#include "protocol/wire.h"

#include <memory>

namespace kavex::server::load {

LoadClient::LoadClient(asio::io_context& io, int number, std::string user, std::string password,
                       ClientCounters& counters)
    : socket_(io), timer_(io), number_(number), user_(std::move(user)), password_(std::move(password)),
      counters_(counters) {}

void LoadClient::start(const asio::ip::tcp::endpoint& server) {
    socket_.async_connect(server, [this](const asio::error_code& ec) {
        if (ec) {
            ++counters_.errors;
            return;
        }
        open_ = true;
        ++counters_.connected;
        read();
    });
}

void LoadClient::stop() {
    stopped_ = true;
    timer_.cancel();
    asio::error_code ignored;
    socket_.close(ignored);
}

void LoadClient::read() {
    socket_.async_read_some(asio::buffer(readBuffer_), [this](const asio::error_code& ec, std::size_t n) {
        if (ec) {
            if (open_ && !stopped_) ++counters_.closed;
            open_ = false;
            return;
        }
        counters_.bytes += static_cast<int64_t>(n);
        buffer_.append(std::string_view(readBuffer_, n));
        while (buffer_.next(message_))
            handle(message_);
        buffer_.compact();
        read();
    });
}

void LoadClient::send(const std::string& text) {
    queued_ += wire::frame(text);
    if (!writing_.empty() || !open_) return;
    flush();
}

// One write at a time; what is queued meanwhile goes out with the next.
void LoadClient::flush() {
    writing_.swap(queued_);
    queued_.clear();
    asio::async_write(socket_, asio::buffer(writing_), [this](const asio::error_code& ec, std::size_t) {
        writing_.clear();
        if (!ec && !queued_.empty()) flush();
    });
}

void LoadClient::handle(const std::string& text) {
    if (text.starts_with("~") || text.starts_with("^") || text.starts_with("@KU=")) {
        ++quotes_;
        ++counters_.quotes;
        if (text.starts_with("~")) {
            Fields f = SplitFields(std::string_view(text).substr(1), ";", 20);
            if (parseInt32(f[1]) == instrument_) last_ = parseLeading(f[2]);
        }
    } else if (text == "@=" || text == "@HB" || text == "@Heartbeat" || text == "!;HB") {
        ++counters_.heartbeats;
    } else if (text == "!;ID") {
        send("TTUSER=" + user_ + "/HD=0");
    } else if (text == "!;USER") {
        send("@U=" + user_ + "%" + password_ + "/OCHD=0");
    } else if (text.starts_with("@UD=")) {
        code_ = text.substr(4);
    } else if (text.starts_with("@LI=")) {
        nextUserOrderId_ = parseInt32(std::string_view(text).substr(4)) + 1;
    } else if (text.starts_with("@SI=")) {
        Fields lines = SplitFields(std::string_view(text).substr(4), "\n", 1000);
        instrument_ = 1 + number_ % std::max(1, lines.count());
        last_ = parseLeading(SplitFields(lines[instrument_], ";", 12)[4]);
        if (!loggedIn_) {
            loggedIn_ = true;
            ++counters_.loggedIn;
            scheduleOrder();
        }
    } else if (text == "@RV") {
        send("@SV=V1.1.368");
        send("@SVK=1");
    } else if (text.starts_with("@EX=")) {
        ++counters_.executions;
    } else if (text.starts_with("@OO=")) {
        ++counters_.openOrders;
    } else if (text.starts_with("@OS=")) {
        ++counters_.statuses;
    } else if (text.starts_with("@OR=")) {
        ++counters_.rejects;
    } else if (text.starts_with("@CR=")) {
        ++counters_.cancelRejects;
    } else if (text.starts_with("@ER=")) {
        ++counters_.errors;
    }
}

void LoadClient::scheduleOrder() {
    // Every player trades about four times a second, spread so they do not all fire at once.
    timer_.expires_after(std::chrono::milliseconds(200 + (number_ * 37) % 100));
    timer_.async_wait([this](const asio::error_code& ec) {
        if (ec || stopped_ || !open_) return;
        placeNext();
        scheduleOrder();
    });
}

// A cycle of a market buy, a resting limit sell far above the market, its cancel,
// and a market sell that closes the holding again.
void LoadClient::placeNext() {
    const std::string head = "@PO=" + code_ + ";";
    auto place = [&](const char* side, const char* type, double limit) {
        const int32_t id = nextUserOrderId_++;
        send(head + std::to_string(id) + ";" + std::to_string(instrument_) + ";" + side + ";" + type + ";1;" +
             strSingle(static_cast<float>(limit)) + "; 0;0;0");
        ++counters_.ordersSent;
        return id;
    };
    switch (step_++ % 4) {
    case 0:
        place("BUY ", "MKT", 0);
        break;
    case 1:
        restingOrder_ = place("SEL ", "LMT", last_ * 2);
        break;
    case 2:
        send("@CO=" + code_ + ";" + std::to_string(restingOrder_) + ";");
        ++counters_.cancelsSent;
        break;
    default:
        place("SEL ", "MKT", 0);
        break;
    }
}

} // namespace kavex::server::load
