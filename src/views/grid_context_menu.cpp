#include "views/grid_context_menu.h"

#include "base/failure.h"
#include "model/trading_data.h"
#include "platform/services.h"
#include "views/brackets.h"
#include "views/closing.h"

namespace kavex {
namespace {

constexpr const char* kNotOpen = "Bitte eine nicht abgeschlossene Order anklicken!";
constexpr const char* kAlreadyMain = "Diese Order ist bereits eine Bracket-Hauptorder!";
constexpr const char* kAlreadyChild = "Diese Order ist bereits eine Bracketorder!";

// The menus' first item names what was clicked: the ticker, and for an order line its
// side and quantity.
std::string orderHeader(const TradingData& data, const Order& o) {
    std::string ticker;
    if (data.instruments.valid(o.instrumentNumber)) ticker = data.instruments.at(o.instrumentNumber).Ticker;
    ticker.append(" ").append(o.side.trimmed()).append(" ").append(std::to_string(o.quantity));
    return ticker.append(" ").append(o.orderType.trimmed());
}

} // namespace

GridContextMenu::GridContextMenu(TradingData& data, Brackets& brackets, Closing& closing, Prompts& prompts,
                                 FailureLog& log)
    : data_(data), brackets_(brackets), closing_(closing), prompts_(prompts), log_(log) {}

void GridContextMenu::openContextMenu(int row, int /*col*/) {
    OrderGridRow d;
    if (row >= 0 && row <= data_.gridRows.rowCount()) d = data_.gridRows.at(row);
    guard(log_, "OG_MouseDown ", [&] {
        switch (d.kind) {
        case RowInstrument:
            openInstrumentMenu(d.instrument);
            return;
        case RowEntryLine: {
            const int line = d.ref;
            openBracketMenu(orderHeader(data_, data_.entryLines.at(line)), false,
                            [this, line] { return data_.gridRows.findRow(line, RowEntryLine); });
            return;
        }
        case RowOpenOrder: {
            const Order& o = data_.orderBook.at(d.ref);
            // A role outside 0..4 is treated like a child's: it gets no bracket of its own.
            if (o.bracketRole == BracketPlain)
                openBracketMenu(orderHeader(data_, o), true,
                                [this, id = o.orderUserId] { return data_.orderRow(id); });
            else
                prompts_.message(o.bracketRole == BracketMain ? kAlreadyMain : kAlreadyChild);
            return;
        }
        case RowFinishedOrder: {
            // A filled plain order can still be protected: its holding is there.
            const Order& o = data_.orderBook.at(d.ref);
            if (o.status == StatusFilled && o.bracketRole == BracketPlain)
                openBracketMenu(orderHeader(data_, o), true,
                                [this, id = o.orderUserId] { return data_.orderRow(id); });
            else
                prompts_.message(o.bracketRole == BracketPlain ? kNotOpen : kAlreadyChild);
            return;
        }
        default:
            prompts_.message(kNotOpen);
            return;
        }
    });
}

// The menu is modal: while it is open other events run and rows may move, so each command
// looks its row up again by a stable key and does nothing (with a log line) when it is gone.
std::function<void()> GridContextMenu::onRow(std::function<int()> currentRow,
                                             std::function<void(int row)> command) {
    return [this, currentRow = std::move(currentRow), command = std::move(command)] {
        const int row = currentRow();
        if (row == 0) {
            log_.addLine(Brackets::kRowGone);
            return;
        }
        command(row);
    };
}

void GridContextMenu::openInstrumentMenu(int instrument) {
    auto instrumentRow = [this, instrument] { return data_.gridRows.findRow(instrument, RowInstrument); };
    std::vector<MenuEntry> entries{
        {data_.instruments.at(instrument).Ticker, nullptr},
        {kReverse, onRow(instrumentRow, [this](int row) { closing_.reversePosition(row); })},
        {kClose, onRow(instrumentRow, [this](int row) { closing_.closePosition(row); })}};
    if (setPriceAlarm)
        entries.push_back({kPriceAlarm, onRow(instrumentRow, [this](int row) {
                               setPriceAlarm(data_.gridRows.at(row).instrument);
                           })});
    menu_.open(std::move(entries));
}

void GridContextMenu::openBracketMenu(const std::string& header, bool serverOrder,
                                      std::function<int()> currentRow) {
    std::vector<MenuEntry> entries{{header, nullptr}};
    for (int index = 0; index < static_cast<int>(Brackets::kMenuCaptions.size()); ++index) {
        std::function<void(int)> command;
        if (serverOrder)
            command = [this, index](int row) { brackets_.bracketServerOrder(index, row); };
        else
            command = [this, index](int row) { brackets_.bracketEntryLine(index, row); };
        entries.push_back(
            {Brackets::kMenuCaptions[static_cast<std::size_t>(index)], onRow(currentRow, command)});
    }
    menu_.open(std::move(entries));
}

} // namespace kavex
