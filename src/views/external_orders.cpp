#include "views/external_orders.h"

#include "base/failure.h"
#include "base/fixed_text.h"
#include "base/numbers.h"
#include "external/command_line.h"
#include "model/trading_data.h"
#include "platform/services.h"
#include "protocol/wire.h"
#include "trading/order_placement.h"
#include "views/cell_grid.h"
#include "views/grid_actions.h"
#include "views/grid_columns.h"
#include "views/order_grid.h"

#include <cmath>

namespace kavex {

ExternalOrders::ExternalOrders(TradingData& data, GridActions& actions, OrderPlacement& placement,
                               OrderGrid& orderGrid, CellGrid& grid, const OrderGridColumns& columns,
                               Prompts& prompts)
    : data_(data), actions_(actions), placement_(placement), orderGrid_(orderGrid), grid_(grid),
      columns_(columns), prompts_(prompts) {}

namespace {

// A limit that a single cannot hold fails, as the conversion of its text would.
float limitOf(std::string_view field) {
    const float limit = parseSingle(field);
    if (!std::isfinite(limit)) throw Failure("Overflow");
    return limit;
}

} // namespace

ExternalOrderResult ExternalOrders::placeOrder(std::string_view orderText) {
    // Every order text gets an answer: "@OC" when it went out (the server's "@OI" or "@OR"
    // follows), otherwise "@ER".
    whyNot_ = kNotPlaced;
    const ExternalOrderResult result = placeThroughGrid(orderText, whyNot_);
    if (result == ExternalOrderResult::NotPlaced) reportError(kNotPlacedCode, whyNot_);
    return result;
}

ExternalOrderResult ExternalOrders::placeThroughGrid(std::string_view orderText, std::string& whyNot) {
    try {
        const CommandFields f(orderText, CommandFields::kOrderTextFields);
        int instrument = parseInt32(f[2]);
        if (instrument == 0) instrument = data_.instruments.findByCodeIgnoringCase(f[1]);
        if (!data_.instruments.valid(instrument)) {
            reportError(1, kUnknownInstrument);
            prompts_.message("Das angeforderte Wertpapier " + std::string(f[1]) + " ist nicht verfügbar!");
            return ExternalOrderResult::UnknownInstrument;
        }
        const int instrumentRow = data_.gridRows.findRow(instrument, RowInstrument);
        if (instrumentRow == 0) return ExternalOrderResult::NotPlaced;
        if (placement_.offline()) {
            whyNot = OrderPlacement::kOfflineRefusal;
            return ExternalOrderResult::NotPlaced;
        }
        // Numbers out of range fail here, before the grid has a new line.
        const int32_t quantity = parseInt32(f[5]);
        const float limit1 = limitOf(f[6]);
        const float limit2 = limitOf(f[7]);

        // The click on the quote cell opens a new entry line below the instrument row.
        const bool buy = trimBlanks(f[3]) == "BUY";
        actions_.selectCell(instrumentRow,
                            columns_.map(OrderGridColumns::kInstrumentSet,
                                         buy ? OrderGridColumns::kAskColumn : OrderGridColumns::kBidColumn));
        actions_.clickSelectedCell(0);
        // The row the click inserted, never an entry line the user left there earlier.
        const int row = actions_.lastInsertedRow();
        if (row == 0 || data_.gridRows.at(row).kind != RowEntryLine) return ExternalOrderResult::NotPlaced;
        const int line = data_.gridRows.at(row).ref;

        Order& o = data_.entryLines.at(line);
        o.quantity = quantity;
        o.orderType = orderTypeOf(f[4]);
        o.limit1 = limit1;
        o.limit2 = limit2;
        o.orderUserId = roundToInt32(-static_cast<double>(o.orderUserId));
        orderGrid_.redrawRow(row);

        // What the "TRANSMIT" cell does for a line outside a bracket, with the order marked
        // as coming from outside so that it gets its negative number and is reported.
        const bool sent = placement_.placeOrder(line, row, true, referenceOf(f[8]));
        grid_.removeRow(row);
        // The order guard's refusal names its reason.
        if (!sent && !placement_.lastRefusal().empty()) {
            whyNot = placement_.lastRefusal();
            return ExternalOrderResult::NotPlaced;
        }
        // The stop check refuses a line by cancelling it instead of sending it.
        if (data_.entryLines.at(line).status != StatusPendSubm) return ExternalOrderResult::NotPlaced;
        return ExternalOrderResult::Placed;
    } catch (const std::exception&) {
        return ExternalOrderResult::NotPlaced;
    }
}

void ExternalOrders::cancelOrder(int32_t orderUserId) {
    skipOnFailure([&] {
        const int n = data_.orderBook.findByOrderUserId(orderUserId);
        if (n > 0 && isCancellable(data_.orderBook.at(n).status)) placement_.cancelOrderByUserId(orderUserId);
    });
    skipOnFailure([&] { orderGrid_.redrawAll(); });
}

void ExternalOrders::closeAllPositions() {
    if (closeAll) closeAll();
}

void ExternalOrders::cancelAllOrders() {
    placement_.cancelAllOrders();
}

void ExternalOrders::reportNewOrderId(const std::string& externalRef, int32_t orderUserId) {
    if (sendToBridge) sendToBridge(wire::frame("@OC;" + externalRef + ";" + strInt(orderUserId)));
}

void ExternalOrders::reportError(int code, const std::string& text) {
    if (sendToBridge) sendToBridge(wire::frame("@ER;" + strInt(code) + ";" + text));
}

} // namespace kavex
