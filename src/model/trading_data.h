#pragma once
// The data tables that every window of the program shares by reference.
#include "model/account.h"
#include "model/bracket_preset.h"
#include "model/entry_lines.h"
#include "model/execution_list.h"
#include "model/instrument.h"
#include "model/order_book.h"
#include "model/order_grid_rows.h"
#include "model/order_origin.h"
#include "model/position.h"
#include "model/price_alerts.h"
#include "model/price_history.h"

#include <cstdint>
#include <vector>

namespace kavex {

struct TradingData {
    InstrumentTable instruments;
    PriceHistory history;
    bool pricesChanged = false;
    uint64_t priceUpdates = 0; // counts the quotes stored; shows whether prices still arrive
    int16_t defaultInstrument = 0;
    int16_t chartInstrument = 0;
    Account account;
    // Side tables rebuilt with every instrument list; entry n belongs to instrument n, entry 0 is unused.
    std::vector<int16_t> positionIndex; // number of the instrument's holding, 0 = none
    std::vector<BracketPreset> presets;
    OrderBook orderBook;
    ExecutionList executionList;
    PositionList positionList;
    // The order grid's composed lines and row list; the order operations and the
    // reports of the server change them as well as the grid itself.
    EntryLines entryLines;
    OrderGridRows gridRows;
    // Where each entry line and each order sent in this run was made.
    OrderOrigins origins;
    PriceAlerts alerts;
    // Set once user data has arrived; from then on the refresh tick revalues holdings.
    bool accountChanged = false;

    int16_t instrumentCount() const { return instruments.count(); }
    // Grid row of the order with this user order number, working or finished; 0 when none.
    int orderRow(int32_t orderUserId) const {
        const int n = orderBook.findByOrderUserId(orderUserId);
        if (n == 0) return 0;
        const int open = gridRows.findRow(n, RowOpenOrder);
        return open != 0 ? open : gridRows.findRow(n, RowFinishedOrder);
    }
    void recordPrice(int instrument, double now) {
        history.recordPrice(instrument, instruments.at(instrument), now);
    }
    template <class Clock> void recordPriceAt(int instrument, Clock&& now) {
        history.recordPriceAt(instrument, PriceHistory::quoteOf(instruments.at(instrument)), now);
    }
};

} // namespace kavex
