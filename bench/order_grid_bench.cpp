// One refresh tick of the order grid: the quote rows of 1000 (and of 50) changed
// instruments redrawn in the headless grid model. Prints the time per tick.
#include "base/text_list.h"
#include "model/settings_file.h"
#include "model/trading_data.h"
#include "support/fake_event_loop.h"
#include "views/cell_grid.h"
#include "views/colour_roles.h"
#include "views/grid_columns.h"
#include "views/order_grid.h"

#include <chrono>
#include <cstdio>

namespace {

using namespace kavex;

double msPerTick(int instruments, int changed) {
    TradingData data;
    data.instruments.reset(static_cast<int16_t>(instruments));
    resetPositionIndex(data.positionIndex, instruments);
    data.positionList.reset(instruments);
    for (int i = 1; i <= instruments; ++i) {
        Instrument& q = data.instruments.at(i);
        q.Ticker = "T" + std::to_string(i);
        q.Last = 100;
    }
    CellGrid grid;
    ColourRoles colours;
    OrderGridColumns columns;
    columns.setUp(colours);
    Settings settings;
    test::FakeEventLoop loop;
    TextList log;
    OrderGrid view(data, grid, columns, colours, settings, loop, log, NumberLocale{','});
    view.rebuildRows();
    view.redrawAll();
    const int ticks = 50;
    auto start = std::chrono::steady_clock::now();
    for (int t = 0; t < ticks; ++t) {
        for (int i = 1; i <= changed; ++i) {
            data.instruments.at(i).Bid = static_cast<float>(99 + (t % 7) * 0.01);
            view.redrawInstrument(i);
        }
    }
    std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / ticks;
}

} // namespace

int main() {
    std::printf("Order grid refresh tick, headless model, 1000 instruments\n");
    std::printf("  1000 changed   %.3f ms per tick (goal < 1 ms)\n", msPerTick(1000, 1000));
    std::printf("    50 changed   %.3f ms per tick\n", msPerTick(1000, 50));
    return 0;
}
