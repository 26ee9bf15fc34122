#pragma once
// The order grid with its actions and placement (TradingFixture) plus the bracket and
// closing commands behind the grid's right-click menu.
#include "views/bracket_preset_dialog.h"
#include "views/brackets.h"
#include "views/closing.h"
#include "views/grid_context_menu.h"
#include "support/scripted_dialogs.h"
#include "support/trading_fixture.h"

#include <string>
#include <tuple>

namespace kavex::test {

struct BracketFixture : TradingFixture {
    BracketFixture() {
        actions.contextActions = [this](int row, int col) { contextMenu.OG_RightClick(row, col); };
    }
    // Right-clicks a row and chooses the menu entry with this caption; false when the
    // menu did not open or has no such entry.
    bool chooseFromMenu(int row, const std::string& caption) {
        actions.mouseDown(row, 1, true);
        if (!contextMenu.menu().isOpen()) return false;
        int index = contextMenu.menu().indexOf(caption);
        if (index < 0) {
            contextMenu.menu().dismiss();
            return false;
        }
        contextMenu.menu().choose(index);
        return true;
    }
    void setPreset(int instrument, float mode, float profit, float stop) {
        BracketPreset& p = brackets.presetFor(instrument);
        p.presetMode = mode;
        p.profitValue = profit;
        p.stopValue = stop;
    }
    void setHolding(int instrument, int32_t holding) {
        Position p;
        p.instrumentNumber = static_cast<int16_t>(instrument);
        p.holding = holding;
        setPositionOf(data.PositionIndex, instrument, data.positionList.add(p));
    }
    // An order held by the server, appended to the OrderBook; returns its number.
    int32_t serverOrder(int instrument, const char* side, int32_t quantity, int32_t userId,
                        int16_t status = StatusSubmitted, int16_t role = BracketPlain) {
        Order o;
        o.accountCode = "ACC1";
        o.instrumentNumber = static_cast<int16_t>(instrument);
        o.side = side;
        o.orderType = "LMT";
        o.quantity = quantity;
        o.orderUserId = userId;
        o.orderId = "S" + std::to_string(userId);
        o.status = status;
        o.bracketRole = role;
        return data.orderBook.append(o);
    }
    const Order& lineAt(int row) const { return data.entryLines.at(data.gridRows.at(row).ref); }
    // What a bracket sets on a line: role, side, type, limit, quantity, parent line.
    using LineFields = std::tuple<int16_t, std::string, std::string, float, int32_t, int32_t>;
    LineFields fieldsAt(int row) const {
        const Order& o = lineAt(row);
        return {o.bracketRole, o.side.str(), o.orderType.str(), o.limit1, o.quantity, o.parentLine};
    }

    ScriptedDialogs dialogs{loop};
    BracketPresetDialog presetDialog{prompts};
    Brackets brackets{data, actions, orderGrid, columns, sender, prompts, dialogs, presetDialog, log};
    Closing closing{data, actions, placement, orderGrid, settings, prompts, log};
    GridContextMenu contextMenu{data, brackets, closing, prompts, log};
};

} // namespace kavex::test
