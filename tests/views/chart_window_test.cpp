// The chart window over the order grid: opening, layout, scroll bars and closing; and the
// sound routine.
#include "views/sound_routine.h"
#include "chart_fixture.h"
#include "support/temp_dir.h"

#include "base/files.h"

#include <gtest/gtest.h>

namespace kavex {
namespace {

using test::DrawOp;

class ChartWindowTest : public ::testing::Test, protected test::ChartFixture {
  protected:
    void SetUp() override {
        actions.showChart = [this](int n) { chart.open(n); };
        test::putHistory(data.history, 1, {{99, 101, 100}, {99.5f, 100.5f, 100}}, 2);
    }
};

TEST_F(ChartWindowTest, TheTickerClickOpensTheChartWithTitleAndHundredPointsPerPane) {
    openChart(1);
    EXPECT_EQ(data.ChartInstrument, 1);
    EXPECT_TRUE(chart.visible.checked());
    EXPECT_EQ(chart.title.text(), "Chart von SAP SE");
    EXPECT_EQ(std::make_pair(chart.pointCount(0), chart.pointCount(1)), std::make_pair(100, 100));
    // Loading drew once in the pane's own units, laying out drew again in prices.
    EXPECT_FALSE(left.texts().empty());
    EXPECT_EQ(left.select(DrawOp::Line, chart_colour::kLast).size(), 100u);
}

TEST_F(ChartWindowTest, PanesShareTheWidthAboveTheirScrollBarsAndTheHelpLine) {
    openChart(1);
    chart.Form_Resize(810, 400, 17, 20);
    const ChartLayout& l = chart.layout();
    EXPECT_EQ((std::vector<PixelRect>{l.panes[0], l.panes[1], l.panel, l.scrollBars[0], l.scrollBars[1],
                                      l.helpLine}),
              (std::vector<PixelRect>{{0, 0, 405, 363},
                                      {405, 0, 405, 363},
                                      {810, 0, 0, 363},
                                      {0, 363, 405, 17},
                                      {405, 363, 405, 17},
                                      {0, 380, 810, 20}}));

    chart.setHotFieldPanelWidth(110);
    chart.Form_Resize(810, 10, 17, 20); // too low: nothing gets a negative size
    EXPECT_EQ(chart.layout().panes[1], (PixelRect{350, 0, 350, 0}));
    EXPECT_EQ(chart.layout().panel, (PixelRect{700, 0, 110, 0}));
}

TEST_F(ChartWindowTest, AScrollBarRedrawsItsOwnPaneWithItsNewPointCount) {
    openChart(1);
    const int rightClears = right.clears;
    chart.setVisiblePoints(0, 7);
    EXPECT_EQ(left.select(DrawOp::Line, chart_colour::kLast).size(), 7u);
    EXPECT_EQ(right.clears, rightClears);
    chart.setVisiblePoints(1, 5000); // at most the ring's 3000
    chart.C_Click();
    EXPECT_EQ(right.select(DrawOp::Line, chart_colour::kLast).size(), 3000u);
}

TEST_F(ChartWindowTest, ClosingClearsTheChartInstrumentAndStopsTheRedraws) {
    openChart(1);
    chart.Form_Unload();
    EXPECT_EQ(data.ChartInstrument, 0);
    EXPECT_FALSE(chart.visible.checked());
    const int clears = left.clears;
    chart.update();
    EXPECT_EQ(left.clears, clears);
}

class SoundRoutineTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    WorkingDirectory folder{dir.root};
    test::FakeSound player;
    SoundRoutine sound{player, folder};
};

TEST_F(SoundRoutineTest, PlaysFilesOfTheWorkingDirectoryAndStaysSilentOtherwise) {
    sound.play("KavexEx.wav"); // missing
    sound.play("");
    writeFileAtomically(dir.root / "KavexEx.wav", "RIFF");
    sound.play("KavexEx.wav");
    sound.play((dir.root / "KavexEx.wav").string());
    const std::string full = (dir.root / "KavexEx.wav").string();
    EXPECT_EQ(player.played, (std::vector<std::string>{full, full}));

    struct Refusing : Sound {
        void play(const std::string&) override { throw Failure("Device unavailable"); }
    } refusing;
    SoundRoutine failing{refusing, folder};
    EXPECT_NO_THROW(failing.play("KavexEx.wav"));
}

} // namespace
} // namespace kavex
