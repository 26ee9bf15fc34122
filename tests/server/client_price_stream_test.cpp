// The demo game's instrument list, code table and price stream, read by the client's own
// price handlers: after every step the client's quote must be the server's.
#include "core/instrument_data.h"
#include "core/market.h"
#include "core/messages.h"
#include "session/price_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>
#include <string>

namespace kavex::server::test {
namespace {

using kavex::test::PriceFixture;

// A client price on the server's tick grid, in ticks.
int64_t ticksOf(float price, double tickSize) {
    return std::llround(static_cast<double>(price) / tickSize);
}

void expectSameQuote(const Market& market, const PriceFixture& client, int n, int step) {
    const Instrument& i = client.at(n);
    const Quote& q = market.quote(n);
    const double tick = market.setup(n).tickSize;
    ASSERT_EQ((std::array<int64_t, 5>{ticksOf(i.Last, tick), ticksOf(i.Bid, tick), ticksOf(i.Ask, tick),
                                      i.BidVolume, i.AskVolume}),
              (std::array<int64_t, 5>{q.lastTicks, q.bidTicks, q.askTicks, q.bidSize, q.askSize}))
        << "instrument " << n << ", step " << step;
    // Within a fraction of a tick of the server's price, not merely rounding to it.
    ASSERT_NEAR(i.Bid, market.bid(n), tick / 100) << n << ", step " << step;
    ASSERT_NEAR(i.Ask, market.ask(n), tick / 100) << n << ", step " << step;
}

TEST(ClientPriceStream, TheClientsQuotesFollowTheServersMarketInEveryForm) {
    Market market(loadInstruments(std::string(KAVEX_SERVER_DATA_DIR) + "/instruments.txt"), 20261207);
    PriceFixture client;
    client.receive(msg::instrumentList(market));
    ASSERT_EQ(client.data.instrumentCount(), market.count());
    for (int n = 1; n <= market.count(); ++n) {
        const InstrumentSpec& s = market.setup(n);
        const Instrument& i = client.at(n);
        EXPECT_EQ((std::vector<std::string>{i.Ticker, i.ZeltickerCode, i.Currency, i.Name}),
                  (std::vector<std::string>{s.ticker, s.code, s.currency, s.name}));
        EXPECT_EQ(i.Multiplier, static_cast<float>(s.multiplier));
        expectSameQuote(market, client, n, 0);
    }

    client.receive(msg::codeTable(market));
    ASSERT_EQ(client.codes.count(), market.count());
    for (int j = 1; j <= market.count(); ++j)
        EXPECT_EQ(client.codes.instrument(j), j);

    std::set<QuoteForm> forms;
    for (int step = 1; step <= 20000; ++step) {
        QuoteEvent event = market.step();
        forms.insert(event.form);
        client.data.instruments.at(event.instrument).Changed = false;
        client.receive(msg::quote(market, event));
        ASSERT_TRUE(client.at(event.instrument).Changed) << step;
        expectSameQuote(market, client, event.instrument, step);
    }
    EXPECT_EQ(forms.size(), 7u); // the long, the full and the five partial forms all occurred
    for (int n = 1; n <= market.count(); ++n)
        expectSameQuote(market, client, n, -1);
    EXPECT_TRUE(client.log.empty());
    EXPECT_TRUE(client.data.pricesChanged);
}

} // namespace
} // namespace kavex::server::test
