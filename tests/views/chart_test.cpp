// The chart: its scale arithmetic, one pane drawn on a recording canvas, the chart window
// over the order grid, its hot-field panel, the price list of the chart instrument, and
// the sound routine.
#include "base/files.h"
#include "session/price_fixture.h"
#include "support/recording_canvas.h"
#include "support/temp_dir.h"
#include "support/trading_fixture.h"
#include "views/chart.h"
#include "views/chart_pane.h"
#include "views/price_list.h"
#include "views/price_scale.h"
#include "views/sound_routine.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <tuple>
#include <vector>

namespace kavex {
namespace {

using test::DrawOp;
using test::RecordingCanvas;
namespace colour = chart_colour;

// Writes quotes into an instrument's history ring so that the last one given is the
// newest entry and lies in the chosen slot.
struct Quote {
    float bid, ask, last;
};

void putHistory(PriceHistory& history, int instrument, const std::vector<Quote>& oldestFirst,
                int newestSlot) {
    int n = static_cast<int>(oldestFirst.size());
    for (int k = 0; k < n; ++k) {
        int slot = ((newestSlot - (n - 1 - k)) % 3000 + 3000 - 1) % 3000 + 1;
        HistoryEntry& e = history.slot(instrument, slot);
        e.Bid = oldestFirst[static_cast<std::size_t>(k)].bid;
        e.Ask = oldestFirst[static_cast<std::size_t>(k)].ask;
        e.Last = oldestFirst[static_cast<std::size_t>(k)].last;
    }
    history.setPos(instrument, static_cast<int16_t>(newestSlot));
}

// A chart window over the order grid fixture, drawing on recording canvases.
struct ChartFixture : test::TradingFixture {
    ChartFixture() {
        data.history.create(2);
        data.instruments.at(1).Name = "SAP SE";
        putHistory(data.history, 1, {{99, 101, 100}, {99.5f, 100.5f, 100}}, 2);
        actions.showChart = [this](int n) { chart.open(n); };
        chart.attach(left, right, panel);
        chart.laidOut = [this](const ChartLayout& l) {
            left = RecordingCanvas(l.panes[0].width, l.panes[0].height);
            right = RecordingCanvas(l.panes[1].width, l.panes[1].height);
            panel = RecordingCanvas(l.panel.width, l.panel.height);
        };
    }
    void openChart(int n) { click(instrumentRow(n), 1, 0); }

