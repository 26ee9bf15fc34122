// The bytes the server emits: the price and instrument messages byte for byte, the
// login burst through the client's own dispatcher, and seeded prices.
#include "base/split_fields.h"
#include "core/messages.h"
#include "game_fixture.h"
#include "support/receive_fixture.h"

#include <algorithm>

namespace kavex::server::test {
namespace {

using kavex::Handler;

TEST(ServerProtocol, PriceMessagesInEveryForm) {
    Market m(testInstruments(), 1);
    m.setQuote(1, Quote{200, 199, 201, 10, 20, 0}); // last 100, bid 99.5, ask 100.5
    auto text = [&](QuoteForm form) { return msg::quote(m, QuoteEvent{1, form}); };
    EXPECT_EQ(text(QuoteForm::Long), "@KU=1; 99.5;10; 100.5;20; 100");
    EXPECT_EQ(text(QuoteForm::Full), "~1; 100; .5;10; .5;20");
    EXPECT_EQ(text(QuoteForm::BidAsk), "^11; .5;10; .5;20");
    EXPECT_EQ(text(QuoteForm::AskWithSize), "^21; .5;20");
    EXPECT_EQ(text(QuoteForm::AskOnly), "^31; .5");
    EXPECT_EQ(text(QuoteForm::AskSize), "^41;20");
    EXPECT_EQ(text(QuoteForm::BidWithSize), "^51; .5;10");
}

TEST(ServerProtocol, InstrumentListLinesHaveTwelveFieldsAndNoTrailingSeparator) {
    Market m(testInstruments(), 1);
    m.setQuote(3, Quote{125, 124, 127, 5, 6, 0});
    const std::string list = msg::instrumentList(m);
    Fields lines = SplitFields(std::string_view(list).substr(4), "\n", 1000); // views into `list`
    ASSERT_EQ(lines.count(), 3);
    EXPECT_EQ(lines[3], "CCC;CCC.F;USD; 1.25; 1.24;5; 1.27;6;Gamma Future; 1000; .01; 5");
    EXPECT_FALSE(list.ends_with("\n"));
    EXPECT_EQ(msg::codeTable(m), "!;T;01AAA.F;BBB.S;CCC.F");
}

TEST(ServerProtocol, EveryLoginMessageReachesItsClientHandler) {
    GameFixture f;
    f.game.connected(1, "peer");
    f.say(1, "TTUSER=anna/HD=1");
    f.say(1, "@U=anna%pw/OCHD=1");
    f.say(1, "@PO=KV0001;5;1;BUY ;MKT;1; 0; 0;0;0");
    f.say(1, "@PO=KV0001;6;1;BUY ;MKT;0; 0; 0;0;0");
    f.say(1, "@CO=KV0001;77;");
    kavex::test::ReceiveFixture client;
    client.receive(f.transport.wire[1]);
    std::vector<Handler> called;
    for (const auto& c : client.calls)
        called.push_back(c.first);
    for (Handler h :
         {Handler::IdRequest, Handler::UserRequest, Handler::Welcome, Handler::ws_ud, Handler::WS_SI,
          Handler::InitTabelle, Handler::WS_SAO, Handler::WS_SAE, Handler::WS_SUD, Handler::WS_SUK,
          Handler::WS_SUP, Handler::WS_PlatzInfo, Handler::WS_ShowSystemInfo, Handler::WS_RV, Handler::WS_OO,
          Handler::WS_OS, Handler::WS_EX, Handler::WS_OR, Handler::WS_CR})
        EXPECT_NE(std::find(called.begin(), called.end(), h), called.end()) << static_cast<int>(h);
    EXPECT_EQ(client.data.account.lastUserOrderId, 0);
    for (const auto& line : client.incoming.lines())
        EXPECT_FALSE(line.starts_with("Unbekannter Befehl")) << line;
}

TEST(ServerProtocol, SameSeedSamePricesAndAnotherSeedOthers) {
    auto pricesOfSeed = [](uint64_t seed) {
        GameOptions o;
        o.quotesPerSecond = 100;
        o.seed = seed;
        GameFixture f(o);
        f.login(1);
        f.game.advance(3000);
        return f.transport.wire[1];
    };
    EXPECT_EQ(pricesOfSeed(5), pricesOfSeed(5));
    EXPECT_NE(pricesOfSeed(5), pricesOfSeed(6));
}

} // namespace
} // namespace kavex::server::test
