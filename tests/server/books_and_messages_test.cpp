// Holdings, cash and results: reductions, reversals and shorts, and the account messages
// built from them byte for byte; the price messages in every form, the instrument list and
// the code table, byte for byte. (Ranking ties are seen by the client at login.)
#include "base/split_fields.h"
#include "core/messages.h"
#include "game_fixture.h"

namespace kavex::server::test {
namespace {

struct Books : ::testing::Test {
    void SetUp() override { market.setQuote(1, Quote{220, 219, 221, 1, 1, 0}); } // AAA last 110
    Market market{testInstruments(), 1};
};

TEST_F(Books, ReducingRealisesProfitAndAReversalOpensAtTheFillPrice) {
    Ledger l(1000);
    EXPECT_DOUBLE_EQ(l.applyFill(1, 2, 100, 10, 5), 0);
    EXPECT_DOUBLE_EQ(l.applyFill(1, 2, 104, 10, 5), 0);
    EXPECT_DOUBLE_EQ(l.holdings().at(1).averagePrice, 102);
    // Sell 5 at 110: 4 closed with (110 - 102) x 10 each, 1 opened short at 110.
    EXPECT_DOUBLE_EQ(l.applyFill(1, -5, 110, 10, 12.5), 320);
    EXPECT_EQ(l.holdings().at(1).quantity, -1);
    EXPECT_DOUBLE_EQ(l.holdings().at(1).averagePrice, 110);
    EXPECT_DOUBLE_EQ(l.cash(), 1000 + 320 - 22.5);
    // Buying the short back at 100 earns 10 x 10; the flat holding is kept for the day.
    EXPECT_DOUBLE_EQ(l.applyFill(1, 1, 100, 10, 2.5), 100);
    EXPECT_EQ(l.holdings().at(1).quantity, 0);
    EXPECT_DOUBLE_EQ(l.applyFill(1, 3, 90, 10, 0), 0); // reopening starts a new average
    EXPECT_DOUBLE_EQ(l.holdings().at(1).averagePrice, 90);
}

TEST_F(Books, ValuationMarginAndResultsAgree) {
    Ledger l(10000);
    l.applyFill(1, -3, 100, 10, 7.5); // short 3 at 100, last now 110
    EXPECT_DOUBLE_EQ(l.unrealised(market), -300);
    EXPECT_DOUBLE_EQ(l.holdingMargin(market, 1), 330); // 10 % of the value
    EXPECT_DOUBLE_EQ(l.equity(market), 10000 - 7.5 - 300);
    EXPECT_DOUBLE_EQ(l.todayResult(market), -307.5);
}

TEST_F(Books, UserDataAndAccountFiguresCarryTheLedgerInTheirFieldOrder) {
    TradingAccount a{testAccounts()[0], "KV0001", "20240105", Ledger(100000), {}, {}, 0};
    a.ledger.applyFill(1, 2, 100, 10, 5);
    a.ledger.applyFill(2, -100, 20, 1, 2.5);
    market.setQuote(2, Quote{2100, 2099, 2101, 1, 1, 0}); // BBB last 21
    // Today's result (+200 on AAA, -100 on BBB, fees 7.5), earlier result; then quantity,
    // margin, cost, value and instrument of AAA, then of BBB.
    EXPECT_EQ(msg::userData(a, market), "@SUD= 92.5; 0;2; 220; 2000; 2200;1;-100; 420;-2000;-2100;2");
    EXPECT_EQ(msg::accountFigures(a, market, Places{2, 1}), "@SUK=20240105;anna; 100092.5; 0; 92.5;2;1; 640");
    EXPECT_EQ(msg::ranking(a, market, Places{2, 1}), "@SUP=2;1; 640");
    a.ledger.applyFill(2, 100, 21, 1, 0); // BBB bought back: listed flat for the rest of the day
    EXPECT_TRUE(msg::userData(a, market).ends_with(";0; 0; 0; 0;2")) << msg::userData(a, market);
}

TEST(ServerProtocol, PriceMessagesInEveryFormTheInstrumentListAndTheCodeTable) {
    Market m(testInstruments(), 1);
    m.setQuote(1, Quote{200, 199, 201, 10, 20, 0}); // last 100, bid 99.5, ask 100.5
    m.setQuote(3, Quote{125, 124, 127, 5, 6, 0});
    auto text = [&](QuoteForm form) { return msg::quote(m, QuoteEvent{1, form}); };
    EXPECT_EQ(
        (std::vector<std::string>{text(QuoteForm::Long), text(QuoteForm::Full), text(QuoteForm::BidAsk),
                                  text(QuoteForm::AskWithSize), text(QuoteForm::AskOnly),
                                  text(QuoteForm::AskSize), text(QuoteForm::BidWithSize)}),
        (std::vector<std::string>{"@KU=1; 99.5;10; 100.5;20; 100", "~1; 100; .5;10; .5;20",
                                  "^11; .5;10; .5;20", "^21; .5;20", "^31; .5", "^41;20", "^51; .5;10"}));
    // Twelve fields a line, no separator after the last line.
    const std::string list = msg::instrumentList(m);
    Fields lines = SplitFields(std::string_view(list).substr(4), "\n", 1000); // views into `list`
    ASSERT_EQ(lines.count(), 3);
    EXPECT_EQ(lines[3], "CCC;CCC.F;USD; 1.25; 1.24;5; 1.27;6;Gamma Future; 1000; .01; 5");
    EXPECT_EQ(msg::codeTable(m), "!;T;01AAA.F;BBB.S;CCC.F");
}

} // namespace
} // namespace kavex::server::test
