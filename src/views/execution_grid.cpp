#include "views/execution_grid.h"

#include "base/failure.h"
#include "base/fixed_text.h"
#include "model/trading_data.h"
#include "views/cell_grid.h"
#include "views/grid_columns.h"

#include <vector>

namespace kavex {
namespace {

// The drawing logs its failures under its own name, as the order grid's drawing does.
constexpr const char* kTag = "ZeigExecutionGrid";
constexpr int kColumns = OrderGridColumns::kExecutionColumns;

std::string cut(const std::string& text, std::size_t from, std::size_t length) {
    return from < text.size() ? text.substr(from, length) : std::string();
}

} // namespace

ExecutionGrid::ExecutionGrid(TradingData& data, CellGrid& grid, const OrderGridColumns& columns,
                             FailureLog& log, NumberLocale locale)
    : data_(data), grid_(grid), columns_(columns), log_(log), locale_(locale) {
    if (grid_.rows() < 2 || grid_.cols() < kColumns + 1) grid_.resize(2, kColumns + 1);
}

void ExecutionGrid::selectOrder(int entry) {
    selectedOrder_ = entry;
    refresh();
}

void ExecutionGrid::refresh() {
    guard(log_, kTag, [&] { rebuildRows(); });
    redrawAll();
}

void ExecutionGrid::executionReplaced(int32_t execution) {
    int32_t entry = rows_.findExecutionRow(execution);
    if (entry > 0) redrawEntry(entry);
}

void ExecutionGrid::rebuildRows() {
    rows_.reset();
    const ExecutionList& list = data_.executionList;
    auto executionRow = [&](int32_t n) { rows_.append({ExRowExecution, list.at(n).instrumentNumber, n}); };
    switch (selectedOrder_) {
    case OldestFirst:
        for (int32_t n = 1; n <= list.count(); ++n)
            executionRow(n);
        break;
    case NewestFirst:
        for (int32_t n = list.count(); n >= 1; --n)
            executionRow(n);
        break;
    default: {
        // One walk groups the execution numbers by instrument, keeping list order.
        const int instruments = data_.instrumentCount();
        std::vector<std::vector<int32_t>> byInstrument(static_cast<std::size_t>(instruments) + 1);
        for (int32_t n = 1; n <= list.count(); ++n) {
            int k = list.at(n).instrumentNumber;
            if (k >= 1 && k <= instruments) byInstrument[static_cast<std::size_t>(k)].push_back(n);
        }
        for (int k = 1; k <= instruments; ++k) {
            const std::vector<int32_t>& numbers = byInstrument[static_cast<std::size_t>(k)];
            for (int32_t n : numbers)
                executionRow(n);
            if (!numbers.empty()) rows_.append({ExRowSeparator, 0, 0});
        }
    }
    }
}

void ExecutionGrid::redrawAll() {
    redraw([&](int referenceHeight) {
        guard(log_, kTag, [&] { drawTitles(); });
        for (int e = 1; e <= rows_.rowCount(); ++e)
            drawEntry(e, referenceHeight);
    });
}

void ExecutionGrid::redrawInstrument(int instrument) {
    redraw([&](int referenceHeight) {
        for (int e = 1; e <= rows_.rowCount(); ++e) {
            const ExecutionRow& r = rows_.at(e);
            if (r.kind == ExRowExecution && r.instrument == instrument) drawEntry(e, referenceHeight);
        }
    });
}

void ExecutionGrid::redrawEntry(int entry) {
    redraw([&](int referenceHeight) { drawEntry(entry, referenceHeight); });
}

template <class Drawing> void ExecutionGrid::redraw(Drawing&& drawing) {
    grid_.setRedraw(false);
    int referenceHeight = 0;
    guard(log_, kTag, [&] { referenceHeight = grid_.rowHeight(0); });
    // The column set-up gives the grid its text colour; every colour change redraws.
    grid_.setDefaultForeground(columns_.executionTextColour());
    drawing(referenceHeight);
    grid_.setRedraw(true);
}

void ExecutionGrid::drawTitles() {
    grid_.clear();
    grid_.setColWidth(0, 250);
    grid_.resize(2, kColumns + 1);
    for (int c = 1; c <= kColumns; ++c) {
        Cell& cell = grid_.mutableCell(0, c);
        cell.text = std::string(columns_.executionTitle(c));
        cell.background = columns_.executionColour(c);
        grid_.touch(0, c);
    }
    if (rows_.rowCount() != 0) grid_.resize(rows_.rowCount(), kColumns + 1);
}

void ExecutionGrid::setBackground(int row, int column, int colour) {
    Cell& cell = grid_.mutableCell(row, column);
    if (cell.background == colour) return;
    cell.background = colour;
    grid_.touch(row, column);
}

void ExecutionGrid::drawEntry(int entry, int referenceHeight) {
    ExecutionRow r;
    guard(log_, kTag, [&] { r = rows_.at(entry); });
    const int row = entry - 1;
    if (r.kind == ExRowExecution) {
        guard(log_, kTag, [&] { grid_.setRowHeight(row, referenceHeight); });
        guard(log_, kTag, [&] { grid_.setText(row, 0, "1"); });
        const Execution* e = nullptr;
        guard(log_, kTag, [&] { e = &data_.executionList.at(r.execution); });
        for (int c = 1; c <= kColumns; ++c) {
            guard(log_, kTag, [&] { setBackground(row, c, columns_.executionColour(c)); });
            if (e) guard(log_, kTag, [&] { grid_.setText(row, c, cellText(*e, r.execution, c)); });
        }
    } else if (r.kind == ExRowSeparator) {
        guard(log_, kTag, [&] { grid_.setRowHeight(row, roundToInt32(referenceHeight / 2.0)); });
        for (int c = 0; c < grid_.cols(); ++c)
            guard(log_, kTag, [&] { setBackground(row, c, columns_.executionSeparatorColour()); });
    }
}

std::string ExecutionGrid::timeText(const std::string& text) {
    if (text.size() < 5) return "-";
    std::string t(trimBlanks(text));
    return cut(t, 0, 2) + ":" + cut(t, 2, 2) + ":" + (t.size() >= 2 ? t.substr(t.size() - 2) : t);
}

std::string ExecutionGrid::cellText(const Execution& e, int32_t number, int column) const {
    switch (column) {
    case 1:
        return "ENr" + std::to_string(number);
    case 2:
        return e.action.str();
    case 3:
        return std::to_string(e.quantity);
    case 4:
        return data_.instruments.at(e.instrumentNumber).Ticker;
    case 5:
        return data_.instruments.at(e.instrumentNumber).ZeltickerCode;
    case 6:
        return data_.instruments.at(e.instrumentNumber).Name;
    case 7:
        return localeSingle(e.price, locale_);
    case 8:
        return localeSingle(e.amount, locale_);
    case 9:
        return data_.instruments.at(e.instrumentNumber).Currency;
    case 10:
        return e.commission != 0 ? timeText(e.execTime.str()) : "overnight";
    case 11:
        return e.executionId.str();
    case 12:
        return e.orderId.str();
    case 13:
        return "-" + localeSingle(e.commission, locale_);
    case 14:
        return localeSingle(e.profit, locale_);
    case 15:
        return localeSingle(e.profit - e.commission, locale_);
    default:
        return {};
    }
}

} // namespace kavex