    Chart chart{data, actions, prompts};
    RecordingCanvas left, right, panel;
};

TEST(NiceStep, TheFirstMatchingRowGivesTheStepOthersStayAsTheyAre) {
    // One step for a whole decade (0.015); 50000 is in two rows and the first wins.
    // clang-format off
    const std::vector<std::pair<float, float>> rows = {
        {0, 0.001f}, {0.00199999f, 0.001f}, {0.002f, 0.01f}, {0.015f, 0.01f}, {50000, 25000}, {9999999, 5000000},
        // Values outside every row, one of them between two rows, come back unchanged.
        {std::nextafter(0.00199999f, 1.0f), std::nextafter(0.00199999f, 1.0f)}, {199.9995f, 199.9995f},
        {-1, -1}, {2e7f, 2e7f}};
    // clang-format on
    for (auto [range, step] : rows)
        EXPECT_EQ(niceStep(range), step) << range;
}

TEST(LevelLabel, LabelsCutTowardsMinusInfinity) {
    EXPECT_EQ((std::vector<std::string>{levelLabel(1234500), levelLabel(-100), levelLabel(10000000),
                                        levelLabel(9925000)}),
              (std::vector<std::string>{" 12.34", "-.01", " 100", " 99.25"}));
}

TEST(PriceLevels, AStepBelowOneUnitOrARangeBeyondExactUnitsHasNoLevels) {
    for (auto [range, step] : {std::pair{PriceRange{1, 2}, 0.000001f}, {PriceRange{0, 3e38f}, 1e30f}})
        EXPECT_TRUE(priceLevels(range, step, 100).empty()) << range.maximum;
}

TEST(PriceRangeOfPoints, HighestAskAndLowestBidOfTheNewestPointsEmptySlotsOnlyRaiseTheMaximum) {
    PriceHistory history;
    history.create(2);
    auto range = [&](int instrument, int points) {
        const PriceRange r = priceRange(history, instrument, points);
        return std::pair<float, float>{r.minimum, r.maximum};
    };
    // No points or no ring keep the starting values; empty slots raise the maximum to 0.
    for (auto [instrument, points] : {std::pair{1, 0}, {3, 100}, {0, 100}})
        EXPECT_EQ(range(instrument, points), (std::pair<float, float>{1000000, -999999}));
    EXPECT_EQ(range(1, 100), (std::pair<float, float>{1000000, 0}));
    putHistory(history, 1, {{90, 200, 0}, {99, 101, 100}, {98.5f, 100.5f, 99}, {99.5f, 100, 100}}, 2);
    EXPECT_EQ(range(1, 3), (std::pair<float, float>{98.5f, 101}));
    EXPECT_EQ(range(1, 100), (std::pair<float, float>{90, 200})); // the 96 empty slots are skipped
    putHistory(history, 2, {{-5, -3, -4}}, 1);
    EXPECT_EQ(range(2, 100), (std::pair<float, float>{-5, 0})); // an empty slot's ask raised it
}

class PaneDrawingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        history.create(1);
        pane.resize(400, 300);
    }
    void draw(int n) { pane.draw(canvas, history, 1, n); }
    // Lines of one colour that lie in the data area (the points), in drawing order.
    std::vector<DrawOp> pointLines(int c) const {
        std::vector<DrawOp> out;
        for (const DrawOp& op : canvas.select(DrawOp::Line, c))
            if (op.x1 >= 0 && op.x1 <= 3000) out.push_back(op);
        return out;
    }

    PriceHistory history;
    ChartPane pane;
    RecordingCanvas canvas{400, 300};
};

TEST_F(PaneDrawingTest, TheFirstDrawingMeasuresInTwipsAndLaterOnesInPrices) {
    putHistory(history, 1, {{99, 101, 100}, {99.5f, 100.5f, 100}}, 2);
    EXPECT_EQ(pane.scale(), (Scale{0, 0, 6000, 4500}));
    draw(100);                   // a label of 13 pixels is 195 twips: levels 500 apart, none in range
    const double r = 48.0 / 400; // "1111.112" against the pane width
    const Scale& s = pane.scale();
    EXPECT_NEAR(s.left, 2900 - 105 * r, 1e-9);
    EXPECT_NEAR(s.right, 3005 + 105 * r, 1e-9);
    EXPECT_NEAR(s.top, 101.2, 1e-5);
    EXPECT_NEAR(s.bottom, 98.8, 1e-5);
    EXPECT_TRUE(canvas.texts().empty());
    draw(100); // 3 labels are now .312 in prices: levels .25 apart
    std::vector<std::string> expected;
    for (const char* label : {" 99.25", " 99.5", " 99.75", " 100", " 100.25", " 100.5", " 100.75", " 101"})
        expected.insert(expected.end(), 2, label); // right scale, then left scale
    EXPECT_EQ(canvas.texts(), expected);
}

TEST_F(PaneDrawingTest, CentLevelsAreLabelledWithTheirOwnCents) {
    putHistory(history, 1, {{12.0f, 12.05f, 12.02f}}, 1);
    draw(1);
    draw(1); // 3 labels are .0078 in prices: levels .01 apart
    std::vector<std::string> expected;
    for (const char* label : {" 12.01", " 12.02", " 12.03", " 12.04", " 12.05"})
        expected.insert(expected.end(), 2, label);
    EXPECT_EQ(canvas.texts(), expected);
}

