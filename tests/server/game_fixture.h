#pragma once
// A game driven in-process: a recording transport instead of sockets, a fixed clock,
// and helpers that speak the framed protocol as a player would.
#include "core/game.h"
#include "protocol/frame_buffer.h"
#include "protocol/wire.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace kavex::server::test {

inline std::vector<InstrumentSpec> testInstruments() {
    return {
        {"AAA", "AAA.F", "EUR", "Alpha Future", 10, 100, 0.5, 10},
        {"BBB", "BBB.S", "EUR", "Beta AG", 1, 20, 0.01, 20},
        {"CCC", "CCC.F", "USD", "Gamma Future", 1000, 1.25, 0.01, 5},
    };
}

inline std::vector<AccountSpec> testAccounts() {
    return {{"anna", "pw", 100000, false}, {"ben", "p%w/x", 50000, false}, {"carl", "pw", 100000, true}};
}

class RecordingTransport : public Transport {
  public:
    void send(SessionId id, std::string_view bytes) override { wire[id].append(bytes); }
    void close(SessionId id) override { closed.insert(id); }
    std::map<SessionId, std::string> wire;
    std::set<SessionId> closed;
};

struct GameFixture {
    explicit GameFixture(GameOptions options = quietOptions(),
                         const std::vector<AccountSpec>& accounts = testAccounts(),
                         GameStore* store = nullptr)
        : game(
              options, testInstruments(), accounts, transport, [this] { return time; },
              [this](std::string_view line) { log.emplace_back(line); }, store) {}

    // No prices unless a test lets time pass on purpose.
    static GameOptions quietOptions() {
        GameOptions o;
        o.quotesPerSecond = 0;
        return o;
    }

    // The message texts sent to a session since the last call (UTF-8).
    std::vector<std::string> take(SessionId id) {
        FrameBuffer buffer;
        buffer.append(transport.wire[id]);
        transport.wire[id].clear();
        std::vector<std::string> out;
        std::string m;
        while (buffer.next(m))
            out.push_back(m);
        return out;
    }

    void say(SessionId id, std::string_view text) { game.received(id, wire::frame(text)); }

    // Connects and logs in; the login messages are taken.
    void login(SessionId id, const std::string& user = "anna", const std::string& password = "pw") {
        game.connected(id, "test:" + std::to_string(id));
        say(id, "TTUSER=" + user + "/HD=42");
        say(id, "@U=" + user + "%" + password + "/OCHD=42");
        take(id);
    }

    LocalTime time{2024, 1, 5, 10, 30, 15};
    RecordingTransport transport;
    std::vector<std::string> log;
    Game game;
};

// The messages of a list whose text starts with `prefix`.
inline std::vector<std::string> starting(const std::vector<std::string>& messages, std::string_view prefix) {
    std::vector<std::string> out;
    for (const auto& m : messages)
        if (m.starts_with(prefix)) out.push_back(m);
    return out;
}

} // namespace kavex::server::test
