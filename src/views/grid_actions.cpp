#include "views/grid_actions.h"

#include "base/failure.h"
#include "base/numbers.h"
#include "model/settings_file.h"
#include "model/trading_data.h"
#include "platform/services.h"
#include "protocol/server_sender.h"
#include "protocol/wire.h"
#include "trading/order_placement.h"
#include "views/cell_grid.h"
#include "views/grid_columns.h"
#include "views/order_grid.h"
#include "views/order_summary.h"

#include <cmath>

namespace kavex {
namespace {

constexpr const char* kClickTag = "OK_Click ";
constexpr const char* kCommitTag = "Combo1_Click ";

} // namespace

GridActions::GridActions(TradingData& data, CellGrid& grid, OrderGrid& orderGrid,
                         const OrderGridColumns& columns, OrderPlacement& placement, ServerSender& sender,
                         Settings& settings, Prompts& prompts, FailureLog& log)
    : data_(data), grid_(grid), orderGrid_(orderGrid), columns_(columns), placement_(placement),
      sender_(sender), settings_(settings), prompts_(prompts), log_(log) {
    defaultQuantityBox_.setText("1");
}

void GridActions::selectCell(int row, int col) {
    currentRow_ = row;
    currentCol_ = col;
}

void GridActions::mouseDown(int row, int col, bool rightButton) {
    if (editor_.visible) commitEditor();
    // The two title rows and the colour column are fixed: they are never chosen.
    if (row < kTitleRows || col < 1) return;
    selectCell(row, col);
    if (rightButton) {
        if (contextActions) contextActions(row, col);
        return;
    }
    clickSelectedCell(0);
}

void GridActions::clickSelectedCell(int startRow) {
    lastInsertedRow_ = 0;
    const int row = currentRow_;
    const int col = currentCol_;
    std::string text;
    guard(log_, kClickTag, [&] { text = grid_.text(row, col); });

    if (text == "TRANSMIT") return transmit(row);
    if (text == "CANCEL") {
        // Only an order in PreSubm. or Submitted is cancelled; a pending one is left alone.
        guard(log_, kClickTag, [&] {
            const int n = data_.gridRows.at(row).ref;
            if (isCancellable(data_.orderBook.at(n).status)) placement_.cancelOrder(n);
        });
        guard(log_, kClickTag, [&] { orderGrid_.redrawRow(row); });
        return;
    }
    if (text == "DELETE") return deleteLine(row);
    if (text == "DEFAULT") return markDefault(row, col);

    guard(log_, kClickTag, [&] {
        const OrderGridRow& d = data_.gridRows.at(row);
        switch (d.kind) {
        case RowSeparator:
            toggleFinishedOrders();
            break;
        case RowInstrument:
            onInstrumentRow(startRow > 0 ? startRow : row,
                            columns_.logicalAt(OrderGridColumns::kInstrumentSet, col));
            break;
        case RowEntryLine:
            onEntryLine(row, columns_.logicalAt(OrderGridColumns::kOrderSet, col));
            break;
        case RowOpenOrder:
            onWorkingOrder(row, columns_.logicalAt(OrderGridColumns::kOrderSet, col));
            break;
        default:
            break;
        }
    });
}

void GridActions::transmit(int row) {
    guard(log_, kClickTag, [&] { placement_.transmitRow(row); });
}

void GridActions::deleteLine(int row) {
    int line = 0;
    int16_t role = 0;
    int32_t parent = 0;
    guard(log_, kClickTag, [&] {
        line = data_.gridRows.at(row).ref;
        role = data_.entryLines.at(line).bracketRole;
        parent = data_.entryLines.at(line).parentLine;
    });
    if (line == 0) return;
    if (role == BracketPlain) {
        guard(log_, kClickTag, [&] { freeEntryLine(data_.entryLines.at(line)); });
        guard(log_, kClickTag, [&] { data_.gridRows.deleteRow(row); });
        guard(log_, kClickTag, [&] { grid_.removeRow(row); });
        return;
    }
    if (role > BracketMain && parent < 0 && -parent <= data_.orderBook.count()) {
        // The main order is already at the server: tell it the children are gone.
        guard(log_, kClickTag, [&] {
            const Order& main = data_.orderBook.at(-parent);
            std::string body = "@BR?=";
            body.append(main.accountCode.trimmed()).append(";");
            body.append(std::to_string(main.orderUserId)).append(";");
            body.append(main.orderId.trimmed());
            sender_.send(wire::frame(body));
        });
    }
    placement_.freeBracketGroup(line);
    guard(log_, kClickTag, [&] { orderGrid_.rebuildRows(); });
    guard(log_, kClickTag, [&] { orderGrid_.redrawAll(); });
}

void GridActions::markDefault(int row, int col) {
    int previous = data_.defaultInstrument;
    guard(log_, kClickTag, [&] {
        Cell& cell = grid_.mutableCell(row, col);
        cell.background = grid_colour::kDefaultInstrument;
        grid_.touch(row, col);
    });
    guard(log_, kClickTag, [&] { data_.defaultInstrument = data_.gridRows.at(row).instrument; });
    quickButtonColours_ = {rgb(0, 255, 0), rgb(255, 65, 65)};
    if (previous != 0) guard(log_, kClickTag, [&] { orderGrid_.redrawInstrument(previous); });
}

void GridActions::toggleFinishedOrders() {
    settings_.ShowFinishedOrders = settings_.ShowFinishedOrders == 1 ? 0 : 1;
    if (moreButtonCaptionChanged) moreButtonCaptionChanged(moreButtonCaption(settings_.ShowFinishedOrders));
    orderGrid_.rebuildRows();
    orderGrid_.redrawAll();
}

void GridActions::onInstrumentRow(int row, int logical) {
    int instrument = data_.gridRows.at(currentRow_).instrument;
    if (logical == 1) {
        data_.chartInstrument = static_cast<int16_t>(instrument);
        if (instrumentSeen) instrumentSeen(instrument);
        if (showChart) showChart(instrument);
    } else if (logical == 9) {
        insertEntryLine(row, "BUY");
    } else if (logical == 8) {
        insertEntryLine(row, "SEL");
    }
}

void GridActions::insertEntryLine(int row, const char* side) {
    OrderGridRows& rows = data_.gridRows;
    int instrument = rows.at(row).instrument;
    int position = row;
    // Below the instrument row's separator, above the lines already there.
    while (position + 1 <= rows.rowCount() && rows.at(position + 1).kind == RowSeparator)
        ++position;
    rows.insertRow(position, RowEntryLine);
    int32_t line = orderGrid_.newEntryLine(instrument, side, defaultQuantity());
    rows.set(position + 1, {RowEntryLine, static_cast<int16_t>(instrument), line});
    grid_.insertRow(position + 1);
    grid_.setText(position + 1, 0, " ");
    lastInsertedRow_ = position + 1;
    orderGrid_.redrawRow(position + 1);
}

void GridActions::onEntryLine(int row, int logical) {
    if (logical == 6) {
        openEditor(row, currentCol_, Quantity, 0);
    } else if (logical == 7 || logical == 8) {
        const Order& o = data_.entryLines.at(data_.gridRows.at(row).ref);
        openEditor(row, currentCol_, Price, data_.instruments.at(o.instrumentNumber).Last);
    } else if (logical == 9) {
        openEditor(row, currentCol_, OrderType, 0);
    } else {
        editor_.visible = false;
    }
}

void GridActions::onWorkingOrder(int row, int logical) {
    const Order& o = data_.orderBook.at(data_.gridRows.at(row).ref);
    if (!changeOrder || !isCancellable(o.status) || o.bracketRole != BracketPlain) return;
    if (logical == 6)
        openEditor(row, currentCol_, Quantity, 0);
    else if (logical == 7)
        openEditor(row, currentCol_, Price, data_.instruments.at(o.instrumentNumber).Last);
    else
        return;
    editor_.orderUserId = o.orderUserId;
}

void GridActions::commitOrderChange(int logical, const std::string& text) {
    // Found again by its number: rows may have moved while the editor was open.
    const int n = data_.orderBook.findByOrderUserId(editor_.orderUserId);
    if (n == 0) return;
    if (logical == 6) {
        const int32_t quantity = parseInt32(text);
        if (quantity > 0) changeOrder(n, quantity, std::nullopt);
    } else if (logical == 7) {
        changeOrder(n, std::nullopt, parseSingle(text));
    }
    const int row = data_.gridRows.findRow(n, RowOpenOrder);
    if (row > 0) orderGrid_.redrawRow(row);
}

std::vector<std::string> GridActions::priceChoices(float reference) {
    // Prices between the listed ranges (and negative ones) take the step of the range below.
    double step = reference < 2 ? 0.0001 : reference < 200 ? 0.01 : reference < 2000 ? 0.1 : 0.5;
    std::vector<std::string> items;
    for (int k = -10; k <= 10; ++k)
        items.push_back(strSingle(static_cast<float>(reference + k * step)));
    return items;
}

void GridActions::openEditor(int row, int col, int mode, float price) {
    selectCell(row, col);
    editor_.visible = true;
    editor_.orderUserId = 0;
    editor_.items.clear();
    editor_.selected = -1;
    switch (mode) {
    case Quantity:
        editor_.items = {"1", "2", "3", "4", "5", "10", "20", "25", "50", "100"};
        break;
    case Price:
        editor_.items = priceChoices(price);
        editor_.listFillGuard = true;
        editor_.selected = 10;
        editor_.listFillGuard = false;
        break;
    case OrderType:
        editor_.items = {"MKT", "LMT", "STP", "MOC"};
        break;
    default:
        break;
    }
    guard(log_, kClickTag, [&] { editor_.text = grid_.text(row, col); });
    editor_.col = col;
    editor_.row = row;
    editor_.active = true;
}

void GridActions::chooseEditorItem(int index) {
    if (index < 0 || index >= static_cast<int>(editor_.items.size())) return;
    editor_.selected = index;
    editor_.text = editor_.items[static_cast<std::size_t>(index)];
    commitEditor();
}

void GridActions::escapeEditor() {
    editor_.visible = false;
}

void GridActions::commitEditor() {
    std::string text = decimalCommaToPoint(editor_.text);
    if (editor_.listFillGuard) return;
    if (editor_.orderUserId != 0) {
        editor_.visible = false;
        guard(log_, kCommitTag,
              [&] { commitOrderChange(columns_.logicalAt(OrderGridColumns::kOrderSet, editor_.col), text); });
        return;
    }
    int line = 0;
    guard(log_, kCommitTag, [&] {
        selectCell(editor_.row, editor_.col);
        line = data_.gridRows.at(editor_.row).ref;
        grid_.setText(editor_.row, editor_.col, text);
    });
    guard(log_, kCommitTag, [&] {
        Order& o = data_.entryLines.at(line);
        switch (columns_.logicalAt(OrderGridColumns::kOrderSet, editor_.col)) {
        case 5:
            o.side = text;
            break;
        case 6:
            o.quantity = parseInt32(text);
            break;
        case 7:
            o.limit1 = parseSingle(text);
            if (o.orderType.str() == "MKT") {
                o.orderType = "LMT";
                int typeCol = columns_.map(OrderGridColumns::kOrderSet, 9);
                if (typeCol != 0) grid_.setText(editor_.row, typeCol, "LMT");
            }
            break;
        case 8:
            o.limit2 = parseSingle(text);
            break;
        case 9:
            o.orderType = text;
            break;
        default:
            log_.addLine("Combo1: keine Zuordnung möglich");
            break;
        }
    });
    editor_.visible = false;
}

void GridActions::setDefaultQuantityText(const std::string& text) {
    double value = parseLeading(decimalCommaToPoint(text));
    if (value < 1) value = 1;
    defaultQuantityBox_.setText(strInt(static_cast<int64_t>(std::floor(value))));
}

int32_t GridActions::defaultQuantity() const {
    return parseInt32(defaultQuantityBox_.text());
}

void GridActions::quickOrder(int index) {
    if (data_.defaultInstrument == 0) {
        prompts_.message("Bitte zuerst ein Wertpapier als DEFAULT kennzeichnen !");
        return;
    }
    const int instrument = data_.defaultInstrument;
    if (data_.gridRows.findRow(instrument, RowInstrument) == 0) return;
    const OrderOrigins::Scope origin(data_.origins, {OriginKind::QuickButton, {}});
    if (settings_.confirmation != 0 &&
        !prompts_.confirmOrders(
            "Order wirklich ausführen ?\nDiese Sicherheitsabfrage kann unter 'Sonstiges' "
            "deaktiviert werden!",
            marketOrderSummary(data_.instruments.at(instrument).Ticker, index == 0, defaultQuantity())))
        return;
    // The box ran a nested event loop: rows may have moved, so the row is looked up again.
    const int row = data_.gridRows.findRow(instrument, RowInstrument);
    if (row == 0) {
        log_.addLine("Order nicht ausgeführt: Wertpapier " + std::to_string(instrument) +
                     " nicht mehr im Grid");
        return;
    }
    selectCell(row, columns_.map(OrderGridColumns::kInstrumentSet, 9 - index));
    clickSelectedCell(0);
    int below = row + 1;
    while (below <= data_.gridRows.rowCount() && data_.gridRows.at(below).kind == RowSeparator)
        ++below;
    if (below > data_.gridRows.rowCount()) return;
    selectCell(below, columns_.map(OrderGridColumns::kInstrumentSet, 10));
    clickSelectedCell(0);
}

} // namespace kavex
