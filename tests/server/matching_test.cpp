// Order matching against set quotes: market, limit and stop orders, bracket children and
// edge cases, cancels and refusals. A bracket's happy path runs in the brackets end-to-end
// test, market-on-close orders with the session close.
#include "core/exchange.h"
#include "core/messages.h"
#include "game_fixture.h"

namespace kavex::server::test {
namespace {

struct Recorder : ExchangeListener {
    void orderOpened(int, const ServerOrder& o) override { events.push_back(msg::openOrder(o)); }
    void orderChanged(int, const ServerOrder& o) override { events.push_back(msg::orderStatus(o)); }
    void executed(int, const ServerExecution& e) override { events.push_back(msg::execution(e)); }
    void orderRejected(int, const std::string& t) override { events.push_back("@OR=" + t); }
    void cancelRejected(int, const std::string& t) override { events.push_back("@CR=" + t); }
    void booksChanged(int) override { events.push_back("books"); }
    std::vector<std::string> take() { return std::exchange(events, {}); }
    std::vector<std::string> events;
};

struct ExchangeFixture {
    ExchangeFixture() { quote(1, 200, 199, 201); } // AAA: last 100, bid 99.5, ask 100.5 (tick .5)

    void quote(int n, int64_t last, int64_t bid, int64_t ask) {
        market.setQuote(n, Quote{last, bid, ask, 10, 20, 0});
        exchange.quoteChanged(n);
    }
    void place(int32_t id, const char* side, const char* type, int32_t qty, double limit = 0,
               int16_t role = 0, int32_t parent = 0, int instrument = 1) {
        exchange.place(0, PlaceRequest{"KV0001", id, instrument, side, type, qty, limit, 0, role, parent});
    }
    const ServerOrder& order(std::size_t i) const { return exchange.account(0).orders.at(i); }

