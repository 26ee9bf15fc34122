// The chart window on the Qt platform (offscreen): the canvas on a QImage, and the
// widget over the headless chart.
#include "gui/chart_widget.h"
#include "gui/qt_canvas.h"
#include "support/trading_fixture.h"
#include "views/chart.h"

#include <QCloseEvent>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace kavex {
namespace {

QRgb rgbOf(int colour) {
    return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

TEST(QtCanvas, MapsTheUserRectangleOntoTheImageWithPricesGrowingUpwards) {
    QtCanvas canvas;
    canvas.resize(QSize(200, 100));
    canvas.setScale(0, 110, 10, 100); // top 110, bottom 100
    EXPECT_EQ(canvas.map(0, 110), QPointF(0, 0));
    EXPECT_EQ(canvas.map(10, 100), QPointF(200, 100));

    canvas.clear(0xFFFFFF);
    canvas.line(0, 105, 10, 105, 255, 1);      // red across the middle
    canvas.fillBox(0, 110, 1, 100, 255 << 16); // blue in the first twentieth
    const QImage& image = canvas.image();
    EXPECT_EQ((std::vector<QRgb>{image.pixel(100, 50), image.pixel(5, 20), image.pixel(100, 20)}),
              (std::vector<QRgb>{rgbOf(255), rgbOf(255 << 16), rgbOf(0xFFFFFF)}));

    // Text sizes in user units follow the scale; a price scale of 10 over 100 pixels
    // makes a line of text a tenth of its pixel height.
    canvas.setFont("Arial", 8, false);
    const double height = canvas.textHeight("12");
    canvas.setScale(0, 0, 200, 100);
    EXPECT_NEAR(canvas.textHeight("12"), height * 10, 1e-9);
}

// A generated history: a slow wave with noise, spread one to two ticks.
void generateHistory(TradingData& data, int instrument, int points) {
    float mid = 100;
    for (int k = 1; k <= points; ++k) {
        mid += static_cast<float>(0.05 * std::sin(k / 40.0) + 0.03 * std::sin(k * 1.7));
        HistoryEntry& e = data.history.slot(instrument, k);
        e.Bid = std::round((mid - 0.02f) * 100) / 100;
        e.Ask = e.Bid + (k % 3 == 0 ? 0.02f : 0.01f);
        e.Last = k % 2 == 0 ? e.Bid : e.Ask;
    }
    data.history.setPos(instrument, static_cast<int16_t>(points));
}

class ChartWidgetTest : public ::testing::Test, protected test::TradingFixture {
  protected:
    void SetUp() override {
        data.history.create(2);
        data.instruments.at(1).Name = "SAP SE";
        generateHistory(data, 1, 3000);
        chart.setHotFieldPanelWidth(120);
        actions.showChart = [this](int n) { chart.open(n); };
        click(instrumentRow(1), 1, 0);
        ASSERT_TRUE(widget.isVisible());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    }
    QPoint inPanel(double x, double fraction) const {
        const PixelRect& r = chart.layout().panel;
        return QPoint(r.left + static_cast<int>(x / 5 * r.width),
                      r.top + static_cast<int>((1 - fraction) * r.height));
    }

    Chart chart{data, actions, prompts};
    ChartWidget widget{chart};
};

// How the chart reacts is tested headless; here the scroll bars, the mouse and closing
// reach it, and the painting shows it.
TEST_F(ChartWidgetTest, ScrollBarsMouseAndClosingReachTheChartAndItIsPainted) {
    widget.resize(900, 450);
    widget.scrollBar(1)->setValue(2500);
    EXPECT_LT(chart.pane(1).scale().left, 500); // the labels left of point 501

    widget.scrollBar(0)->setValue(300);
    widget.scrollBar(1)->setValue(3000);
    const QImage shot = widget.grab().toImage();
    EXPECT_EQ(shot.pixel(chart.layout().panel.left + 5, 5), qRgb(0, 192, 0)); // "Limit Long"

    QTest::mouseClick(&widget, Qt::LeftButton, {}, inPanel(0.5, 0.5));
    QTest::mouseClick(&widget, Qt::RightButton, {}, inPanel(3.5, 0.5));
    EXPECT_EQ(prompts.asked, (std::vector<std::string>{"Limit Long", "Cancel Orders"}));

    widget.close();
    EXPECT_EQ(data.chartInstrument, 0);
}

} // namespace
} // namespace kavex
