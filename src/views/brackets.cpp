#include "views/brackets.h"

#include "base/failure.h"
#include "model/trading_data.h"
#include "platform/services.h"
#include "protocol/server_sender.h"
#include "protocol/wire.h"
#include "views/bracket_preset_dialog.h"
#include "views/grid_actions.h"
#include "views/grid_columns.h"
#include "views/login_dialogs.h"
#include "views/order_grid.h"

#include <cmath>

namespace kavex {

Brackets::Brackets(TradingData& data, GridActions& actions, OrderGrid& orderGrid,
                   const OrderGridColumns& columns, ServerSender& sender, Prompts& prompts,
                   DialogHost& dialogs, BracketPresetDialog& presetDialog, FailureLog& log)
    : data_(data), actions_(actions), orderGrid_(orderGrid), columns_(columns), sender_(sender),
      prompts_(prompts), dialogs_(dialogs), presetDialog_(presetDialog), log_(log) {}

void Brackets::bracketEntryLine(int index, int row) {
    create(index, row, false);
}

void Brackets::bracketServerOrder(int index, int row) {
    create(index, row, true);
}

BracketPreset& Brackets::presetFor(int instrument) {
    const Instrument& quote = data_.instruments.at(instrument);
    auto n = static_cast<std::size_t>(instrument);
    if (data_.presets.size() <= n) data_.presets.resize(n + 1);
    BracketPreset& preset = data_.presets[n];
    // An instrument missing from the preset file starts with zero values and mode 0;
    // it gets its key so that what the user enters is saved under it.
    if (preset.presetName.empty()) preset.presetName = quote.Ticker;
    return preset;
}

std::optional<float> Brackets::childLimit(float mode, float value, float last, bool limitChild,
                                          bool childSells) {
    if (mode == 0) return value;
    if (mode == 1) {
        // Profit lies beyond the last price on the child's side, the stop before it.
        bool above = limitChild == childSells;
        return above ? last + value : last - value;
    }
    if (mode == 2) return -std::fabs(value);
    return std::nullopt;
}

std::string Brackets::bracketMessage(std::string_view tag, const Order& main) {
    std::string body(tag);
    body.append(main.accountCode.trimmed()).append(";");
    body.append(std::to_string(main.orderUserId)).append(";");
    body.append(main.orderId.trimmed());
    return wire::frame(body);
}

int Brackets::makeChild(int instrumentRow, int column, int afterRow, int role, const char* type,
                        std::optional<float> limit, int32_t quantity, int32_t parentLine,
                        int32_t parentUserId) {
    const OrderOrigins::Scope origin(data_.origins, {OriginKind::BracketChild, {}});
    actions_.selectCell(instrumentRow, column);
    actions_.clickSelectedCell(afterRow);
    const int row = actions_.lastInsertedRow();
    if (row == 0) return 0;
    Order& child = data_.entryLines.at(data_.gridRows.at(row).ref);
    child.bracketRole = static_cast<int16_t>(role);
    child.parentLine = parentLine;
    child.parentOrderUserId = parentUserId;
    child.quantity = quantity;
    child.orderType = type;
    if (limit) child.limit1 = *limit;
    // The user sees the child as composed and can still edit it before transmitting.
    orderGrid_.redrawRow(row);
    return row;
}

void Brackets::create(int index, int row, bool serverOrder) {
    const char* tag = serverOrder ? "m_createbracket2_Click " : "m_createbracket_Click ";
    Order main;
    int ref = 0;
    guard(log_, tag, [&] {
        ref = data_.gridRows.at(row).ref;
        main = serverOrder ? data_.orderBook.at(ref) : data_.entryLines.at(ref);
    });
    if (ref == 0) return;

    if (main.bracketRole == BracketMain) {
        prompts_.message("Dieser Order sind bereits Bracketorders zugeordnet !");
        return;
    }
    if (main.bracketRole >= BracketLimitChild && main.bracketRole <= BracketCloseChild) {
        prompts_.message("Keine Bracketorders für Bracketorders !");
        return;
    }

    const int instrument = main.instrumentNumber;
    const int32_t mainUserId = main.orderUserId;
    BracketPreset preset;
    float last = 0;
    bool known = false;
    guard(log_, tag, [&] {
        if (index >= 2) {
            // The dialog edits a copy: the preset table may be rebuilt while it is open.
            BracketPreset edited = presetFor(instrument);
            presetDialog_.open(edited);
            dialogs_.runModal(presetDialog_);
            if (presetDialog_.cancelled()) return;
            if (data_.instruments.at(instrument).Ticker != edited.presetName) return;
            presetFor(instrument) = edited;
        }
        preset = presetFor(instrument);
        last = data_.instruments.at(instrument).Last; // prices may have moved while the dialog was open
        known = true;
    });
    if (index >= 2) {
        // The dialog ran a nested event loop: rows may have moved and the line or order may be
        // gone, so both are found again by their numbers.
        int found = 0;
        if (known)
            guard(log_, tag, [&] {
                const int r =
                    serverOrder ? data_.orderRow(mainUserId) : data_.gridRows.findRow(ref, RowEntryLine);
                if (r == 0) return;
                ref = data_.gridRows.at(r).ref;
                main = serverOrder ? data_.orderBook.at(ref) : data_.entryLines.at(ref);
                found = r;
            });
        if (found == 0) {
            log_.addLine(kRowGone);
            return;
        }
        row = found;
    }
    if (!known) return;
    if (preset.presetMode == 1 && last == 0) {
        prompts_.message("Es gibt momentan noch keinen Kurs. Bitte anderes Limit als 'Offset zum momentanen "
                         "Kurs' eingeben");
        return;
    }

    // The children take the opposite side: a click on the bid makes a sell line, on the ask a buy line.
    const std::string side(main.side.trimmed());
    int logical = 0;
    if (side == "BUY")
        logical = OrderGridColumns::kBidColumn;
    else if (side == "SEL")
        logical = OrderGridColumns::kAskColumn;
    else
        return;
    const bool childSells = side == "BUY";
    const int column = columns_.map(OrderGridColumns::kInstrumentSet, logical);

    int instrumentRow = 0;
    guard(log_, tag, [&] {
        for (int r = row - 1; r >= 0 && instrumentRow == 0; --r)
            if (data_.gridRows.at(r).kind == RowInstrument) instrumentRow = r;
    });
    if (instrumentRow == 0) return;

    guard(log_, tag, [&] {
        if (serverOrder)
            data_.orderBook.update(ref, [](Order& o) { o.bracketRole = BracketMain; });
        else
            data_.entryLines.at(ref).bracketRole = BracketMain;
    });
    if (serverOrder) guard(log_, tag, [&] { sender_.send(bracketMessage("@BR1=", main)); });

    const int32_t parentLine = serverOrder ? -ref : ref;
    const int32_t parentUserId = serverOrder ? main.orderUserId : 0;

    int limitRow = 0;
    guard(log_, tag, [&] {
        limitRow = makeChild(instrumentRow, column, row, BracketLimitChild, "LMT",
                             childLimit(preset.presetMode, preset.profitValue, last, true, childSells),
                             main.quantity, parentLine, parentUserId);
    });
    if (preset.presetMode == 1 && last == 0)
        prompts_.message("Es gibt momentan noch keinen Kurs. Bitte Limit korrigieren !");
    if (serverOrder && last == 0 && (preset.profitValue > 0 || preset.stopValue > 0))
        prompts_.message("Achtung - noch keine Kurse. Bitte Limits korrigieren!!");

    int stopRow = 0;
    std::optional<float> stopLimit = childLimit(preset.presetMode, preset.stopValue, last, false, childSells);
    guard(log_, tag, [&] {
        stopRow = makeChild(instrumentRow, column, limitRow > 0 ? limitRow : row, BracketStopChild, "STP",
                            stopLimit, main.quantity, parentLine, parentUserId);
    });

    if (index == 1 || index == 3) {
        guard(log_, tag, [&] {
            // The MOC child carries whatever limit the stop child ended up with.
            if (stopRow > 0) stopLimit = data_.entryLines.at(data_.gridRows.at(stopRow).ref).limit1;
            makeChild(instrumentRow, column, stopRow > 0 ? stopRow : row, BracketCloseChild, "MOC", stopLimit,
                      main.quantity, parentLine, parentUserId);
        });
    }

    guard(log_, tag, [&] { orderGrid_.rebuildRows(); });
    guard(log_, tag, [&] { orderGrid_.redrawAll(); });
}

} // namespace kavex