    Market market{testInstruments(), 7};
    Recorder recorder;
    LocalTime time{2024, 1, 5, 10, 30, 15};
    Exchange exchange{market, testAccounts(), [this] { return time; }, recorder};
};

TEST(ServerMatching, MarketOrderReportsOpenSubmittedExecutionFilledInThatOrder) {
    ExchangeFixture f;
    f.place(1, "BUY", "MKT", 2);
    // Bought at the ask: 2 x 100.5 x 10 = 2010, fee 2.5 per contract.
    EXPECT_EQ(
        f.recorder.take(),
        (std::vector<std::string>{"@OO=1;1;20240105;BUY;2;MKT; 0; 0;3;0;2; 0;103015;103015;DAY;1;0;0;NEU;1;0",
                                  "@OS=1;1;4;103015;0;2; 0;NEU;1; 0",
                                  "@EX=KV0001;1;1;1;EUR;1;103015;BUY;2; 100.5; 2010; 5; 0",
                                  "@OS=1;1;6;103015;2;0; 100.5;AUSGEF.;1; 0", "books"}));
}

TEST(ServerMatching, ALimitOvertakenByTheMarketFillsAtTheBetterPrice) {
    ExchangeFixture f;
    f.place(1, "SEL", "LMT", 1, 101);
    f.quote(1, 201, 200, 202); // bid 100: below the limit still
    f.quote(1, 203, 203, 204); // bid 101.5 beyond the sell limit: filled at the better bid
    EXPECT_DOUBLE_EQ(f.order(0).price, 101.5);
}

TEST(ServerMatching, StopOrdersTriggerOnTheLastPriceAndFillAtTheTouch) {
    ExchangeFixture f;
    f.place(1, "SEL", "STP", 1, 99);
    f.place(2, "BUY", "STP", 1, 101);
    f.quote(1, 199, 198, 200); // last 99.5: neither (a fill here would be at 99 or 100)
    f.quote(1, 198, 197, 199); // last 99: the sell stop, at the bid 98.5
    f.quote(1, 202, 201, 203);
    for (auto [i, price] : {std::pair{0, 98.5}, {1, 101.5}}) {
        EXPECT_EQ(f.order(i).status, kFilled) << i;
        EXPECT_DOUBLE_EQ(f.order(i).price, price) << i;
    }
}

TEST(ServerMatching, CancelReportsPendingThenCancelledRefusesUnknownOrFinishedOrdersAndTakesTheChildren) {
    ExchangeFixture f;
    f.place(1, "BUY", "LMT", 1, 90);
    f.place(2, "BUY", "MKT", 1);
    f.recorder.take();
    f.exchange.cancel(0, OrderReference{"KV0001", 1, "1"});
    EXPECT_EQ(f.recorder.take(), (std::vector<std::string>{"@OS=1;1;2;103015;0;1; 0;STORNO;1; 90",
                                                           "@OS=1;1;5;103015;0;1; 0;STORNO;1; 90"}));
    f.exchange.cancel(0, OrderReference{"KV0001", 1, "1"});
    f.exchange.cancel(0, OrderReference{"KV0001", 2, ""});
    f.exchange.cancel(0, OrderReference{"KV0001", 99, ""});
    f.exchange.cancel(0, OrderReference{"KV0002", 1, ""});
    EXPECT_EQ(f.recorder.take(),
              (std::vector<std::string>{"@CR=1: Order bereits storniert", "@CR=2: Order bereits ausgefuehrt",
                                        "@CR=99: Order unbekannt", "@CR=1: Falsches Konto KV0002"}));
    // The cancelled order stays out of matching.
    f.quote(1, 150, 149, 151);
    EXPECT_EQ(f.order(0).status, kCancelled);

    // Cancelling a main order cancels its waiting children.
    f.place(3, "BUY", "LMT", 1, 60, kBracketMain);
    f.place(4, "SEL", "MOC", 1, 0, kCloseChild, 3);
    EXPECT_EQ(f.order(3).statusInfo, "WARTET");
    f.exchange.cancel(0, OrderReference{"KV0001", 3, ""});
    EXPECT_EQ(f.order(3).status, kCancelled);
    f.exchange.closeSession();
    EXPECT_EQ(f.exchange.account(0).executions.size(), 1u); // only the market order's
}

TEST(ServerMatching, RefusalsNameTheReasonAndCreateNoOrder) {
    ExchangeFixture f;
    f.place(1, "BUY", "MKT", 1, 0, 0, 0, 4); // instrument 4 of 3
    f.place(2, "BUY", "MKT", 0);
    f.place(3, "BUY", "LMT", 1, 0);
    f.place(4, "BUY", "XYZ", 1);
    f.place(5, "XXX", "MKT", 1);
    f.place(6, "BUY", "LMT", 1, -1, 2, 99); // child of an unknown main order
    f.exchange.place(0, PlaceRequest{"KV0009", 7, 1, "BUY", "MKT", 1, 0, 0, 0, 0});
    // What a client passes on from elsewhere unchecked: the texts quoted on one line, cut short.
    f.place(9, "BUY", "mkt", 1);
    f.place(10, "BUY", "", 1);
    const std::string longType = "M\nK;\x01" + std::string(30, 'x');
    f.place(11, "BUY", longType.c_str(), 1);
    f.place(12, "BUY", "STP", 1, -5);
    EXPECT_EQ(f.recorder.take(),
              (std::vector<std::string>{
                  "@OR=1: Unbekanntes Wertpapier 4", "@OR=2: Menge 0 nicht erlaubt", "@OR=3: Limit fehlt",
                  "@OR=4: Unbekannter Ordertyp XYZ", "@OR=5: Unbekannte Richtung XXX",
                  "@OR=6: Hauptorder 99 unbekannt", "@OR=7: Falsches Konto KV0009",
                  "@OR=9: Unbekannter Ordertyp mkt", "@OR=10: Ordertyp fehlt",
                  "@OR=11: Unbekannter Ordertyp M K  xxxxxxxxxxxxxxx...", "@OR=12: Limit ungültig"}));
    EXPECT_TRUE(f.exchange.account(0).orders.empty());
    EXPECT_EQ(f.exchange.account(0).lastUserOrderId, 12) << "refused numbers are used up as well";
    f.place(8, "BUY", "LMT", 1, 90);
    f.place(8, "BUY", "LMT", 1, 90);
    EXPECT_EQ(f.recorder.events.back(), "@OR=8: OrderUserID 8 bereits vergeben");
}

TEST(ServerMatching, ChildrenOfAnAlreadyFilledMainTurnTheirOffsetsIntoPricesAroundTheFill) {
    ExchangeFixture f;
    f.place(1, "SEL", "MKT", 1); // short at the bid 99.5
    f.exchange.markBracketMain(0, OrderReference{"KV0001", 1, "1"});
    f.place(2, "BUY", "STP", 1, -2, kStopChild, 1);  // 2 above the fill
    f.place(3, "BUY", "LMT", 1, -3, kLimitChild, 1); // 3 below
    EXPECT_DOUBLE_EQ(f.order(1).limit1, 101.5);
    EXPECT_DOUBLE_EQ(f.order(2).limit1, 96.5);
    EXPECT_EQ(f.order(2).activeFlag, 1);
}

TEST(ServerMatching, ABracketMainFallsBackToPlainOnlyWithoutAChildAtTheServer) {
    ExchangeFixture f;
    f.place(1, "BUY", "LMT", 1, 90);
    f.place(2, "BUY", "LMT", 1, 91);
    f.exchange.markBracketMain(0, OrderReference{"KV0001", 1, "1"});
    f.exchange.markBracketMain(0, OrderReference{"KV0001", 2, "2"});
    f.place(3, "SEL", "STP", 1, -1, kStopChild, 2);
    f.exchange.cancel(0, OrderReference{"KV0001", 3, ""}); // a finished child still counts
    f.recorder.take();

    f.exchange.bracketQuery(0, OrderReference{"KV0001", 1, "1"}); // its children were deleted unsent
    f.exchange.bracketQuery(0, OrderReference{"KV0001", 0, "2"}); // found by order id
    EXPECT_EQ(f.order(0).bracketRole, kPlain);
    EXPECT_EQ(f.order(1).bracketRole, kBracketMain);
    const auto e = f.recorder.take();
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0], "@OO=1;1;20240105;BUY;1;LMT; 90; 0;4;0;1; 0;103015;103015;DAY;1;0;0;NEU;1;0");
    EXPECT_TRUE(e[1].starts_with("@OO=2;2;")) << e[1];

    // Unknown orders and other accounts' codes get no answer.
    f.exchange.bracketQuery(0, OrderReference{"KV0001", 77, ""});
    f.exchange.bracketQuery(0, OrderReference{"KV0002", 2, "2"});
    EXPECT_TRUE(f.recorder.events.empty());
}

} // namespace
} // namespace kavex::server::test
