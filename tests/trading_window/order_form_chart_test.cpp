// The chart window inside the trading window: opened from the ticker cell, redrawn by
// the refresh tick, a quantity chosen on the hot-field panel, and closing.
#include "support/form_fixture.h"
#include "support/recording_canvas.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

using test::DrawOp;

class OrderFormChartTest : public ::testing::Test, protected test::FormFixture {
  protected:
    void SetUp() override {
        writeSettings();
        startSession();
        ASSERT_EQ(form->data().InstrumentCount(), 2);
        Chart& chart = form->chart();
        chart.attach(left, right, panel);
        chart.setHotFieldPanelWidth(100);
        chart.laidOut = [this](const ChartLayout& l) {
            left = test::RecordingCanvas(l.panes[0].width, l.panes[0].height);
            right = test::RecordingCanvas(l.panes[1].width, l.panes[1].height);
            panel = test::RecordingCanvas(l.panel.width, l.panel.height);
        };
    }
    void clickGrid(int instrument, int logical) {
        const int row = form->data().gridRows.SuchRow(instrument, RowInstrument);
        form->gridActions().mouseDown(row, form->columns().map(0, logical), false);
    }
    // A click at a height of the panel, 0 its bottom and 1 its top.
    void clickPanel(bool leftButton, double x, double fraction) {
        const Scale& s = form->chart().panel().scale();
        form->chart().Hotfield_MouseDown(leftButton, x, s.bottom + fraction * (s.top - s.bottom));
    }

    test::RecordingCanvas left, right, panel;
};

TEST_F(OrderFormChartTest, TheTickerCellOpensTheChartAndTheRefreshTickRedrawsIt) {
    Chart& chart = form->chart();
    clickGrid(2, 1);
    EXPECT_EQ(form->data().ChartInstrument, 2);
    EXPECT_TRUE(chart.visible.checked());
    EXPECT_EQ(chart.title.text(), "Chart von BMW AG");

    serverSends("~2;81;0.5;1;0.5;1");
    const int clears = left.clears;
    loop.advance(150);
    EXPECT_EQ(left.clears, clears + 1);
    EXPECT_EQ(right.clears, clears + 1);
    auto ask = left.select(DrawOp::Line, chart_colour::kAsk);
    ASSERT_FALSE(ask.empty());
    EXPECT_FLOAT_EQ(static_cast<float>(ask.back().y1), 81.5f); // the newest point
    EXPECT_EQ(ask.back().x2, 3000);

    chart.Form_Unload(); // closing the window
    EXPECT_EQ(form->data().ChartInstrument, 0);
    serverSends("~2;82;0.5;1;0.5;1");
    loop.advance(150);
    EXPECT_EQ(left.clears, clears + 1);
    EXPECT_EQ(form->orderGridCells().text(4, form->columns().map(0, 9)), " 82.5");
}

TEST_F(OrderFormChartTest, TheQuantityChosenOnTheHotFieldPanelGoesIntoTheNextOrder) {
    clickGrid(1, 1);
    serverSends("~1;101;0.5;11;0.5;21");
    loop.advance(150);
    const std::vector<std::string> sentBefore = socket.sent;

    clickPanel(true, 4.5, 0.25);
    EXPECT_EQ(form->gridActions().defaultQuantityBox().text(), " 3");
    EXPECT_EQ(panel.select(DrawOp::Box, chart_colour::kGrey).size(), 1u);

    clickGrid(1, 9); // Ask: a new buy line with the chosen quantity
    form->gridActions().mouseDown(form->gridActions().lastInsertedRow(), form->columns().map(1, 10), false);
    ASSERT_EQ(socket.sent.size(), sentBefore.size() + 1);
    EXPECT_EQ(socket.sent.back(), "\x01@PO=ACC9;41;1;BUY ;MKT;3; 101.5; 0;0;0\x02");
}

} // namespace
} // namespace kavex
