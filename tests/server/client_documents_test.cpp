// The demo game's documents, annotation and file transfer, read through the
// client's own receive path and handlers: the files the client stores must be what the
// server meant, byte for byte.
#include "base/files.h"
#include "community/documents.h"
#include "community/file_transfer.h"
#include "core/welcome_documents.h"
#include "game_fixture.h"
#include "model/trading_data.h"
#include "platform/text_list.h"
#include "protocol/message_dispatcher.h"
#include "protocol/server_receiver.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace kavex::server::test {
namespace {

using Lines = std::vector<std::string>;

struct Client {
    Client() {
        loop.setDateTime({2024, 1, 5, 10, 30, 15}); // the client's clock shows the game's time
        documents.bind(dispatcher);
        transfer.bind(dispatcher);
    }
    kavex::test::TempDir dir;
    WorkingDirectory folder{dir.root};
    TradingData data;
    TextList incoming, outgoing, protocol;
    Label lastQuote;
    Lines shown;
    int refills = 0;
    kavex::test::FakeSystemServices system;
    kavex::test::FakeEventLoop loop;
    MessageDispatcher dispatcher{{data, incoming, outgoing, protocol, system, loop}};
    ServerReceiver receiver{loop, incoming, lastQuote, dispatcher};
    Documents documents{
        folder, loop, protocol, outgoing,
        DocumentHooks{[this](const std::string& t) { shown.push_back(t); }, [this] { ++refills; }}};
    FileTransfer transfer{folder, protocol};
};

struct ClientDocuments : ::testing::Test {
    ClientDocuments() : fx(options()) {}
    static GameOptions options() {
        GameOptions o = GameFixture::quietOptions();
        o.welcomeDocuments = true;
        return o;
    }
    // Hands everything the server sent to the session to the client, as raw wire bytes.
    void deliver(SessionId id) {
        client.receiver.onDataArrival(fx.transport.wire[id]);
        fx.transport.wire[id].clear();
    }
    GameFixture fx;
    Client client;
};

TEST_F(ClientDocuments, TheWelcomeFileArrivesByteIdenticalWithTheDocumentAndTheAnnotation) {
    fx.game.connected(1, "test");
    fx.say(1, "TTUSER=anna/HD=42");
    fx.say(1, "@U=anna%pw/OCHD=42");
    deliver(1);

    const std::string original = demoFileBytes();
    EXPECT_EQ(readFileBytes(client.dir.root / kDemoFileName), original);
    // The transfer carried every escaped byte value, one pair split by the restore chunks.
    const std::string spool = readFileBytes(client.dir.root / FileTransfer::kSpoolFile);
    EXPECT_EQ(spool.substr(9999, 2), "\xFEg");
    EXPECT_EQ(spool, escapeFileData(original));
    EXPECT_EQ(client.transfer.stage(), 3);

    EXPECT_EQ(readTextLines(client.dir.root / kInfoFileName).back(),
              "Die Datei KAVEXDEMO.BIN enthält jeden Bytewert von 0 bis 255.");
    EXPECT_EQ(client.shown, (Lines{"10:30:15 Willkommen anna! Die Datei KAVEXDEMO.BIN wird übertragen."}));
    EXPECT_TRUE(client.protocol.empty()); // no length difference, no refused name
}

} // namespace
} // namespace kavex::server::test
