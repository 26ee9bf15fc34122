#include "views/key_actions.h"

#include "base/numbers.h"
#include "model/trading_data.h"
#include "platform/services.h"
#include "views/closing.h"
#include "views/grid_actions.h"
#include "views/grid_columns.h"
#include "views/trading_window.h"

#include <vector>

namespace kavex {
namespace {

constexpr const char* kNoDefault = "Bitte zuerst ein Wertpapier als DEFAULT kennzeichnen !";
constexpr int kDefaultColumn = 13;

} // namespace

KeyActions::KeyActions(TradingWindow& window, GridActions& actions, Closing& closing, TradingData& data,
                       const OrderGridColumns& columns, const KeyBindings& bindings, Prompts& prompts)
    : window_(window), actions_(actions), closing_(closing), data_(data), columns_(columns),
      bindings_(bindings), prompts_(prompts) {}

bool KeyActions::press(std::string_view key) {
    const std::optional<KeyAction> action = bindings_.actionFor(key);
    if (!action || actions_.editor().visible || (otherInputFocused && otherInputFocused())) return false;
    run(*action);
    return true;
}

void KeyActions::run(KeyAction action) {
    // Orders a key makes are the key's, even when it goes through a quick button or closing.
    const OrderOrigins::Scope origin(data_.origins, {OriginKind::Key, {}});
    switch (action) {
    case KeyAction::BuyMarket:
        return window_.buyMarket();
    case KeyAction::SellMarket:
        return window_.sellMarket();
    case KeyAction::CancelAll:
        return window_.cancelAll();
    case KeyAction::TransmitAll:
        return window_.transmitAll();
    case KeyAction::CloseAll:
        return window_.closeAllPositions();
    case KeyAction::Reverse:
        return reverseDefault();
    case KeyAction::DefaultUp:
        return moveDefault(-1);
    case KeyAction::DefaultDown:
        return moveDefault(1);
    case KeyAction::QuantityUp:
        return stepQuantity(1);
    case KeyAction::QuantityDown:
        return stepQuantity(-1);
    }
}

void KeyActions::reverseDefault() {
    const int row = data_.gridRows.findRow(data_.defaultInstrument, RowInstrument);
    if (data_.defaultInstrument == 0 || row == 0) return prompts_.message(kNoDefault);
    closing_.reversePosition(row);
}

void KeyActions::moveDefault(int step) {
    std::vector<int> rows;
    int current = -1;
    for (int r = GridActions::kTitleRows; r <= data_.gridRows.rowCount(); ++r) {
        const OrderGridRow& d = data_.gridRows.at(r);
        if (d.kind != RowInstrument) continue;
        if (d.instrument == data_.defaultInstrument) current = static_cast<int>(rows.size());
        rows.push_back(r);
    }
    if (rows.empty()) return;
    // Without a DEFAULT instrument the first key marks the top or bottom one.
    int next = current < 0 ? (step > 0 ? 0 : static_cast<int>(rows.size()) - 1) : current + step;
    if (next < 0 || next >= static_cast<int>(rows.size())) return;
    actions_.selectCell(rows[static_cast<std::size_t>(next)],
                        columns_.map(OrderGridColumns::kInstrumentSet, kDefaultColumn));
    actions_.clickSelectedCell(0);
}

void KeyActions::stepQuantity(int step) {
    // The next value of the quantity list; past its ends the quantity stays.
    const int32_t quantity = actions_.defaultQuantity();
    const std::vector<std::string>& choices = window_.controls().defaultQuantityList.lines();
    int32_t chosen = quantity;
    for (const std::string& text : choices) {
        const int32_t value = parseInt32(text);
        if (step > 0 && value > quantity && (chosen == quantity || value < chosen)) chosen = value;
        if (step < 0 && value < quantity && (chosen == quantity || value > chosen)) chosen = value;
    }
    actions_.setDefaultQuantityText(strInt(chosen));
}

} // namespace kavex
