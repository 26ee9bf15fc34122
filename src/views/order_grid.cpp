#include "views/order_grid.h"

#include "base/failure.h"
#include "model/settings_file.h"
#include "model/trading_data.h"
#include "platform/event_loop.h"
#include "views/cell_grid.h"
#include "views/colour_roles.h"
#include "views/grid_columns.h"

#include <cmath>

namespace kavex {
namespace {

constexpr const char* kTag = "ZeigOrderGrid";

std::string trimmedInt(int64_t v) {
    return std::to_string(v);
}

} // namespace

OrderGrid::OrderGrid(TradingData& data, CellGrid& grid, const OrderGridColumns& columns,
                     const ColourRoles& colours, const Settings& settings, EventLoop& loop, FailureLog& log,
                     NumberLocale locale)
    : data_(data), grid_(grid), columns_(columns), colours_(colours), settings_(settings), loop_(loop),
      log_(log), locale_(locale) {
    if (grid_.rows() < 3 || grid_.cols() < OrderGridColumns::kColumns + 1)
        grid_.resize(3, OrderGridColumns::kColumns + 1);
}

void OrderGrid::rebuildRows() {
    OrderGridRows& rows = data_.gridRows;
    rows.reset();
    for (int i = 1; i <= data_.instrumentCount(); ++i) {
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

void OrderGrid::orderAdded(int orderBookNumber) {
    OrderGridRows& rows = data_.gridRows;
    const Order& o = data_.orderBook.at(orderBookNumber);
    int16_t kind = 0;
    if (o.status >= StatusPendSubm && o.status <= StatusSubmitted)
        kind = RowOpenOrder;
    else if (isFinished(o.status) && settings_.ShowFinishedOrders != 0)
        kind = RowFinishedOrder;
    if (kind == 0 || o.instrumentNumber < 1 || o.instrumentNumber > data_.instrumentCount()) return;
    const int instrumentRow = rows.findRow(o.instrumentNumber, RowInstrument);
    if (instrumentRow == 0) return;
    // The newest order comes first among the instrument's orders: below its separator
    // and the entry lines that follow it, as a rebuild would place it.
    int above = instrumentRow + 1;
    while (above < rows.rowCount() && rows.at(above + 1).kind == RowEntryLine)
        ++above;
    const bool gridInStep = grid_.rows() == rows.rowCount() + 1;
    rows.insertRow(above, kind);
    rows.set(above + 1, {kind, o.instrumentNumber, orderBookNumber});
    if (!gridInStep) {
        redrawAll();
        return;
    }
    grid_.insertRow(above + 1);
    redrawRow(above + 1);
    if (above + 2 <= rows.rowCount())
        staleTracesFrom_ = staleTracesFrom_ == 0 ? above + 2 : std::min(staleTracesFrom_, above + 2);
}

void OrderGrid::refreshRowTraces() {
    if (staleTracesFrom_ == 0) return;
    const int from = staleTracesFrom_;
    staleTracesFrom_ = 0;
    redraw([&] {
        const OrderGridRows& rows = data_.gridRows;
        for (int r = from; r <= rows.rowCount() && r < grid_.rows(); ++r) {
            const OrderGridRow& d = rows.at(r);
            if (d.kind < RowEntryLine) continue;
            guard(log_, kTag, [&] {
                const Order& o =
                    d.kind == RowEntryLine ? data_.entryLines.at(d.ref) : data_.orderBook.at(d.ref);
                drawTrace(r, d.kind, d.ref, o);
            });
        }
    });
}

int32_t OrderGrid::newEntryLine(int instrument, const std::string& side, int32_t quantity) {
    int32_t n = data_.entryLines.takeFreeSlot();
    data_.origins.lineTaken(n);
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

std::string OrderGrid::rowToolTip(int row) const {
    if (row < 1 || row > data_.gridRows.rowCount()) return {};
    const OrderGridRow& d = data_.gridRows.at(row);
    std::string origin;
    if (d.kind == RowEntryLine)
        origin = originText(data_.origins.ofLine(d.ref));
    else if ((d.kind == RowOpenOrder || d.kind == RowFinishedOrder) && data_.orderBook.valid(d.ref))
        origin = originText(data_.origins.ofOrder(data_.orderBook.at(d.ref).orderUserId));
    return origin.empty() ? origin : "Herkunft: " + origin;
}

int OrderGrid::cellColumn(int set, int logical) const {
    return columns_.map(set, logical);
}

void OrderGrid::setCell(int row, int set, int logical, std::string_view text) {
    int col = cellColumn(set, logical);
    if (col == 0) return;
    grid_.assignText(row, col, text);
}

void OrderGrid::setSingleCell(int row, int set, int logical, float value) {
    scratch_.clear();
    appendStrSingle(scratch_, value);
    setCell(row, set, logical, scratch_);
}

void OrderGrid::setIntCell(int row, int set, int logical, int64_t value) {
    scratch_.clear();
    appendStrInt(scratch_, value);
    setCell(row, set, logical, scratch_);
}

void OrderGrid::setColour(int row, int set, int logical, int colour) {
    int col = logical == 0 ? 0 : cellColumn(set, logical);
    if (logical != 0 && col == 0) return;
    grid_.setBackground(row, col, colour);
}

void OrderGrid::setCellStyle(int row, int col, CellAlignment alignment, bool bold, float fontSize,
                             int foreground) {
    Cell& cell = grid_.mutableCell(row, col);
    if (cell.alignment == alignment && cell.bold == bold && cell.fontSize == fontSize &&
        cell.foreground == foreground)
        return;
    cell.alignment = alignment;
    cell.bold = bold;
    cell.fontSize = fontSize;
    cell.foreground = foreground;
    grid_.touch(row, col);
}

// The Zeit cell shows the clock's second at drawing; a refresh pass draws hundreds of rows
// within one second, so the text is made once per second of the clock. The second is
// taken from the day number exactly as fromDayNumber rounds it.
const std::string& OrderGrid::timeOfDay() {
    const double day = loop_.nowDayNumber();
    const double whole = std::floor(day);
    const int64_t second =
        static_cast<int64_t>(whole) * 86400 + std::llround((day - whole) * 86400000.0) / 1000;
    if (second != timeSecond_) {
        timeText_ = timeOfDayText(fromDayNumber(day));
        timeSecond_ = second;
    }
    return timeText_;
}

void OrderGrid::redrawAll() {
    staleTracesFrom_ = 0;
    redraw([&] {
        guard(log_, kTag, [&] { drawTitles(); });
        const OrderGridRows& rows = data_.gridRows;
        if (rows.rowCount() == 0) return;
        for (int r = 0; r <= rows.rowCount(); ++r)
            guard(log_, kTag, [&] { drawRow(r); });
    });
}

void OrderGrid::redrawInstrument(int instrument) {
    redraw([&] {
        // Only the quote row of the instrument: found through the row index, not a walk.
        const OrderGridRows& rows = data_.gridRows;
        if (rows.rowCount() == 0) return;
        int r = rows.findRow(instrument, RowInstrument);
        if (r > 0) guard(log_, kTag, [&] { drawRow(r); });
    });
}

void OrderGrid::redrawRow(int row) {
    redraw([&] {
        if (data_.gridRows.rowCount() > 0) guard(log_, kTag, [&] { drawRow(row); });
    });
}

template <class Drawing> void OrderGrid::redraw(Drawing&& drawing) {
    guard(log_, kTag, [&] { referenceHeight_ = grid_.rowHeight(0); });
    grid_.setRedraw(false);
    drawing();
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
    setColour(row, OrderGridColumns::kOrderSet, 0, grid_colour::kOrderMargin);
    if (row >= 2) grid_.setRowHeight(row, static_cast<int>(std::nearbyint(referenceHeight / 2.0)));
}

void OrderGrid::drawInstrumentRow(int row, int instrument) {
    const int s = OrderGridColumns::kInstrumentSet;
    // Every cell gets its final colour in one write, so a redraw that changes nothing
    // reports no change. Zeit takes the colour of the order set, DEFAULT may be marked,
    // and with a holding G/V and Bracket take the colours of Bestand and MarginWP. A row
    // whose instrument or holding is missing keeps the plain column colours, the state
    // the drawing leaves when it fails there.
    const bool valid = data_.instruments.valid(instrument);
    const int16_t p = valid ? positionOf(data_.positionIndex, instrument) : int16_t{0};
    const bool holding = p != 0 && data_.positionList.valid(p);
    setColour(row, s, 0, grid_colour::kInstrumentMargin);
    for (int c = 1; c <= OrderGridColumns::kColumns; ++c) {
        int colour = columns_.colour(s, c);
        if (valid && c == 12) colour = columns_.colour(OrderGridColumns::kOrderSet, 12);
        if (valid && c == 13 && data_.defaultInstrument == instrument)
            colour = grid_colour::kDefaultInstrument;
        if (valid && c == 1 && data_.alerts.marked(data_.instruments.at(instrument).Ticker))
            colour = grid_colour::kAlarmReached;
        if (holding && c == 15) colour = columns_.colour(s, 14);
        if (holding && c == 17 && data_.account.kontoValue8 != 0) colour = columns_.colour(s, 16);
        setColour(row, s, c, colour);
    }
    const Instrument& q = data_.instruments.at(instrument);
    setCell(row, s, 1, q.Ticker);
    setCell(row, s, 2, "EUX");
    setCell(row, s, 3, q.ZeltickerCode);
    setCell(row, s, 4, "-");
    setCell(row, s, 5, "0.0");
    setCell(row, s, 6, "+- 0");
    setIntCell(row, s, 7, q.BidVolume);
    setSingleCell(row, s, 8, q.Bid);
    setSingleCell(row, s, 9, q.Ask);
    setIntCell(row, s, 10, q.AskVolume);
    setSingleCell(row, s, 11, q.Last);
    setCell(row, s, 12, timeOfDay());
    setCell(row, s, 13, "DEFAULT");

    const int holdingCol = cellColumn(s, 14);
    if (holdingCol != 0) {
        const Cell& cell = grid_.cell(row, holdingCol);
        setCellStyle(row, holdingCol, CellAlignment::Centre, cell.bold, cell.fontSize, cell.foreground);
    }
    if (p == 0) return; // no holding: these cells get no new text
    const Position& pos = data_.positionList.at(p);
    scratch_.clear();
    if (pos.holding >= 1) scratch_ += '+';
    scratch_ += std::to_string(pos.holding);
    setCell(row, s, 14, scratch_);
    if (holdingCol != 0)
        setCellStyle(row, holdingCol, CellAlignment::Centre, true, 12, grid_colour::kHoldingText);
    setSingleCell(row, s, 15, pos.sumValue - pos.sumCost);
    if (int c = cellColumn(s, 15); c != 0)
        setCellStyle(row, c, CellAlignment::Centre, true, 12, grid_.cell(row, c).foreground);
    setSingleCell(row, s, 16, pos.marginS);
    if (data_.account.kontoValue8 != 0) {
        scratch_ = "Mges=";
        appendStrSingle(scratch_, data_.account.kontoValue8);
        setCell(row, s, 17, scratch_);
    }
}

void OrderGrid::drawOrderLine(int row, int kind, int ref) {
    const int s = OrderGridColumns::kOrderSet;
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
        drawTrace(row, kind, ref, o);
        return;
    }
    setCell(row, s, 10, "-");
    setColour(row, s, 10, grid_colour::kInactiveAction);
    if (finished) {
        setCell(row, s, 11, "-");
        setColour(row, s, 11, grid_colour::kInactiveAction);
    } else {
        setCell(row, s, 11, "CANCEL");
        // Only an order working at the server can be cancelled; before that it looks inactive.
        if (!isCancellable(o.status)) setColour(row, s, 11, grid_colour::kInactiveAction);
    }
    std::string status(OrderStatusText(o.status));
    if (!finished && pendingChangeText) {
        // A change waiting for its cancel is shown in place of the status.
        std::string change = pendingChangeText(ref);
        if (!change.empty()) status = std::move(change);
    }
    setCell(row, s, 12, status);
    setCell(row, s, 13, isOvernight(o) ? std::string("overnight") : o.statusTime.str());
    setCell(row, s, 14, strInt(o.filled) + " - " + strInt(o.remaining));
    setCell(row, s, 15, localeSingle(o.price, locale_));
    drawTrace(row, kind, ref, o);
}

// The bracket link trace: the row, the record and the bracket fields.
void OrderGrid::drawTrace(int row, int kind, int ref, const Order& o) {
    const int s = OrderGridColumns::kOrderSet;
    if (kind == RowEntryLine)
        setCell(row, s, 17,
                "Z" + trimmedInt(row) + " L" + trimmedInt(ref) + " B" + trimmedInt(o.bracketRole) +
                    strInt(o.parentLine) + "- -");
    else
        setCell(row, s, 17,
                "Z" + trimmedInt(row) + " O" + trimmedInt(ref) + " B" + trimmedInt(o.bracketRole) + "-" +
                    strInt(o.parentOrderUserId) + " " + o.statusInfo.str());
}

void OrderGrid::drawTypeCell(int row, int kind, const Order& o) {
    const int s = OrderGridColumns::kOrderSet;
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
