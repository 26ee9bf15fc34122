// The order grid's and execution grid's row tables: numbering, lookups by kind, edits,
// and lookups against a plain scan after random edits.
#include "base/failure.h"
#include "model/execution_rows.h"
#include "model/order_grid_rows.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace kavex {
namespace {

OrderGridRow row(int16_t kind, int16_t instrument = 0, int32_t ref = 0) {
    return OrderGridRow{kind, instrument, ref};
}

// Every lookup the grid makes, by scanning the rows as the table defines it: kind 3
// (open orders) also takes the finished ones.
int32_t scanSuchRow(const OrderGridRows& rows, int32_t number, int16_t kind) {
    for (int32_t r = 1; r <= rows.rowCount(); ++r) {
        const OrderGridRow& x = rows.at(r);
        bool kindMatches = kind == RowOpenOrder ? x.kind >= RowOpenOrder : x.kind == kind;
        if (kindMatches && x.number() == number) return r;
    }
    return 0;
}

TEST(OrderGridRowList, RowsStartAtIndexTwoAndOutsideRowsFail) {
    OrderGridRows rows;
    EXPECT_EQ(rows.SuchRow(1, RowInstrument), 0);
    rows.reset();
    EXPECT_EQ(rows.append(row(RowInstrument, 1)), 2);
    EXPECT_THROW(rows.at(3), Failure);
    EXPECT_THROW(rows.at(-1), Failure);
    for (int i = 0; i < 99; ++i) // beyond the first hundred rows
        rows.append(row(RowSeparator));
    rows.append(row(RowInstrument, 7));
    EXPECT_EQ(rows.SuchRow(7, RowInstrument), 102);
}

TEST(OrderGridRowList, SuchRowMatchesNumberByKindAndFollowsEdits) {
    OrderGridRows rows;
    rows.reset();
    for (OrderGridRow r : {row(RowInstrument, 1), row(RowSeparator), row(RowEntryLine, 1, 4),
                           row(RowFinishedOrder, 1, 9), row(RowOpenOrder, 1, 9), row(RowInstrument, 4)})
        rows.append(r); // rows 2 to 7
    using Lookup = std::pair<int32_t, int16_t>;
    auto find = [&](std::vector<Lookup> lookups) {
        std::vector<int32_t> out;
        for (auto [number, kind] : lookups)
            out.push_back(rows.SuchRow(number, kind));
        return out;
    };
    // An instrument row is found by its instrument; the title row 1 is searched too.
    EXPECT_EQ(find({{4, RowInstrument},
                    {4, RowEntryLine},
                    {9, RowOpenOrder},
                    {9, RowFinishedOrder},
                    {4, RowOpenOrder},
                    {0, RowSeparator}}),
              (std::vector<int32_t>{7, 4, 5, 5, 0, 1}));
    rows.setKind(5, RowOpenOrder);
    EXPECT_EQ(rows.SuchRow(9, RowFinishedOrder), 0);

    // An inserted row keeps the instrument and reference of the row it was inserted before.
    rows.InsertRow(4, RowEntryLine);
    EXPECT_EQ(rows.rowCount(), 8);
    EXPECT_EQ(std::make_pair(rows.at(5).kind, rows.at(5).ref), std::make_pair(int16_t{RowEntryLine}, 9));
    EXPECT_EQ(rows.SuchRow(9, RowOpenOrder), 6);
    rows.set(5, row(RowEntryLine, 1, 1));
    EXPECT_EQ(rows.SuchRow(1, RowEntryLine), 5);
    rows.DeleteRow(5);
    EXPECT_EQ(find({{1, RowEntryLine}, {9, RowOpenOrder}}), (std::vector<int32_t>{0, 5}));
    EXPECT_THROW(rows.InsertRow(8, RowEntryLine), Failure);
    EXPECT_THROW(rows.DeleteRow(-1), Failure);
}

TEST(OrderGridRowList, LookupsAnswerLikeAScanAfterRandomEdits) {
    std::mt19937 rng(7);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    OrderGridRows rows;
    rows.reset();
    for (int step = 0; step < 2000; ++step) {
        auto kind = static_cast<int16_t>(pick(5));
        switch (pick(6)) {
        case 0:
        case 1:
            rows.append(row(kind, static_cast<int16_t>(pick(4)), pick(4)));
            break;
        case 2:
            rows.InsertRow(pick(rows.rowCount() + 1), kind);
            break;
        case 3:
            if (rows.rowCount() > 2) rows.DeleteRow(2 + pick(rows.rowCount() - 1));
            break;
        case 4:
            rows.setKind(pick(rows.rowCount() + 1), kind);
            break;
        default:
            if (pick(50) == 0) rows.reset();
        }
        for (int16_t k = 0; k <= 4; ++k)
            for (int32_t n = 0; n < 4; ++n)
                ASSERT_EQ(rows.SuchRow(n, k), scanSuchRow(rows, n, k)) << step;
    }
}

TEST(ExecutionRowList, EntryOneIsTheTitleAndSuchExRowFindsTheFirstExecutionRow) {
    ExecutionRows rows;
    rows.reset();
    EXPECT_EQ(rows.append({ExRowExecution, 2, 5}), 2);
    rows.append({ExRowSeparator, 0, 0});
    rows.append({ExRowExecution, 2, 5});
    // Separators refer to no execution.
    EXPECT_EQ((std::vector<int32_t>{rows.SuchExRow(5), rows.SuchExRow(0), rows.SuchExRow(6)}),
              (std::vector<int32_t>{2, 0, 0}));
    for (int i = 0; i < 100; ++i) // beyond the first hundred rows
        rows.append({ExRowExecution, 1, 100 + i});
    EXPECT_EQ(rows.SuchExRow(199), 104);
    rows.reset();
    EXPECT_EQ(rows.SuchExRow(5), 0);
    EXPECT_THROW(rows.at(2), Failure);
}

} // namespace
} // namespace kavex
