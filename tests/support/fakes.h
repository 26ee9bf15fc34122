#pragma once
// Recording stand-ins for the machine and the desktop.
#include "base/failure.h"
#include "platform/services.h"
#include "platform/socket_state.h"
#include "platform/tcp_client.h"
#include "platform/tcp_listener.h"

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kavex::test {

// Thrown by FakeSystemServices::exitImmediately(); not a std::exception, so no
// failure guard can swallow it, just as nothing stops a real process exit.
struct ProgramExited {};

class FakeSystemServices : public SystemServices {
  public:
    std::string machineId() override { return machine; }
    void setTimeOfDay(const std::string& text) override {
        if (refuseTime) throw Failure("Permission denied");
        timesSet.push_back(text);
    }
    void startProgram(const std::string& path) override { programsStarted.push_back(path); }
    void openUrl(const std::string& url) override { urlsOpened.push_back(url); }
    void beep() override { ++beeps; }
    [[noreturn]] void exitImmediately() override {
        ++exits;
        throw ProgramExited{};
    }

    std::string machine = "1234567890";
    bool refuseTime = false;
    std::vector<std::string> timesSet, programsStarted, urlsOpened;
    int beeps = 0;
    int exits = 0;
};

// What both fake sockets share: the events, the state, the bytes that arrived and were sent.
template <class Socket> class FakeSocket : public Socket {
  public:
    void setEvents(typename Socket::Events e) override { events = std::move(e); }
    void close() override { socketState = static_cast<int>(SocketState::Closed); }
    int state() const override { return socketState; }
    void readAll(std::string& out) override {
        out += inbox;
        inbox.clear();
    }
    // Test side: the peer sends.
    void deliver(std::string_view bytes) {
        inbox.append(bytes);
        if (events.dataArrival) events.dataArrival(inbox.size());
    }

    typename Socket::Events events;
    int socketState = static_cast<int>(SocketState::Closed);
    std::string inbox;
    std::vector<std::string> sent;
};

class FakeTcpClient : public FakeSocket<TcpClient> {
  public:
    void connect(const std::string& h, int, int local) override {
        host = h;
        localPort = local;
        ++connects;
        socketState = static_cast<int>(SocketState::Connecting);
    }
    void send(std::string_view bytes) override {
        if (refuseSend) throw Failure("Socket not connected");
        sent.emplace_back(bytes);
    }
    // Test side: the peer accepts.
    void acceptConnection() {
        socketState = static_cast<int>(SocketState::Connected);
        if (events.connected) events.connected();
    }

    std::string host;
    int localPort = 0, connects = 0;
    bool refuseSend = false;
};

// The bridge's listening socket. Like the Qt one, a request the handler does not accept
// is dropped unanswered, and closing from this side raises no close event.
class FakeTcpListener : public FakeSocket<TcpListener> {
  public:
    void listen(int port, const std::string& address) override {
        listenPort = port;
        listenAddress = address;
        socketState = static_cast<int>(SocketState::Listening);
    }
    void accept() override {
        if (!pending) throw Failure("No connection request");
        pending = false;
        socketState = static_cast<int>(SocketState::Connected);
    }
    std::string remoteAddress() const override { return remote; }
    std::string localAddress() const override {
        return socketState == static_cast<int>(SocketState::Closed) ? "127.0.0.1" : listenAddress;
    }
    int localPort() const override { return listenPort; }
    void send(std::string_view bytes) override {
        if (socketState != static_cast<int>(SocketState::Connected)) throw Failure("Socket is not connected");
        sent.emplace_back(bytes);
    }
    // Test side: a front-end asks to connect from `address`, or closes.
    void request(const std::string& address) {
        remote = address;
        pending = true;
        if (events.connectionRequest) events.connectionRequest(++requests);
        pending = false;
    }
    void peerCloses() {
        socketState = static_cast<int>(SocketState::Closing);
        if (events.closedByPeer) events.closedByPeer();
    }

    int listenPort = 0;
    long requests = 0;
    bool pending = false;
    std::string listenAddress, remote;
};

class FakeHttpGet : public HttpGet {
  public:
    std::string get(const std::string& url) override {
        requests.push_back(url);
        return body;
    }
    std::string body;
    std::vector<std::string> requests;
};

class FakeSound : public Sound {
  public:
    void play(const std::string& file) override { played.push_back(file); }
    std::vector<std::string> played;
};

class FakePrinter : public Printer {
  public:
    void printLine(const std::string&) override {}
    void endDocument() override {}
};

// Answers from a script and records every question.
class FakePrompts : public Prompts {
  public:
    void message(const std::string& text, const std::string& caption) override {
        asked.push_back(caption.empty() ? text : caption + ": " + text);
    }
    bool askYesNo(const std::string& text, const std::string& caption) override {
        asked.push_back(caption.empty() ? text : caption + ": " + text);
        if (whileAsking) whileAsking(); // other events run while a modal box is open
        if (yesNoAnswers.empty()) return true;
        bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    bool confirmOrders(const std::string& question, const std::string& orders) override {
        return askYesNo(question + "\n[" + orders + "]", {});
    }
    std::optional<std::string> askText(const std::string& question, const std::string&) override {
        asked.push_back(question);
        if (whileAsking) whileAsking();
        if (textAnswers.empty()) return std::nullopt;
        std::string answer = textAnswers.front();
        textAnswers.pop_front();
        return answer;
    }
    bool chooseColour(int& colour) override {
        if (colourAnswer < 0) return false;
        colour = colourAnswer;
        return true;
    }
    std::vector<std::string> asked;
    std::deque<bool> yesNoAnswers;
    std::deque<std::string> textAnswers;
    std::function<void()> whileAsking;
    int colourAnswer = -1;
};

} // namespace kavex::test