TEST_F(PaneDrawingTest, AScrollPositionOfNShowsTheNewestNPointsAcrossTheRingsEnd) {
    putHistory(history, 1, {{1, 9, 5}, {2, 8, 5}, {2, 7, 6}, {3, 7, 6}}, 2);
    draw(3);
    auto ask = pointLines(colour::kAsk);
    std::vector<std::array<double, 4>> askCoordinates;
    for (const DrawOp& op : ask)
        askCoordinates.push_back({op.x1, op.y1, op.x2, op.y2});
    // Point 2998 is the second quote: no predecessor, so no connector; the ask fell at
    // 2998, so a connector there; unchanged at 2999, so none.
    EXPECT_EQ(askCoordinates,
              (std::vector<std::array<double, 4>>{
                  {2997, 8, 2998, 8}, {2998, 8, 2998, 7}, {2998, 7, 2999, 7}, {2999, 7, 3000, 7}}));
    EXPECT_EQ(pointLines(colour::kBid).size(), 4u); // 2, 2, a connector 2 -> 3, 3
    EXPECT_EQ(pointLines(colour::kLast).size(), 3u);
}

TEST_F(PaneDrawingTest, FlatPricesAreDrawnInThePreviousCoordinateSystem) {
    putHistory(history, 1, {{99, 101, 100}}, 1);
    draw(50);
    const Scale before = pane.scale();
    putHistory(history, 1, {{100, 100, 100}}, 1);
    draw(1);
    EXPECT_EQ(pane.scale(), before);
    EXPECT_EQ(canvas.top, before.top);
    EXPECT_FALSE(pointLines(colour::kLast).empty());
}

TEST_F(PaneDrawingTest, AnEmptyHistoryTurnsTheScaleUpsideDownAndDrawsNoLevels) {
    draw(100);
    draw(100);
    EXPECT_FLOAT_EQ(static_cast<float>(pane.scale().top), -100000);
    EXPECT_FLOAT_EQ(static_cast<float>(pane.scale().bottom), 1100000);
    EXPECT_TRUE(canvas.texts().empty());
    EXPECT_EQ(pointLines(colour::kAsk).size(), 100u); // the zeros, without connectors
}

TEST_F(PaneDrawingTest, ARangeThatGrewByOrdersOfMagnitudeSkipsItsLevelsForOneDrawing) {
    putHistory(history, 1, {{100, 100.01f, 100}}, 1);
    draw(1);
    draw(1);
    putHistory(history, 1, {{1, 50000, 100}}, 1);
    draw(1); // the narrow step would give thousands of levels
    EXPECT_TRUE(canvas.texts().empty());
    draw(1);
    EXPECT_FALSE(canvas.texts().empty());
    EXPECT_LT(canvas.texts().size(), 60u);
}

class ChartWindowTest : public ::testing::Test, protected ChartFixture {};

TEST_F(ChartWindowTest, TheTickerClickOpensTheChartEachScrollBarRedrawsItsPaneAndClosingStopsIt) {
    openChart(1);
    EXPECT_EQ(data.chartInstrument, 1);
    EXPECT_EQ(std::make_pair(chart.pointCount(0), chart.pointCount(1)), std::make_pair(100, 100));
    // Loading drew once in the pane's own units, laying out drew again in prices.
    EXPECT_FALSE(left.texts().empty());
    EXPECT_EQ(left.select(DrawOp::Line, colour::kLast).size(), 100u);

    const int rightClears = right.clears;
    chart.setVisiblePoints(0, 7);
    EXPECT_EQ(left.select(DrawOp::Line, colour::kLast).size(), 7u);
    EXPECT_EQ(right.clears, rightClears);
    chart.setVisiblePoints(1, 5000); // at most the ring's 3000
    chart.redrawPanes();
    EXPECT_EQ(right.select(DrawOp::Line, colour::kLast).size(), 3000u);

    chart.unload();
    EXPECT_EQ(data.chartInstrument, 0);
    const int clears = left.clears;
    chart.update();
    EXPECT_EQ(left.clears, clears);
}

