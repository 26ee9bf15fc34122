#pragma once
// A scripted game server on the virtual clock, for whole sessions with faults in them.
//
// It answers every connect the client makes (unless told to stay away), plays the login
// exchange, sends the instrument list and the orders still working, confirms each order
// with "@OO" and each cancel with "@OS", and remembers the highest order number it has
// seen, as a server that keeps its game would. Tests break the link at any point with
// crash(), and look at what the client sent and shows afterwards.
#include "support/client_fixture.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace kavex::test {

// Every regular file of a folder by name, with its bytes.
using Snapshot = std::map<std::string, std::string>;
inline Snapshot snapshot(const std::filesystem::path& folder) {
    Snapshot files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file()) files[entry.path().filename().string()] = readFileBytes(entry.path());
    return files;
}

struct ScriptedGame : ClientFixture {
    static constexpr int kStepMs = 10;
    static constexpr const char* kInstruments = "@SI=SAP;SAP;EUR;100;99.5;10;100.5;20;SAP SE;1;0;0\n"
                                                "BMW;BMW;EUR;80;79.9;5;80.1;6;BMW AG;1;0;0";

    // What the server does after a connect; each step can be left out to play a fault.
    struct Script {
        bool accept = true;        // answers a connect at all
        bool identify = true;      // "!;ID"
        bool login = true;         // "!;USER", "@UD", "@LI"
        bool instruments = true;   // "@SI" and the working orders
        bool confirmOrders = true; // answers orders and cancels (it takes them in any case)
        bool heartbeats = true;    // "@HB" every 2 s while connected
        std::string noise;         // sent in front of every message
        bool byteByByte = false;   // every byte arrives on its own
    } script;

    // The client goes first: it holds on to the sockets below.
    ~ScriptedGame() { client.reset(); }

    // Starts serving and loads the client; the autostart login follows on the clock.
    Client& begin(const std::function<void(Settings&)>& change = {}) {
        writeSettings(change);
        return serve();
    }
    // The same with the files already in the folder.
    Client& serve() {
        loop.startTimer(kStepMs, [this] { step(); });
        load([this](ClientPlatform& p) { p.bridgeSocket = &frontEnd; });
        loop.advance(6000);
        return *client;
    }

    // The client ends as on "ENDE" and starts again in the same folder.
    void restart() {
        client->unload();
        client.reset();
        load([this](ClientPlatform& p) { p.bridgeSocket = &frontEnd; });
        loop.advance(6000);
    }
    // Quotes for instrument 1 that each add a history entry.
    void quotes(int count) {
        for (int i = 0; i < count; ++i) {
            serverSends("@KU=1;" + std::to_string(90 + i % 7) + ";10;101;20;100");
            loop.advance(1000);
        }
    }

    // The server process dies: the link drops without a goodbye and no event reaches the
    // client (as after a kill -9 behind a router); it listens again at once.
    void crash() {
        socket.socketState = static_cast<int>(SocketState::Closed);
        socket.inbox.clear();
        connected_ = false;
    }
    // The server closes the link; the client sees the close.
    void closeLink() {
        crash();
        if (socket.events.closedByPeer) socket.events.closedByPeer();
    }

    // Places an order as a front-end would; returns what the client sent for it.
    void placeOrder(const std::string& ticker, const std::string& side, int quantity,
                    const std::string& ref) {
        // A limit within the price collar around the instrument's last price.
        client->externalOrders().placeOrder(ticker + ";0;" + side + ";LMT;" + std::to_string(quantity) +
                                            (ticker == "BMW" ? ";80;0;" : ";99;0;") + ref);
    }

    // The messages sent to the server that begin with `prefix`.
    std::vector<std::string> sentWith(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& s : socket.sent)
            if (s.rfind(wire::kStart + prefix, 0) == 0) out.push_back(cp1252::toUtf8(s));
        return out;
    }
    // No message went to the server twice (logins and heartbeats aside).
    bool nothingSentTwice() const {
        std::map<std::string, int> seen;
        for (const std::string& s : socket.sent)
            if (s.find("@PO=") != std::string::npos || s.find("@CO=") != std::string::npos)
                if (++seen[s] > 1) return false;
        return true;
    }
    int logins() const { return logins_; }
    int workingAtServer() const { return static_cast<int>(working_.size()); }

    FakeTcpListener frontEnd;                // the bridge's socket
    std::map<int32_t, std::string> working_; // order number -> "@OO" body
    int32_t lastOrderNumber = 40;

  private:
    void step() {
        if (connected_ && script.heartbeats && loop.elapsedMs() % 2000 == 0) send("@HB");
        // A client that connects has given up its old link, whether the server knew or not.
        if (socket.state() == static_cast<int>(SocketState::Connecting) && script.accept) {
            connected_ = true;
            seen_ = socket.sent.size();
            socket.acceptConnection();
            if (script.identify) sendLater(10, "!;ID");
            if (script.identify && script.login) {
                sendLater(20, "!;USER");
                sendLater(30, "@UD=ACC9");
                sendLater(40, "@LI=" + std::to_string(lastOrderNumber));
                ++logins_;
            }
            if (script.identify && script.login && script.instruments) {
                sendLater(50, kInstruments);
                for (const auto& [id, body] : working_)
                    sendLater(60, "@OO=" + body);
            }
        }
        if (!connected_) return;
        for (; seen_ < socket.sent.size(); ++seen_)
            answer(cp1252::toUtf8(socket.sent[seen_]));
    }
    void answer(const std::string& framed) {
        if (framed.size() < 3) return;
        const std::string text = framed.substr(1, framed.size() - 2);
        std::vector<std::string> f;
        for (std::size_t from = text.find('=') + 1;;) {
            std::size_t to = text.find(';', from);
            f.push_back(text.substr(from, to - from));
            if (to == std::string::npos) break;
            from = to + 1;
        }
        if (text.rfind("@PO=", 0) == 0 && f.size() >= 7) {
            int32_t id = std::stoi(f[1]);
            lastOrderNumber = std::max(lastOrderNumber, std::abs(id));
            std::string body = f[1] + ";S" + f[1] + ";REF;" + f[3] + ";" + f[5] + ";" + f[4] + ";" + f[6] +
                               ";0;3;0;" + f[5] + ";0;093000;093001;DAY;" + f[2] + ";0;0;INFO;0;0";
            working_[id] = body;
            if (script.confirmOrders) sendLater(5, "@OO=" + body);
        } else if (text.rfind("@CO=", 0) == 0 && f.size() >= 2) {
            working_.erase(std::stoi(f[1]));
            if (script.confirmOrders) sendLater(5, "@OS=" + f[1] + ";x;5");
        }
    }
    void sendLater(int ms, std::string text) {
        loop.startTimer(
            ms,
            [this, text] {
                if (connected_) send(text);
            },
            true);
    }
    void send(const std::string& text) {
        const std::string bytes = cp1252::fromUtf8(script.noise + wire::frame(text));
        if (!script.byteByByte) return socket.deliver(bytes);
        for (char c : bytes)
            socket.deliver(std::string(1, c));
    }

    bool connected_ = false;
    std::size_t seen_ = 0;
    int logins_ = 0;
};

} // namespace kavex::test
