#include "trading_window/order_grid.h"

#include "base/failure.h"
#include "model/trading_data.h"
#include "platform/cell_grid.h"
#include "platform/event_loop.h"
#include "trading_window/colour_roles.h"
#include "trading_window/grid_columns.h"
#include "trading_window/settings_file.h"

#include <cmath>

namespace kavex {
namespace {

constexpr int kInstrumentSet = 0;
constexpr int kOrderSet = 1;
constexpr const char* kTag = "ZeigOrderGrid";

std::string trimmedInt(int64_t v) {
    return std::to_string(v);
}

} // namespace

OrderGrid::OrderGrid(TradingData& data, CellGrid& grid, const OrderGridColumns& columns,
                     const ColourRoles& colours, const Settings& settings, EventLoop& loop,
                     FailureLog& protocol, NumberLocale locale)
    : data_(data), grid_(grid), columns_(columns), colours_(colours), settings_(settings), loop_(loop),
      protocol_(protocol), locale_(locale) {
    if (grid_.rows() < 3 || grid_.cols() < OrderGridColumns::kColumns + 1)
        grid_.resize(3, OrderGridColumns::kColumns + 1);
}

void OrderGrid::BuildOrderGrid() {
    OrderGridRows& rows = data_.gridRows;
    rows.reset();
    for (int i = 1; i <= data_.InstrumentCount(); ++i) {
        rows.append({RowInstrument, static_cast<int16_t>(i), 0});
        rows.append({RowSeparator, 0, 0});
        for (int j = 1; j <= data_.entryLines.count(); ++j)
            if (data_.entryLines.at(j).instrumentNumber == i)
                rows.append({RowEntryLine, static_cast<int16_t>(i), j});
        for (int k = data_.orderBook.count(); k >= 1; --k) {
            const Order& o = data_.orderBook.at(k);
            if (o.instrumentNumber != i) continue;
            if (o.status >= StatusPendSubm && o.status <= StatusSubmitted)
                rows.append({RowOpenOrder, static_cast<int16_t>(i), k});
            else if (isFinished(o.status) && settings_.ShowFinishedOrders != 0)
                rows.append({RowFinishedOrder, static_cast<int16_t>(i), k});
        }
    }
}

int32_t OrderGrid::MachneueLeerzeile(int instrument, const std::string& side, int32_t quantity) {
    int32_t n = data_.entryLines.takeFreeSlot();
    Order& line = data_.entryLines.at(n);
    line.side = side;
    line.instrumentNumber = static_cast<int16_t>(instrument);
    line.quantity = quantity;
    const Instrument& quote = data_.instruments.at(instrument);
    line.limit1 = line.side.trimmed() == "BUY" ? quote.Ask : quote.Bid;
    line.limit2 = 0;
    line.orderType = "MKT";
    line.accountCode = data_.account.accountCode.str();
    line.orderUserId = 0;
    return n;
}

int OrderGrid::cellColumn(int set, int logical) const {
    return columns_.map(set, logical);
}

void OrderGrid::setCell(int row, int set, int logical, std::string text) {
    int col = cellColumn(set, logical);
    if (col == 0) return;
    grid_.setText(row, col, std::move(text));
}

void OrderGrid::setColour(int row, int set, int logical, int colour) {
    int col = logical == 0 ? 0 : cellColumn(set, logical);
    if (logical != 0 && col == 0) return;
    Cell& cell = grid_.mutableCell(row, col);
    if (cell.background == colour) return;
    cell.background = colour;
    grid_.touch(row, col);
}

void OrderGrid::zeigOrderGrid(int mode, int arg) {
    guard(protocol_, kTag, [&] { referenceHeight_ = grid_.rowHeight(0); });
    grid_.setRedraw(false);
    if (mode == 0) guard(protocol_, kTag, [&] { drawTitles(); });
    const OrderGridRows& rows = data_.gridRows;
    if (rows.rowCount() > 0) {
        if (mode == 0) {
            for (int r = 0; r <= rows.rowCount(); ++r)
                guard(protocol_, kTag, [&] { drawRow(r); });
        } else if (mode == 1) {
            // Only the quote row of the instrument: found through the row index, not a walk.
            int r = rows.SuchRow(arg, RowInstrument);
            if (r > 0) guard(protocol_, kTag, [&] { drawRow(r); });
        } else if (mode == 2) {
            guard(protocol_, kTag, [&] { drawRow(arg); });
        }
    }
    // Whatever failed above, the grid is shown again.
    grid_.setRedraw(true);
}

void OrderGrid::drawTitles() {
    grid_.clear();
    grid_.resize(3, OrderGridColumns::kColumns + 1);
    grid_.setColWidth(0, 250);
    grid_.setDefaultForeground(columns_.textColour());
    for (int set = 0; set <= 1; ++set) {
        for (int c = 1; c <= OrderGridColumns::kColumns; ++c) {
            Cell& cell = grid_.mutableCell(set, c);
            cell.background = grid_colour::kTitle;
            cell.text = std::string(columns_.title(set, c));
        }
    }
    grid_.resize(data_.gridRows.rowCount() + 1, OrderGridColumns::kColumns + 1);
}

void OrderGrid::drawRow(int row) {
    const OrderGridRow& d = data_.gridRows.at(row);
    switch (d.kind) {
    case RowSeparator:
        drawSeparator(row, referenceHeight_);
        break;
    case RowInstrument:
        drawInstrumentRow(row, d.instrument);
        break;
    case RowEntryLine:
    case RowOpenOrder:
    case RowFinishedOrder:
        drawOrderLine(row, d.kind, d.ref);
        break;
    default:
        break;
    }
}

void OrderGrid::drawSeparator(int row, int referenceHeight) {
    grid_.setDefaultBackground(columns_.separatorColour());
    setColour(row, kOrderSet, 0, grid_colour::kOrderMargin);
    if (row >= 2) grid_.setRowHeight(row, static_cast<int>(std::nearbyint(referenceHeight / 2.0)));
}

void OrderGrid::drawInstrumentRow(int row, int instrument) {
    const int s = kInstrumentSet;
    setColour(row, s, 0, grid_colour::kInstrumentMargin);
    for (int c = 1; c <= OrderGridColumns::kColumns; ++c)
        setColour(row, s, c, columns_.colour(s, c));
    const Instrument& q = data_.instruments.at(instrument);
    setCell(row, s, 1, q.Ticker);
    setCell(row, s, 2, "EUX");
    setCell(row, s, 3, q.ZeltickerCode);
    setCell(row, s, 4, "-");
    setCell(row, s, 5, "0.0");
    setCell(row, s, 6, "+- 0");
    setCell(row, s, 7, strInt(q.BidVolume));
    setCell(row, s, 8, strSingle(q.Bid));
    setCell(row, s, 9, strSingle(q.Ask));
    setCell(row, s, 10, strInt(q.AskVolume));
    setCell(row, s, 11, strSingle(q.Last));
    setCell(row, s, 12, timeOfDayText(loop_.now()));
    setColour(row, s, 12, columns_.colour(kOrderSet, 12));
    setCell(row, s, 13, "DEFAULT");
    if (data_.DefaultInstrument == instrument) setColour(row, s, 13, grid_colour::kDefaultInstrument);

    int holdingCol = cellColumn(s, 14);
    if (holdingCol != 0) {
        grid_.mutableCell(row, holdingCol).alignment = CellAlignment::Centre;
        grid_.touch(row, holdingCol);
    }
    int16_t p = positionOf(data_.PositionIndex, instrument);
    if (p == 0) return; // no holding: these cells get no new text
    const Position& pos = data_.positionList.at(p);
    setCell(row, s, 14, pos.holding < 1 ? std::to_string(pos.holding) : "+" + std::to_string(pos.holding));
    if (holdingCol != 0) {
        Cell& cell = grid_.mutableCell(row, holdingCol);
        cell.bold = true;
        cell.fontSize = 12;
        cell.foreground = grid_colour::kHoldingText;
        grid_.touch(row, holdingCol);
    }
    setCell(row, s, 15, strSingle(pos.sumValue - pos.sumCost));
    setColour(row, s, 15, columns_.colour(s, 14));
    if (int c = cellColumn(s, 15); c != 0) {
        Cell& cell = grid_.mutableCell(row, c);
        cell.alignment = CellAlignment::Centre;
        cell.bold = true;
        cell.fontSize = 12;
        grid_.touch(row, c);
    }
    setCell(row, s, 16, strSingle(pos.marginS));
    if (data_.account.kontoValue8 != 0) {
        setCell(row, s, 17, "Mges=" + strSingle(data_.account.kontoValue8));
        setColour(row, s, 17, columns_.colour(s, 16));
    }
}

void OrderGrid::drawOrderLine(int row, int kind, int ref) {
    const int s = kOrderSet;
    const Order& o = kind == RowEntryLine ? data_.entryLines.at(ref) : data_.orderBook.at(ref);
    setColour(row, s, 0, grid_colour::kOrderMargin);
    for (int c = 1; c <= OrderGridColumns::kColumns; ++c)
        setColour(row, s, c, columns_.colour(s, c));
    const bool entry = kind == RowEntryLine;
    const bool finished = kind == RowFinishedOrder;

    setCell(row, s, 1, data_.instruments.at(o.instrumentNumber).Ticker);
    setCell(row, s, 2, o.orderId.str());
    setCell(row, s, 3, entry ? "-" : trimmedInt(o.orderUserId));
    setCell(row, s, 4, "DAY");
    setCell(row, s, 5, o.side.str());
    const bool buy = o.side.trimmed() == "BUY";
    if (finished)
        setColour(row, s, 5, buy ? grid_colour::kFinishedBuy : grid_colour::kFinishedSell);
    else
        setColour(row, s, 5, buy ? grid_colour::kBuy : grid_colour::kSell);
    setCell(row, s, 6, trimmedInt(o.quantity));
    if (o.limit1 <= 0 && o.bracketRole >= BracketLimitChild)
        setCell(row, s, 7, "Offset:" + strSingle(std::fabs(o.limit1)));
    else
        setCell(row, s, 7, localeSingle(o.limit1, locale_));
    setCell(row, s, 8, localeSingle(o.limit2, locale_));
    drawTypeCell(row, kind, o);

    if (entry) {
        setCell(row, s, 10, "TRANSMIT");
        setCell(row, s, 11, "DELETE");
        setColour(row, s, 11, grid_colour::kInactiveAction);
        setCell(row, s, 12, "");
        setCell(row, s, 13, "");
        setCell(row, s, 14, "");
        setCell(row, s, 15, "");
        setCell(row, s, 17,
                "Z" + trimmedInt(row) + " L" + trimmedInt(ref) + " B" + trimmedInt(o.bracketRole) +
                    strInt(o.parentLine) + "- -");
        return;
    }
    setCell(row, s, 10, "-");
    setColour(row, s, 10, grid_colour::kInactiveAction);
    if (finished) {
        setCell(row, s, 11, "-");
        setColour(row, s, 11, grid_colour::kInactiveAction);
    } else {
        setCell(row, s, 11, "CANCEL");
    }
    setCell(row, s, 12, std::string(OrderStatusText(o.status)));
    setCell(row, s, 13, isOvernight(o) ? std::string("overnight") : o.statusTime.str());
    setCell(row, s, 14, strInt(o.filled) + " - " + strInt(o.remaining));
    setCell(row, s, 15, localeSingle(o.price, locale_));
    setCell(row, s, 17,
            "Z" + trimmedInt(row) + " O" + trimmedInt(ref) + " B" + trimmedInt(o.bracketRole) + "-" +
                strInt(o.parentOrderUserId) + " " + o.statusInfo.str());
}

void OrderGrid::drawTypeCell(int row, int kind, const Order& o) {
    const int s = kOrderSet;
    std::string type = o.orderType.str();
    if (kind == RowEntryLine) {
        if (o.bracketRole >= BracketMain && o.bracketRole <= BracketCloseChild) {
            setCell(row, s, 9, "BR:" + type);
            setColour(row, s, 9, colours_[OG_BracketChildCold]);
        } else {
            setCell(row, s, 9, type);
        }
        return;
    }
    switch (o.bracketRole) {
    case BracketPlain:
        setCell(row, s, 9, type);
        break;
    case BracketMain:
        setCell(row, s, 9, "BR:" + type);
        if (o.status == StatusSubmitted) setColour(row, s, 9, colours_[OG_BracketMain]);
        break;
    case BracketLimitChild:
    case BracketStopChild:
    case BracketCloseChild:
        setCell(row, s, 9, "BR:" + type);
        if (o.activeFlag != 0) {
            if (o.status == StatusSubmitted) setColour(row, s, 9, colours_[OG_BracketChildHot]);
        } else if (kind != RowFinishedOrder) {
            setColour(row, s, 9, colours_[OG_BracketChildCold]);
        }
        break;
    default:
        break; // prefix and colour stay as they were
    }
}

} // namespace kavex
