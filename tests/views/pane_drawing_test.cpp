// One chart pane drawn on a recording canvas: scale and level labels, the point lines
// across the ring's end, flat and empty histories.
#include "views/chart_pane.h"
#include "history_builder.h"
#include "support/recording_canvas.h"

#include <gtest/gtest.h>

#include <array>

namespace kavex {
namespace {

using test::DrawOp;
using test::putHistory;
using test::RecordingCanvas;
namespace colour = chart_colour;

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
    EXPECT_EQ(std::make_pair(canvas.family, canvas.pointSize), std::make_pair(std::string("Arial"), 8));
    draw(100); // 3 labels are now .312 in prices: levels .25 apart
    std::vector<std::string> expected;
    for (const char* label : {" 99.25", " 99.5", " 99.75", " 100", " 100.25", " 100.5", " 100.75", " 101"})
        expected.insert(expected.end(), 2, label); // right scale, then left scale
    EXPECT_EQ(canvas.texts(), expected);
    auto texts = canvas.select(DrawOp::Text);
    const double h3 = 3 * 13 * 2.4 / 300;
    EXPECT_NEAR(texts[0].x1, 3005 + 105 * r / 9, 1e-9); // at the end of the right tick
    EXPECT_NEAR(texts[0].y1, 99.25 + h3 / 6, 1e-5);     // centred on the level
    EXPECT_NEAR(texts[1].x1, 2900 - 105 * r, 1e-9);
    auto grid = canvas.select(DrawOp::Line, colour::kGrey);
    ASSERT_EQ(grid.size(), 8u);
    EXPECT_EQ((std::array<double, 3>{grid[0].x1, grid[0].x2, double(grid[0].width)}),
              (std::array<double, 3>{2900, 3005, 2}));
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
    auto last = pointLines(colour::kLast);
    ASSERT_EQ(last.size(), 3u);
    EXPECT_EQ((std::array<double, 3>{last[2].y1, double(last[2].width), double(ask[0].width)}),
              (std::array<double, 3>{6, 3, 1}));

    draw(1); // one point: its three lines, no connectors
    ask = pointLines(colour::kAsk);
    EXPECT_EQ(ask.size() + pointLines(colour::kBid).size(), 2u);
    EXPECT_EQ(ask[0].x1, 2999);
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

} // namespace
} // namespace kavex
