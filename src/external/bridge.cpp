#include "external/bridge.h"

#include "base/cp1252.h"
#include "base/failure.h"
#include "base/fixed_text.h"
#include "base/numbers.h"
#include "external/command_line.h"
#include "external/external_commands.h"
#include "model/settings_file.h"
#include "model/trading_data.h"
#include "platform/event_loop.h"
#include "platform/socket_state.h"
#include "platform/tcp_listener.h"
#include "protocol/server_sender.h"
#include "protocol/wire.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace kavex {
namespace {

constexpr char kStart = '\x01';
constexpr char kEnd = '\x02';
constexpr const char* kConnected = "Zentrivo connected";

// 127.0.0.0/8 in dotted form, or ::1.
bool isLoopbackAddress(std::string_view address) {
    if (address == "::1" || address == "0:0:0:0:0:0:0:1") return true;
    int parts = 0;
    std::size_t i = 0;
    while (i <= address.size()) {
        std::size_t end = std::min(address.find('.', i), address.size());
        std::string_view part = address.substr(i, end - i);
        if (part.empty() || part.size() > 3 ||
            part.find_first_not_of("0123456789") != std::string_view::npos ||
            std::stoi(std::string(part)) > 255)
            return false;
        if (parts == 0 && part != "127") return false;
        ++parts;
        i = end + 1;
    }
    return parts == 4;
}

// Where to listen for the one front-end accepted: a front-end on this machine is reached
// on loopback only; one on another host needs every interface, and the address check on
// each request keeps everyone else out.
std::string listenAddressFor(std::string_view accepted) {
    if (!isLoopbackAddress(accepted)) return TcpListener::kAllInterfaces;
    return accepted.find(':') != std::string_view::npos ? "::1" : "127.0.0.1";
}

int stateOf(const TcpListener& socket) {
    int state = static_cast<int>(SocketState::Error);
    skipOnFailure([&] { state = socket.state(); });
    return state;
}

} // namespace

Bridge::Bridge(TcpListener& socket, EventLoop& loop, TradingData& data, Settings& settings, TextList& log,
               Label& statusLine, ExternalCommands& commands, ServerSender& server)
    : socket_(socket), loop_(loop), data_(data), settings_(settings), log_(log), statusLine_(statusLine),
      commands_(commands), server_(server) {
    log_.setMaxLines(kLogLines);
    testCancelField.setText("-123");
    skipOnFailure([&] { localAddressLabel.setText(socket_.localAddress()); });
    socket_.setEvents({[this](long id) { onConnectionRequest(id); }, [this] { onClose(); },
                       [this](const std::string& description) { onError(description); },
                       [this](std::size_t bytes) { onDataArrival(bytes); }});
}

Bridge::~Bridge() {
    socket_.setEvents({});
}

void Bridge::startListening() {
    if (settings_.bridgeAddress.empty())
        skipOnFailure([&] { settings_.bridgeAddress = socket_.localAddress(); });
    listenAgain();
}

void Bridge::listenAgain() {
    skipOnFailure([&] { socket_.close(); });
    skipOnFailure([&] {
        const int port = parseInt32(settings_.bridgePort);
        log_.addLine("Listen " + strInt(port));
        socket_.listen(port, listenAddressFor(settings_.bridgeAddress.empty() ? kDefaultAddress
                                                                              : settings_.bridgeAddress));
    });
}

void Bridge::closeSocket() {
    skipOnFailure([&] { socket_.close(); });
}

void Bridge::waitForState(bool (*done)(int state)) {
    const uint32_t start = loop_.tickCount();
    while (!done(stateOf(socket_)) && loop_.tickCount() - start <= kWaitMs)
        loop_.waitForEvents(20);
}

void Bridge::onConnectionRequest(long requestId) {
    std::string remote;
    skipOnFailure([&] { remote = socket_.remoteAddress(); });
    log_.addLine("C.REQ IP=" + remote + " ID=" + strInt(requestId));
    // A request that comes while one is being accepted stays unanswered.
    if (accepting_) return;
    if (remote != settings_.bridgeAddress) {
        log_.addLine("Falsche Client IP!");
        return;
    }
    accepting_ = true;
    skipOnFailure([&] { socket_.close(); });
    waitForState([](int s) {
        return s == static_cast<int>(SocketState::Closed) || s == static_cast<int>(SocketState::Closing);
    });
    skipOnFailure([&] { socket_.accept(); });
    connected_ = true;
    buffer_.clear();
    accepting_ = false;
    sendToFrontEnd(wire::frame("WHOISIT"));
}

