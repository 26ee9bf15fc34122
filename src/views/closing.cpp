#include "views/closing.h"

#include "base/failure.h"
#include "base/numbers.h"
#include "model/settings_file.h"
#include "model/trading_data.h"
#include "platform/services.h"
#include "trading/order_placement.h"
#include "views/grid_actions.h"
#include "views/order_grid.h"
#include "views/order_summary.h"

#include <cstdlib>

namespace kavex {
namespace {

constexpr int kQuickBuy = 0;
constexpr int kQuickSell = 1;

} // namespace

Closing::Closing(TradingData& data, GridActions& actions, OrderPlacement& placement, OrderGrid& orderGrid,
                 Settings& settings, Prompts& prompts, FailureLog& log)
    : data_(data), actions_(actions), placement_(placement), orderGrid_(orderGrid), settings_(settings),
      prompts_(prompts), log_(log) {}

void Closing::closePosition(int row) {
    tradeAgainstHolding(row, 1, kNoHoldingToClose, "m_glattstellen_Click ");
}

void Closing::reversePosition(int row) {
    tradeAgainstHolding(row, 2, kNoHoldingToReverse, "m_drehposition_Click ");
}

void Closing::setQuantityField(int64_t quantity) {
    actions_.setDefaultQuantityText(strInt(quantity));
}

void Closing::tradeAgainstHolding(int row, int factor, const char* noHolding, const char* tag) {
    int instrument = 0;
    guard(log_, tag, [&] { instrument = data_.gridRows.at(row).instrument; });
    if (instrument == 0) return;
    const OrderOrigins::Scope origin(data_.origins, {OriginKind::Closing, {}});
    const int previous = data_.defaultInstrument;
    data_.defaultInstrument = static_cast<int16_t>(instrument);
    // Both quote rows are redrawn so the DEFAULT mark follows the instrument being traded.
    guard(log_, tag, [&] {
        if (previous != 0 && previous != instrument) orderGrid_.redrawInstrument(previous);
        orderGrid_.redrawInstrument(instrument);
    });

    const int number = positionOf(data_.positionIndex, instrument);
    if (number == 0) {
        prompts_.message(noHolding);
        return;
    }
    int64_t holding = 0;
    guard(log_, tag, [&] { holding = data_.positionList.at(number).holding; });

    const double remembered = parseLeading(actions_.defaultQuantityBox().text());
    setQuantityField(static_cast<int64_t>(factor) * std::llabs(holding));
    if (holding > 0)
        actions_.quickOrder(kQuickSell);
    else if (holding < 0)
        actions_.quickOrder(kQuickBuy);
    else
        prompts_.message(noHolding);
    actions_.setDefaultQuantityText(strSingleTrimmed(static_cast<float>(remembered)));
}

std::string Closing::closingOrders() const {
    std::string orders;
    for (int n = 1; n <= data_.positionList.count(); ++n) {
        const Position& position = data_.positionList.at(n);
        if (position.holding == 0 || !data_.instruments.valid(position.instrumentNumber)) continue;
        if (!orders.empty()) orders += '\n';
        orders +=
            marketOrderSummary(data_.instruments.at(position.instrumentNumber).Ticker, position.holding < 0,
                               std::llabs(static_cast<int64_t>(position.holding)));
    }
    return orders;
}

void Closing::closeAllPositions() {
    if (settings_.confirmation != 0 && !prompts_.confirmOrders(kCloseAllQuestion, closingOrders())) return;
    const OrderOrigins::Scope origin(data_.origins, {OriginKind::Closing, {}});
    const int16_t previousDefault = data_.defaultInstrument;
    const int16_t previousConfirmation = settings_.confirmation;
    // One question for all: the single orders below are not confirmed one by one.
    settings_.confirmation = 0;

    for (int n = 1; n <= data_.positionList.count(); ++n) {
        const Position position = data_.positionList.at(n);
        if (position.holding == 0) continue;
        guard(log_, "Command11_Click ", [&] {
            log_.addLine("Glatt: WP" + data_.instruments.at(position.instrumentNumber).Ticker +
                         "Gegenorder " + strInt(-static_cast<int64_t>(position.holding)) + "Kontrakte");
        });
        data_.defaultInstrument = position.instrumentNumber;
        setQuantityField(std::llabs(position.holding));
        actions_.quickOrder(position.holding > 0 ? kQuickSell : kQuickBuy);
    }

    settings_.confirmation = previousConfirmation;
    data_.defaultInstrument = previousDefault;
    actions_.setDefaultQuantityText("1");
    placement_.cancelAllOrders();
}

} // namespace kavex
