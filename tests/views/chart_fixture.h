#pragma once
// A chart window over the order grid fixture, drawing on recording canvases.
#include "views/chart.h"
#include "history_builder.h"
#include "support/recording_canvas.h"
#include "support/trading_fixture.h"

namespace kavex::test {

struct ChartFixture : TradingFixture {
    ChartFixture() {
        data.history.create(2);
        data.instruments.at(1).Name = "SAP SE";
        chart.attach(left, right, panel);
        chart.laidOut = [this](const ChartLayout& l) {
            left = RecordingCanvas(l.panes[0].width, l.panes[0].height);
            right = RecordingCanvas(l.panes[1].width, l.panes[1].height);
            panel = RecordingCanvas(l.panel.width, l.panel.height);
        };
    }
    // The order grid's ticker click on instrument n.
    void openChart(int n) { click(instrumentRow(n), 1, 0); }

    Chart chart{data, actions, prompts};
    RecordingCanvas left, right, panel;
};

} // namespace kavex::test