void Bridge::onDataArrival(std::size_t) {
    std::string bytes;
    skipOnFailure([&] { socket_.readAll(bytes); });
    cp1252::appendUtf8(bytes, buffer_);

    if (buffer_.find(kStart) == std::string::npos) {
        // Simple clients send unframed text: all of it is one message.
        std::string message = std::move(buffer_);
        buffer_.clear();
        process(message);
        return;
    }
    buffer_.erase(0, buffer_.find(kStart));
    // Processing may wait and let further arrivals in: every step works on the buffer as
    // it is then, so nothing is read twice and the order is kept.
    while (true) {
        const std::size_t end = buffer_.find(kEnd);
        if (end == std::string::npos) break;
        // A frame that arrived whole is held to the same limit as one still arriving.
        if (end > kMaxFrameBytes + 1) return dropOversizeFrame();
        std::string message = buffer_.substr(std::min<std::size_t>(1, end), end > 0 ? end - 1 : 0);
        buffer_.erase(0, end + 1);
        log_.addLine("IN:" + blankControls(message));
        process(message);
        const std::size_t next = buffer_.find(kStart, 1);
        if (!buffer_.empty() && buffer_.front() != kStart && next != std::string::npos)
            buffer_.erase(0, next);
    }
    if (buffer_.size() > kMaxFrameBytes) dropOversizeFrame();
}

void Bridge::dropOversizeFrame() {
    log_.addLine("Nachricht zu lang: Verbindung getrennt");
    connected_ = false;
    buffer_.clear();
    listenAgain();
}

void Bridge::process(std::string_view message) {
    const CommandFields f(message, CommandFields::kCommandLineFields);
    if (f[1] == "USER") {
        if (f[2] == settings_.bridgeUser) {
            sendToFrontEnd(wire::frame("USER OK"));
            sendInstruments();
            return;
        }
        const std::string name = blankControls(f[2]);
        skipOnFailure([&] { socket_.close(); });
        log_.addLine("Wrong User " + name);
        waitForState([](int s) { return s != static_cast<int>(SocketState::Connected); });
        buffer_.clear();
        listenAgain();
    } else if (f[1] == "HI") {
        sendToFrontEnd("HERE I AM;" + timeOfDayText(loop_.now()));
    } else {
        runCommand(message, f);
    }
}

void Bridge::runCommand(std::string_view message, const CommandFields& f) {
    skipOnFailure([&] {
        const std::string command = upperAscii(f[1]);
        if (command == "@PO") {
            commands_.placeOrder(message.size() > 4 ? message.substr(4) : std::string_view{});
        } else if (command == "@CO") {
            commands_.cancelOrder(parseInt32(f[2]));
        } else if (command == "@WT_REX") {
            executionsForward_ = true;
            server_.send(wire::frame("@RAE"));
        } else if (command == "@WT_RA") {
            portfolioForward_ = true;
            server_.send(wire::frame("@GSUK"));
        }
    });
}

void Bridge::sendToFrontEnd(std::string_view text) {
    log_.addLine("OUT:" + std::string(text));
    skipOnFailure([&] { socket_.send(cp1252::fromUtf8(text)); });
}

void Bridge::sendInstruments() {
    skipOnFailure([&] {
        std::string text(1, kStart);
        text.append("@IL;");
        for (int n = 1; n <= data_.instrumentCount(); ++n) {
            const Instrument& i = data_.instruments.at(n);
            text.append(trimBlanks(i.Ticker)).append(";");
            text.append(trimBlanks(i.ZeltickerCode)).append(";");
            text.append(trimBlanks(i.Name)).append("\n");
        }
        text.back() = kEnd;
        sendToFrontEnd(text);
    });
}

void Bridge::requestPortfolio() {
    portfolioForward_ = true;
    server_.send(wire::frame("@GSUK"));
}

void Bridge::testPlaceOrder() {
    commands_.placeOrder(testOrderField.text());
}

void Bridge::testCancelOrder() {
    skipOnFailure([&] { commands_.cancelOrder(parseInt32(testCancelField.text())); });
}

void Bridge::onClose() {
    connected_ = false;
    listenAgain();
}

void Bridge::onError(const std::string&) {
    listenAgain();
}

bool Bridge::takePortfolioRequest() {
    return std::exchange(portfolioForward_, false);
}

bool Bridge::takeExecutionRequest() {
    return std::exchange(executionsForward_, false);
}

void Bridge::reportOrderStatus(int32_t orderUserId) {
    skipOnFailure([&] {
        const Order& o = data_.orderBook.at(data_.orderBook.findByOrderUserId(orderUserId));
        sendToFrontEnd(wire::frame("@OS;" + strInt(o.orderUserId) + ";" + strInt(o.status) + ";" +
                                   strInt(o.filled) + ";" + strInt(o.remaining) + ";" + strSingle(o.price)));
    });
}

void Bridge::reportExecution(const std::string& executionBody) {
    log_.addLine("Ex:" + executionBody);
}

void Bridge::statusTick() {
    if (connected_)
        statusLine_.setText(kConnected);
    else if (statusLine_.text() == kConnected)
        statusLine_.setText("Zentrivo nicht connected");
    socketStateLabel.setText(socketStateText(stateOf(socket_)));
}

} // namespace kavex
