// The chart window inside the trading window: opened from the ticker cell, redrawn by
// the refresh tick, hot-field clicks, and closing.
#include "base/cp1252.h"
#include "base/files.h"
#include "protocol/wire.h"
#include "support/fakes.h"
#include "support/recording_canvas.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "trading_window/order_form.h"

#include <gtest/gtest.h>

#include <memory>

namespace kavex {
namespace {

using test::DrawOp;

class OrderFormChartTest : public ::testing::Test {
  protected:
    void SetUp() override {
        writeTextLines(dir.root / "Kavex.Ini", {"\"anna\"", "\"127.0.0.1\"", " 1 ", "\"\"", "\"\"", " 0 ", "",
                                                "", " 0 ", " 0 ", " 0 ", " 0 ", " 0 ", "pw", ""});
        form = std::make_unique<OrderForm>(OrderFormPlatform{
            loop, socket, http, sound, system, prompts, dialogs, folder, "kavex", NumberLocale{','}, {}, {}});
        form->endProgram = [] {};
        form->chart().attach(left, right, panel);
        form->chart().setHotFieldPanelWidth(100);
        form->chart().laidOut = [this](const ChartLayout& l) {
            left = test::RecordingCanvas(l.panes[0].width, l.panes[0].height);
            right = test::RecordingCanvas(l.panes[1].width, l.panes[1].height);
            panel = test::RecordingCanvas(l.panel.width, l.panel.height);
        };
        form->Form_Load();
        at(5060, [this] { socket.acceptConnection(); });
        at(5070, [this] { serverSends("!;ID"); });
        at(5080, [this] { serverSends("!;USER"); });
        at(5090, [this] { serverSends("@UD=ACC9"); });
        at(5100, [this] { serverSends("@LI=40"); });
        at(5110, [this] {
            serverSends("@SI=SAP;DE0007164600;EUR;100;99.5;10;100.5;20;SAP SE;1;0;0\n"
                        "BMW;DE0005190003;EUR;80;79.9;5;80.1;6;BMW AG;1;0;0");
        });
        loop.advance(6000);
        ASSERT_EQ(form->data().InstrumentCount(), 2);
    }
    void at(int64_t ms, std::function<void()> action) {
        loop.startTimer(static_cast<int>(ms - loop.elapsedMs()), std::move(action), true);
    }
    void serverSends(const std::string& text) { socket.deliver(cp1252::fromUtf8(wire::frame(text))); }
    void clickGrid(int instrument, int logical, int set, int rowOffset = 0) {
        int row = form->data().gridRows.SuchRow(instrument, RowInstrument) + rowOffset;
        form->gridActions().mouseDown(row, form->columns().map(set, logical), false);
    }
    // A click at a height of the panel, 0 its bottom and 1 its top.
    void clickPanel(bool leftButton, double x, double fraction) {
        const Scale& s = form->chart().panel().scale();
        form->chart().Hotfield_MouseDown(leftButton, x, s.bottom + fraction * (s.top - s.bottom));
    }

    test::TempDir dir;
    WorkingDirectory folder{dir.root};
    test::FakeEventLoop loop;
    test::FakeTcpClient socket;
    test::FakeHttpGet http;
    test::FakeSound sound;
    test::FakeSystemServices system;
    test::FakePrompts prompts;
    test::ScriptedDialogs dialogs{loop};
    test::RecordingCanvas left, right, panel;
    std::unique_ptr<OrderForm> form;
};

TEST_F(OrderFormChartTest, TheTickerCellOpensTheChartAndTheRefreshTickRedrawsIt) {
    Chart& chart = form->chart();
    clickGrid(2, 1, 0);
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

TEST_F(OrderFormChartTest, HotFieldsNameTheirActionAndTheQuantityTheyChooseGoesIntoTheNextOrder) {
    clickGrid(1, 1, 0);
    serverSends("~1;101;0.5;11;0.5;21");
    loop.advance(150);
    const std::vector<std::string> sentBefore = socket.sent;

    clickPanel(true, 1.5, 0.5);
    clickPanel(false, 0.5, 0.5);
    EXPECT_EQ(prompts.asked, (std::vector<std::string>{"Market Long", "Cancel Orders"}));
    EXPECT_EQ(socket.sent, sentBefore); // the panel places nothing itself

    clickPanel(true, 4.5, 0.25);
    EXPECT_EQ(form->gridActions().defaultQuantityBox().text(), " 3");
    EXPECT_EQ(panel.select(DrawOp::Box, chart_colour::kGrey).size(), 1u);

    clickGrid(1, 9, 0); // Ask: a new buy line with the chosen quantity
    form->gridActions().mouseDown(form->gridActions().lastInsertedRow(), form->columns().map(1, 10), false);
    ASSERT_EQ(socket.sent.size(), sentBefore.size() + 1);
    EXPECT_EQ(socket.sent.back(), "\x01@PO=ACC9;41;1;BUY ;MKT;3; 101.5; 0;0;0\x02");
}

} // namespace
} // namespace kavex
