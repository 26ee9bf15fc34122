// The server over real loopback TCP: discovery over HTTP, and raw framed sockets.
#include "core/game.h"
#include "game_fixture.h"
#include "net/discovery.h"
#include "net/network_server.h"

#include <httplib.h>

#include <thread>

namespace kavex::server::test {
namespace {

// A blocking raw client with a deadline on every read.
struct RawClient {
    explicit RawClient(uint16_t port) {
        socket.connect(asio::ip::tcp::endpoint(asio::ip::make_address("127.0.0.1"), port));
    }
    void say(std::string_view text) { asio::write(socket, asio::buffer(wire::frame(text))); }
    // Reads until a message starting with `prefix` arrives; "" when the peer closed first.
    std::string until(std::string_view prefix) {
        std::string m;
        for (;;) {
            while (buffer.next(m))
                if (m.starts_with(prefix)) return m;
            char data[8192];
            asio::error_code ec;
            const std::size_t n = socket.read_some(asio::buffer(data), ec);
            if (ec) return {};
            buffer.append(std::string_view(data, n));
        }
    }
    asio::io_context io;
    asio::ip::tcp::socket socket{io};
    FrameBuffer buffer;
};

struct LoopbackServer {
    LoopbackServer() {
        GameOptions o;
        o.quotesPerSecond = 200;
        game = std::make_unique<Game>(o, testInstruments(), testAccounts(), network, systemLocalTime,
                                      [](std::string_view) {});
        network.start(*game, std::chrono::milliseconds(5));
        thread = std::thread([this] { io.run(); });
    }
    ~LoopbackServer() {
        asio::post(io, [this] { network.stop(); });
        thread.join();
    }
    asio::io_context io;
    NetworkServer network{io, "127.0.0.1", 0, [](std::string_view) {}};
    std::unique_ptr<Game> game;
    std::thread thread;
};

TEST(ServerLoopback, RawClientLogsInAndReceivesInstrumentsAndPrices) {
    LoopbackServer server;
    RawClient c(server.network.port());
    EXPECT_EQ(c.until("!;"), "!;ID");
    c.say("TTUSER=anna/HD=1");
    EXPECT_EQ(c.until("!;"), "!;USER");
    c.say("@U=anna%pw/OCHD=1");
    EXPECT_TRUE(c.until("@SI=").starts_with("@SI=AAA;"));
    EXPECT_FALSE(c.until("~").empty());
    c.say("@PO=KV0001;1;2;BUY ;MKT;5; 0; 0;0;0");
    EXPECT_TRUE(c.until("@EX=").starts_with("@EX=KV0001;1;1;2;EUR;"));
}

TEST(ServerLoopback, DiscoveryDocumentNamesTheGamePort) {
    DiscoveryServer discovery;
    discovery.start("127.0.0.1", 0, discoveryDocument("127.0.0.1", 4100));
    httplib::Client http("127.0.0.1", discovery.port());
    for (const char* path : {"/ipkavex.html", "/ip.html", "/ipplexa.html"}) {
        auto response = http.Get(path);
        ASSERT_TRUE(response) << path;
        EXPECT_EQ(response->status, 200);
        EXPECT_EQ(response->body, "127.0.0.1:4100\r\n");
    }
    discovery.stop();
}

} // namespace
} // namespace kavex::server::test
