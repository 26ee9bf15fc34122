#pragma once
// A server connection on the fake platform, with a scripted server side.
#include "base/cp1252.h"
#include "model/trading_data.h"
#include "protocol/wire.h"
#include "session/order_client.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"

#include <map>
#include <memory>

namespace kavex::test {

class ScriptedHttp : public HttpGet {
  public:
    std::string get(const std::string& url) override {
        requests.push_back(url);
        auto it = documents.find(url);
        return it == documents.end() ? std::string() : it->second;
    }
    std::map<std::string, std::string> documents;
    std::vector<std::string> requests;
};

class TimedSocket : public FakeTcpClient {
  public:
    explicit TimedSocket(const FakeEventLoop& loop) : loop_(loop) {}
    void connect(const std::string& h, int remote, int local) override {
        FakeTcpClient::connect(h, remote, local);
        connectTimes.push_back(loop_.elapsedMs());
    }
    std::vector<int64_t> connectTimes;

  private:
    const FakeEventLoop& loop_;
};

struct OrderClientFixture {
    static constexpr const char* kPrimary = "http://primary.example/";
    static constexpr const char* kMirror = "http://mirror.example/";

    OrderClientFixture() {
        system.machine = "-1588190527";
        sites.primary = kPrimary;
        sites.mirror = kMirror;
        hooks.showError = [this](const std::string& text) { errors.push_back(text); };
        hooks.showCredentialsDialog = [this] {
            ++dialogs;
            if (onDialog) onDialog();
        };
    }

    OrderClient& load() {
        client =
            std::make_unique<OrderClient>(OrderClient::Dependencies{loop, socket, http, system, data, log},
                                          ConnectionSettings{user, host, password, keepServer}, hooks, sites);
        return *client;
    }

    // Runs `action` at the given time on the virtual clock (ms since the start).
    void at(int64_t ms, std::function<void()> action) {
        loop.startTimer(static_cast<int>(ms - loop.elapsedMs()), std::move(action), true);
    }
    void serverSends(std::string_view text) { socket.deliver(cp1252::fromUtf8(wire::frame(text))); }
    void scriptLogin(int64_t start) {
        at(start + 100, [this] { socket.acceptConnection(); });
        at(start + 200, [this] { serverSends("!;ID"); });
        at(start + 300, [this] { serverSends("!;USER"); });
        at(start + 400, [this] { serverSends("@WELCOME"); });
    }
    std::vector<std::string> sentTexts() const {
        std::vector<std::string> out;
        for (const std::string& bytes : socket.sent) {
            std::string text = cp1252::toUtf8(bytes);
            out.push_back(text.size() >= 2 ? text.substr(1, text.size() - 2) : text);
        }
        return out;
    }

    FakeEventLoop loop;
    TimedSocket socket{loop};
    ScriptedHttp http;
    FakeSystemServices system;
    TradingData data;
    TextList log;
    std::string user = "Jörg", host = "game.example.net", password = "geheim";
    int16_t keepServer = 0;
    TradingWindowHooks hooks;
    DiscoverySites sites;

    std::vector<std::string> errors;
    int dialogs = 0;
    std::function<void()> onDialog;
    std::unique_ptr<OrderClient> client;
};

} // namespace kavex::test
