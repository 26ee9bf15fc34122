// The bytes the server emits: the price messages in every form, the instrument list and
// the code table, byte for byte.
#include "base/split_fields.h"
#include "core/messages.h"
#include "game_fixture.h"

namespace kavex::server::test {
namespace {

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

} // namespace
} // namespace kavex::server::test