TEST_F(ChartWindowTest, FillsAreMarkedAtTheirTimeAndPriceTheAlarmLevelIsALineAndAClickShowsAFill) {
    data.history.slot(1, 1).Time = 46000 + 9.0 / 24;                // 09:00:00
    data.history.slot(1, 2).Time = 46000 + 9.0 / 24 + 10.0 / 86400; // 09:00:10
    auto fill = [&](const char* id, const char* action, float price, const char* time, int16_t instrument) {
        Execution e;
        e.executionId = id;
        e.orderId = "A1";
        e.action = action;
        e.quantity = 3;
        e.price = price;
        e.execTime = time;
        e.instrumentNumber = instrument;
        data.executionList.append(e);
    };
    fill("E1", "BOT", 100.2f, "090005", 1);
    fill("E2", "SLD", 100.4f, "090030", 1);
    fill("E0", "BOT", 100, "085959", 1); // before the oldest point shown
    fill("E3", "BOT", 100, "090005", 2); // another instrument
    data.alerts.set("SAP", 100.7f, 100);
    openChart(1);
    const std::vector<ExecutionMarker>& got = chart.markers(0).markers();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(std::make_tuple(got[0].x, got[0].price, got[0].execution, got[0].buy),
              std::make_tuple(2999.0, double(100.2f), 1, true));
    EXPECT_EQ(std::make_tuple(got[1].x, got[1].price, got[1].execution, got[1].buy),
              std::make_tuple(3000.0, double(100.4f), 2, false));
    // An up triangle in the buy colour with its tip above the price, a down one in the sell colour.
    for (const auto& [c, price, up] :
         {std::tuple{colour::kLimitLong, 100.2f, true}, {colour::kLimitShort, 100.4f, false}}) {
        const std::vector<DrawOp> rows = left.select(DrawOp::Line, c);
        ASSERT_EQ(rows.size(), 10u);
        EXPECT_EQ(rows.front().x2 - rows.front().x1, 0);
        EXPECT_EQ(rows.front().y1 > price, up);
        EXPECT_EQ(rows.back().y1 > price, !up);
    }
    const std::vector<DrawOp> level = left.select(DrawOp::Line, chart_colour::rgb(255, 140, 0));
    ASSERT_EQ(level.size(), 1u);
    EXPECT_EQ(std::make_tuple(level[0].y1, level[0].y2, level[0].x2),
              std::make_tuple(double(100.7f), double(100.7f), 3005.0));

    const ChartPane& pane = chart.pane(0);
    const double xPx = (2999 - pane.scale().left) / pane.scale().width() * pane.widthPx();
    const double yPx = (100.2f - pane.scale().top) / pane.scale().height() * pane.heightPx();
    chart.paneClicked(0, xPx + 2, yPx - 2);
    EXPECT_EQ(prompts.asked.back(),
              "Ausführung: Ausführung E1\nOrder A1\nBOT 3 zu 100.2\nZeit 090005\nBetrag 0  Kommission 0");
    const std::size_t asked = prompts.asked.size();
    chart.paneClicked(0, xPx + 40, yPx);
    EXPECT_EQ(prompts.asked.size(), asked);
}

TEST(SoundRoutine, PlaysFilesOfTheWorkingDirectoryAndStaysSilentOtherwise) {
    test::TempDir dir;
    WorkingDirectory folder{dir.root};
    test::FakeSound player;
    SoundRoutine sound{player, folder};
    sound.play("KavexEx.wav"); // missing
    writeFileAtomically(dir.root / "KavexEx.wav", "RIFF");
    sound.play("KavexEx.wav");
    EXPECT_EQ(player.played, (std::vector<std::string>{(dir.root / "KavexEx.wav").string()}));

    struct Refusing : Sound {
        void play(const std::string&) override { throw Failure("Device unavailable"); }
    } refusing;
    SoundRoutine failing{refusing, folder};
    EXPECT_NO_THROW(failing.play("KavexEx.wav"));
}

