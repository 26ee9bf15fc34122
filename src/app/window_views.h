#pragma once
// The client's parts that the trading window on screen renders.
#include "app/client.h"
#include "gui/trading_window_widget.h"
#include "views/external_gate.h"
#include "views/grid_context_menu.h"
#include "views/key_actions.h"

namespace kavex {

inline TradingWindowViews windowViews(Client& client) {
    return {client.window(),
            client.orderGridCells(),
            client.gridActions(),
            client.contextMenu().menu(),
            client.executionGridCells(),
            client.executionGrid(),
            client.statements(),
            client.messageWindow(),
            client.settings(),
            client.colourEditor(),
            client.bridge(),
            client.logo(),
            &client.linkState(),
            &client.keyBindings(),
            &client.keyActions(),
            &client.externalGate(),
            [&client](int row) { return client.orderRowToolTip(row); }};
}

} // namespace kavex
