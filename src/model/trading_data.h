#pragma once
// The data tables that every window of the program shares by reference.
#include "model/account.h"
#include "model/bracket_preset.h"
#include "model/entry_lines.h"
#include "model/execution_list.h"
#include "model/instrument.h"
#include "model/order_book.h"
#include "model/order_grid_rows.h"
#include "model/position.h"
#include "model/price_history.h"

#include <cstdint>
#include <vector>

namespace kavex {

struct TradingData {
    InstrumentTable instruments;
    PriceHistory history;
    int16_t PricesChanged = 0;
    int16_t DefaultInstrument = 0;
    int16_t ChartInstrument = 0;
    Account account;
    // Side tables rebuilt with every instrument list; entry n belongs to instrument n, entry 0 is unused.
    std::vector<int16_t> PositionIndex; // number of the instrument's holding, 0 = none
    std::vector<BracketPreset> presets;
    OrderBook orderBook;
    ExecutionList executionList;
    PositionList positionList;
    // The order grid's composed lines and row list; the order operations and the
    // reports of the server change them as well as the grid itself.
    EntryLines entryLines;
    OrderGridRows gridRows;
    // Set once user data has arrived; from then on the refresh tick revalues holdings.
    int16_t AccountChanged = 0;

    int16_t InstrumentCount() const { return instruments.count(); }
    void Merkkurse(int instrument, double now) {
        history.Merkkurse(instrument, instruments.at(instrument), now);
    }
    template <class Clock> void MerkkurseAt(int instrument, Clock&& now) {
        history.MerkkurseAt(instrument, instruments.at(instrument), now);
    }
};

} // namespace kavex
