// One full redraw of the chart window as the refresh tick does it: both panes showing all
// 3000 points of a history, on the recording canvas of the tests and, when Qt is built,
// with QPainter on a QImage as the window does. The counter tick_percent is the part of
// one 150 ms refresh tick that a redraw takes (wall time).
#include "views/chart_pane.h"
#include "model/price_history.h"
#include "support/recording_canvas.h"

#ifdef KAVEX_BENCH_QT
#include "gui/qt_canvas.h"

#include <QGuiApplication>
#endif

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>

namespace kavex {
namespace {

constexpr int kPaneWidth = 400, kPaneHeight = 350;
constexpr double kTickSeconds = 0.150;

PriceHistory makeHistory() {
    PriceHistory history;
    history.create(1);
    float mid = 100;
    for (int k = 1; k <= PriceHistory::kSlots; ++k) {
        mid += static_cast<float>(0.05 * std::sin(k / 40.0) + 0.03 * std::sin(k * 1.7));
        HistoryEntry& e = history.slot(1, k);
        e.Bid = std::round((mid - 0.02f) * 100) / 100;
        e.Ask = e.Bid + (k % 3 == 0 ? 0.02f : 0.01f);
        e.Last = k % 2 == 0 ? e.Bid : e.Ask;
    }
    history.setPos(1, 1234); // the ring has wrapped
    return history;
}

template <class Surface> void redrawBothPanes(benchmark::State& state, Surface& left, Surface& right) {
    const PriceHistory history = makeHistory();
    ChartPane panes[2];
    for (ChartPane& p : panes)
        p.resize(kPaneWidth, kPaneHeight);
    panes[0].draw(left, history, 1, 3000); // the first drawing measures in the pane's own units
    panes[1].draw(right, history, 1, 3000);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        panes[0].draw(left, history, 1, 3000);
        panes[1].draw(right, history, 1, 3000);
        benchmark::ClobberMemory();
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    state.counters["tick_percent"] =
        100 * elapsed.count() / static_cast<double>(state.iterations()) / kTickSeconds;
}

void BM_ChartRedraw_RecordingCanvas(benchmark::State& state) {
    test::RecordingCanvas left(kPaneWidth, kPaneHeight), right(kPaneWidth, kPaneHeight);
    redrawBothPanes(state, left, right);
    state.counters["ops_per_pane"] = static_cast<double>(left.ops.size());
}
BENCHMARK(BM_ChartRedraw_RecordingCanvas)->Unit(benchmark::kMicrosecond);

#ifdef KAVEX_BENCH_QT
void BM_ChartRedraw_QImage(benchmark::State& state) {
    QtCanvas left, right;
    left.resize(QSize(kPaneWidth, kPaneHeight));
    right.resize(QSize(kPaneWidth, kPaneHeight));
    redrawBothPanes(state, left, right);
    benchmark::DoNotOptimize(left.image().constBits()); // ends the painting
}
BENCHMARK(BM_ChartRedraw_QImage)->Unit(benchmark::kMicrosecond);
#endif

} // namespace
} // namespace kavex

int main(int argc, char** argv) {
#ifdef KAVEX_BENCH_QT
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv); // fonts for the QImage
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
