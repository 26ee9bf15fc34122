#pragma once
// The order grid with its actions and the order operations, wired to fakes.
#include "base/text_list.h"
#include "model/settings_file.h"
#include "model/trading_data.h"
#include "platform/socket_state.h"
#include "protocol/server_sender.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"
#include "trading/order_placement.h"
#include "views/cell_grid.h"
#include "views/colour_roles.h"
#include "views/grid_actions.h"
#include "views/grid_columns.h"
#include "views/order_grid.h"
#include "views/show_error.h"

#include <string>
#include <vector>

namespace kavex::test {

struct TradingFixture {
    explicit TradingFixture(NumberLocale locale = NumberLocale{'.'}) : locale(locale) {
        columns.setUp(colours);
        socket.socketState = static_cast<int>(SocketState::Connected);
        data.account.accountCode = "ACC1";
        data.account.lastUserOrderId = 100;
        data.instruments.reset(2);
        auto& sap = data.instruments.at(1);
        sap.Ticker = "SAP";
        sap.Bid = 149.5f;
        sap.Ask = 150.5f;
        sap.Last = 150;
        data.instruments.at(2).Ticker = "BMW";
        data.instruments.at(2).Last = 2500;
        resetPositionIndex(data.positionIndex, 2);
        data.positionList.reset(2);
        rebuild();
    }
    void rebuild() {
        orderGrid.rebuildRows();
        orderGrid.redrawAll();
    }
    // Clicks a cell by its logical column (set 0 for instrument rows, 1 for order lines).
    void click(int row, int logicalColumn, int set = 1) {
        actions.mouseDown(row, columns.map(set, logicalColumn), false);
    }
    int instrumentRow(int instrument) const { return data.gridRows.findRow(instrument, RowInstrument); }
    // Messages sent to the server, without frame characters.
    std::vector<std::string> sentTexts() const {
        std::vector<std::string> out;
        for (const std::string& s : socket.sent)
            out.push_back(s.substr(1, s.size() - 2));
        return out;
    }
    std::vector<int> kinds() const {
        std::vector<int> k;
        for (int r = 2; r <= data.gridRows.rowCount(); ++r)
            k.push_back(data.gridRows.at(r).kind);
        return k;
    }

    TradingData data;
    CellGrid grid;
    ColourRoles colours;
    OrderGridColumns columns;
    Settings settings;
    NumberLocale locale;
    FakeEventLoop loop;
    TextList log, outgoing, bridgeLog, messages;
    Label statusLine;
    MessageWindow messageWindow;
    FakeSystemServices system;
    FakeTcpClient socket;
    FakePrompts prompts;
    ServerSender sender{socket, outgoing};
    ErrorDisplay errors{statusLine, messages, messageWindow, system};
    OrderGrid orderGrid{data, grid, columns, colours, settings, loop, log, locale};
    OrderPlacement placement{data, sender, errors, orderGrid, bridgeLog, log};
    GridActions actions{data, grid, orderGrid, columns, placement, sender, settings, prompts, log};
};

} // namespace kavex::test