class HotFieldTest : public ::testing::Test, protected ChartFixture {
  protected:
    void SetUp() override {
        chart.setHotFieldPanelWidth(100);
        // Older quotes far below: only the right pane, showing all 3000 points, reaches them.
        std::vector<Quote> quotes(150, {50, 60, 55});
        quotes.insert(quotes.end(), 100, {99, 101, 100});
        putHistory(data.history, 1, quotes, 40);
        openChart(1);
        chart.setVisiblePoints(1, 3000);
        chart.resize(610, 400, 17, 20);
    }
    // Height at a fraction of the panel's current scale, 0 at the bottom and 1 at the top.
    double at(double fraction) const {
        const Scale& s = chart.panel().scale();
        return s.bottom + fraction * (s.top - s.bottom);
    }
};

TEST_F(HotFieldTest, TradingColumnsOnlyNameTheirActionAndSendNothing) {
    const double y = at(0.5);
    for (double x : {0.5, 1.5, 2.5, 3.5}) {
        chart.hotFieldPressed(true, x, y);
        chart.hotFieldPressed(false, x, y);
    }
    chart.hotFieldPressed(false, 4.5, y); // the quantity column knows only the left button
    chart.hotFieldPressed(true, 5.5, y);
    EXPECT_EQ(prompts.asked.size(), 8u);
    EXPECT_EQ(prompts.asked[1], "Cancel Orders");
    EXPECT_TRUE(socket.sent.empty());
    EXPECT_EQ(std::make_pair(data.entryLines.count(), actions.defaultQuantityBox().text()),
              std::make_pair(0, std::string("1")));
}

TEST_F(HotFieldTest, TheQuantityColumnSetsTheQuantityOnTheScaleOfTheLeftPane) {
    // A click redraws the panel on the left pane's scale, which differs from the right one.
    ASSERT_NE(chart.pane(0).scale().bottom, chart.pane(1).scale().bottom);
    EXPECT_EQ(chart.panel().scale().bottom, chart.pane(1).scale().bottom); // laid out on the right pane
    chart.hotFieldPressed(true, 4.5, at(0.25)); // inside the third row from the bottom
    EXPECT_EQ(actions.defaultQuantityBox().text(), " 3");
    EXPECT_EQ(chart.panel().scale().bottom, chart.pane(0).scale().bottom);
    for (auto [x, fraction, text] : {std::tuple{4.5, 0.999, " 10"}, std::tuple{5.0, 0.001, " 1"}}) {
        chart.hotFieldPressed(true, x, at(fraction));
        EXPECT_EQ(actions.defaultQuantityBox().text(), text);
    }
}

TEST(PriceList, ShowsTheChartInstrumentsHistoryOldestFirstWhenFilledAndNothingWithoutOne) {
    test::PriceFixture f;
    PriceList window{f.data};
    f.instrumentList(2);
    f.loop.advance(5 * 60 * 1000 + 1500); // 09:35:01.5
    f.receive("~2;100;0.5;1;0.25;1");
    f.loop.advance(3600 * 1000); // 10:35:01.5
    f.receive("@KU=2;-1;1;1.5E-07;1;0.1");
    f.receive("~1;7;1;1;1;1");

    f.data.chartInstrument = 2;
    window.fill();
    const auto& lines = window.list().lines();
    ASSERT_EQ(lines.size(), 3000u);
    EXPECT_EQ(
        std::vector<std::string>(lines.end() - 3, lines.end()),
        (std::vector<std::string>{"000000; 0; 0; 0", "093501; 99.5; 100; 100.25", "103501;-1; .1; 1.5E-07"}));

    f.receive("~2;50;1;1;1;1");
    window.lineClicked(17); // a click on any line refills
    EXPECT_EQ(window.list().back(), "103501; 49; 50; 51");

    f.data.chartInstrument = 0;
    window.fill();
    EXPECT_TRUE(window.list().empty());
}

} // namespace
} // namespace kavex
