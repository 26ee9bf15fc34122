// The chart's hot-field panel: columns, the actions it names, the quantity it sets, its
// drawing and hints.
#include "chart_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

namespace kavex {
namespace {

using test::DrawOp;
namespace colour = chart_colour;

class HotFieldTest : public ::testing::Test, protected test::ChartFixture {
  protected:
    void SetUp() override {
        actions.showChart = [this](int n) { chart.open(n); };
        chart.setHotFieldPanelWidth(100);
        // Older quotes far below: only the right pane, showing all 3000 points, reaches them.
        std::vector<test::Quote> quotes(150, {50, 60, 55});
        quotes.insert(quotes.end(), 100, {99, 101, 100});
        test::putHistory(data.history, 1, quotes, 40);
        openChart(1);
        chart.setVisiblePoints(1, 3000);
        chart.Form_Resize(610, 400, 17, 20);
    }
    // Height at a fraction of the panel's current scale, 0 at the bottom and 1 at the top.
    double at(double fraction) const {
        const Scale& s = chart.panel().scale();
        return s.bottom + fraction * (s.top - s.bottom);
    }
};

TEST_F(HotFieldTest, EachColumnHoldsItsRightEdgeAndTheFirstAlsoItsLeft) {
    using P = HotFieldPanel;
    // clang-format off
    const std::vector<std::pair<double, int>> rows = {
        {-0.01, P::NoColumn}, {0, P::LimitLong}, {1, P::LimitLong}, {1.001, P::MarketLong}, {2, P::MarketLong},
        {2.5, P::MarketShort}, {4, P::LimitShort}, {4.2, P::QuantityColumn}, {5, P::QuantityColumn},
        {5.01, P::NoColumn}};
    // clang-format on
    for (auto [x, column] : rows)
        EXPECT_EQ(P::columnAt(x), column) << x;
}

TEST_F(HotFieldTest, TradingColumnsOnlyNameTheirActionAndSendNothing) {
    const double y = at(0.5);
    for (double x : {0.5, 1.5, 2.5, 3.5}) {
        chart.Hotfield_MouseDown(true, x, y);
        chart.Hotfield_MouseDown(false, x, y);
    }
    chart.Hotfield_MouseDown(false, 4.5, y); // the quantity column knows only the left button
    chart.Hotfield_MouseDown(true, 5.5, y);
    EXPECT_EQ(prompts.asked,
              (std::vector<std::string>{"Limit Long", "Cancel Orders", "Market Long", "Glatt", "Market Short",
                                        "Glatt", "Limit Short", "Cancel Orders"}));
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_EQ(std::make_pair(data.entryLines.count(), actions.defaultQuantityBox().text()),
              std::make_pair(0, std::string("1")));
}

TEST_F(HotFieldTest, TheQuantityColumnSetsTheQuantityFieldAndRedrawsOnTheLeftPanesScale) {
    ASSERT_NE(chart.pane(0).scale().bottom, chart.pane(1).scale().bottom);
    EXPECT_EQ(chart.panel().scale().bottom, chart.pane(1).scale().bottom); // laid out on the right pane
    chart.Hotfield_MouseDown(true, 4.5, at(0.25)); // inside the third row from the bottom
    EXPECT_EQ(actions.defaultQuantityBox().text(), " 3");
    const Scale& leftScale = chart.pane(0).scale();
    EXPECT_EQ(chart.panel().scale(), (Scale{0, leftScale.top, 5, leftScale.bottom}));
    const double step = (leftScale.top - leftScale.bottom) / 10;
    auto grey = panel.select(DrawOp::Box, colour::kGrey);
    ASSERT_EQ(grey.size(), 1u);
    EXPECT_DOUBLE_EQ(grey[0].y1, leftScale.bottom + 2 * step);
    EXPECT_DOUBLE_EQ(grey[0].y2, leftScale.bottom + 3 * step);
    for (auto [x, fraction, text] : {std::tuple{4.5, 0.999, " 10"}, std::tuple{5.0, 0.001, " 1"}}) {
        chart.Hotfield_MouseDown(true, x, at(fraction));
        EXPECT_EQ(actions.defaultQuantityBox().text(), text);
    }
}

TEST_F(HotFieldTest, ThePanelShowsFiveColumnsAndTenNumberedRows) {
    auto boxes = panel.select(DrawOp::Box);
    ASSERT_GE(boxes.size(), 5u);
    const std::vector<int> colours{colour::kLimitLong, colour::kMarketLong, colour::kMarketShort,
                                   colour::kLimitShort, colour::kSilver};
    for (std::size_t c = 0; c < 5; ++c)
        EXPECT_EQ((std::array<double, 3>{double(boxes[c].colour), boxes[c].x1, boxes[c].x2}),
                  (std::array<double, 3>{double(colours[c]), double(c), double(c + 1)}));
    auto labels = panel.select(DrawOp::Text);
    ASSERT_GE(labels.size(), 10u);
    EXPECT_EQ(labels[0].text + labels[9].text, " 1 10");
    EXPECT_EQ(panel.select(DrawOp::Box, colour::kGrey).size(), 1u); // the quantity field says 1
}

TEST_F(HotFieldTest, HintsFollowTheMouseAndShowInTheHelpLineOnlyWhenThePanelIsVisible) {
    chart.Hotfield_MouseMove(1.5, at(0.5));
    EXPECT_EQ(chart.helpLine.text(), "Links:Market Long Rechts:Glatt");
    chart.setHotFieldPanelWidth(0); // the window's own layout
    chart.Form_Resize(610, 400, 17, 20);
    chart.Hotfield_MouseMove(4.5, at(0.5));
    EXPECT_EQ(chart.hotFieldTooltip.text(), "Stückzahl");
    EXPECT_EQ(chart.helpLine.text(), "Links:Market Long Rechts:Glatt");
}

} // namespace
} // namespace kavex
