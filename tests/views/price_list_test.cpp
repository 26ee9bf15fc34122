// The price list window: the chart instrument's history as text lines.
#include "session/price_fixture.h"

#include "views/price_list.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

using test::PriceFixture;

TEST(PriceList, ShowsTheChartInstrumentsHistoryOldestFirstWhenFilledAndNothingWithoutOne) {
    PriceFixture f;
    PriceList window{f.data};
    window.fill_Click(); // no instrument list yet
    EXPECT_TRUE(window.list().empty());
    f.instrumentList(2);
    f.loop.advance(5 * 60 * 1000 + 1500); // 09:35:01.5
    f.receive("~2;100;0.5;1;0.25;1");
    f.loop.advance(3600 * 1000); // 10:35:01.5
    f.receive("@KU=2;-1;1;1.5E-07;1;0.1");
    f.receive("~1;7;1;1;1;1");

    f.data.chartInstrument = 2;
    window.fill_Click();
    const auto& lines = window.list().lines();
    ASSERT_EQ(lines.size(), 3000u);
    EXPECT_EQ(
        std::vector<std::string>(lines.end() - 3, lines.end()),
        (std::vector<std::string>{"000000; 0; 0; 0", "093501; 99.5; 100; 100.25", "103501;-1; .1; 1.5E-07"}));

    f.receive("~2;50;1;1;1;1"); // filled only on request
    EXPECT_EQ(window.list().back(), "103501;-1; .1; 1.5E-07");
    window.list_Click(17); // a click on any line refills
    EXPECT_EQ(window.list().back(), "103501; 49; 50; 51");
    EXPECT_EQ(window.list().size(), 3000u);

    f.data.chartInstrument = 0;
    window.fill_Click();
    EXPECT_TRUE(window.list().empty());
}

} // namespace
} // namespace kavex
