#pragma once
// A headless order grid over `instruments` instruments (tickers "T1", "T2", ..., each at
// the same last price), drawn once: the common start of the order grid benchmarks.
#include "base/text_list.h"
#include "model/settings_file.h"
#include "model/trading_data.h"
#include "support/fake_event_loop.h"
#include "views/cell_grid.h"
#include "views/colour_roles.h"
#include "views/grid_columns.h"
#include "views/order_grid.h"

#include <string>

namespace kavex::bench {

struct HeadlessOrderGrid {
    HeadlessOrderGrid(int instruments, float last) {
        data.instruments.reset(static_cast<int16_t>(instruments));
        resetPositionIndex(data.positionIndex, instruments);
        data.positionList.reset(instruments);
        for (int i = 1; i <= instruments; ++i) {
            data.instruments.at(i).Ticker = "T" + std::to_string(i);
            data.instruments.at(i).Last = last;
        }
        columns.setUp(colours);
        view.rebuildRows();
        view.redrawAll();
    }

    TradingData data;
    CellGrid grid;
    ColourRoles colours;
    OrderGridColumns columns;
    Settings settings;
    test::FakeEventLoop loop;
    TextList log;
    OrderGrid view{data, grid, columns, colours, settings, loop, log, NumberLocale{','}};
};

} // namespace kavex::bench
