// The order book, execution list, holdings and the first-match index behind their
// lookups: keys, padding, replacement and failures; the index against a plain map. The
// order grid's and execution grid's row tables: numbering, lookups by kind, edits, and
// lookups against a plain scan after random edits.
#include "base/failure.h"
#include "model/execution_list.h"
#include "model/execution_rows.h"
#include "model/first_match_index.h"
#include "model/order_book.h"
#include "model/order_grid_rows.h"
#include "model/position.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace kavex {
namespace {

Order order(int32_t userId, std::string_view orderId) {
    Order o;
    o.orderUserId = userId;
    o.orderId = orderId;
    return o;
}

Execution execution(std::string_view id) {
    Execution e;
    e.executionId = id;
    return e;
}

TEST(OrderRecords, StatusCodesOutsideTheTableFailAndOnlyWorkingOrdersCanBeCancelled) {
    EXPECT_EQ(OrderStatusText(6), "Filled "); // padded as the grid shows it
    EXPECT_THROW(OrderStatusText(7), Failure);
    EXPECT_THROW(OrderStatusText(-1), Failure);
    EXPECT_TRUE(isCancellable(3) && isCancellable(4) && !isCancellable(1) && !isCancellable(5));
    EXPECT_TRUE(isFinished(5) && isFinished(6) && !isFinished(4));
}

TEST(OrderRecords, EntryLinesAreFreeByInstrumentAloneAndTheOvernightMarkMustFitTheType) {
    Order line;
    line.orderType = "LMTOVN"; // cut to three characters, the mark is gone
    EXPECT_FALSE(isOvernight(line));
    line.orderType = "OVN";
    EXPECT_TRUE(isOvernight(line));
    line.quantity = 5;
    line.bracketRole = BracketStopChild;
    EXPECT_TRUE(isFreeEntryLine(line));
    line.instrumentNumber = 3;
    line.parentLine = -2;
    freeEntryLine(line);
    EXPECT_TRUE(isFreeEntryLine(line));
    // Other fields stay.
    EXPECT_EQ((std::vector<int>{line.bracketRole, line.parentLine, line.quantity}),
              (std::vector<int>{BracketPlain, 0, 5}));
}

TEST(OrderBookTable, AFullListReplacesTheRecordsAndTheirKeys) {
    OrderBook book;
    EXPECT_THROW(book.at(1), Failure);
    for (int i = 1; i <= 101; ++i)
        EXPECT_EQ(book.append(order(i, std::to_string(i))), i);
    book.replaceAll({order(7, "A"), order(8, "B"), order(9, "C")});
    EXPECT_EQ(
        (std::vector<int>{book.findByOrderUserId(101), book.findByOrderId("B"), book.append(order(10, "D"))}),
        (std::vector<int>{0, 2, 4}));
    book.replaceAll({});
    EXPECT_EQ(std::make_pair(book.count(), book.findByOrderId("A")), std::make_pair(0, 0));
}

TEST(OrderBookTable, FirstMatchWinsAndOrderIdsCompareWithTheirPadding) {
    OrderBook book;
    for (Order o : {order(5, "AB"), order(5, "AB      "), order(-5, "ABCDEFGHIJ"), order(9, "Ü7")})
        book.append(o);
    auto byId = [&](std::vector<std::string_view> ids) {
        std::vector<int> out;
        for (std::string_view id : ids)
            out.push_back(book.findByOrderId(id));
        return out;
    };
    EXPECT_EQ(book.findByOrderUserId(5), 1);
    EXPECT_EQ(book.findByOrderUserId(-5), 3);
    // Leading blanks are part of the key; widths count characters, not bytes.
    EXPECT_EQ(byId({"AB", "AB      ", " AB", "ABCDEFGH", "Ü7      ", "Ü7"}),
              (std::vector<int>{1, 1, 0, 3, 4, 4}));

    // Once the lower record leaves the key, the next one is found; when it comes back, it wins again.
    book.replace(1, order(6, "ZZ"));
    EXPECT_EQ(book.findByOrderUserId(5), 2);
    EXPECT_EQ(byId({"AB", "ZZ"}), (std::vector<int>{2, 1}));
    book.update(1, [](Order& o) { o.orderUserId = 5; });
    EXPECT_EQ(book.findByOrderUserId(5), 1);
    EXPECT_EQ(book.findByOrderUserId(6), 0);
}

TEST(OrderBookTable, AStatusChangeKeepsTheKeysAndAFailingChangeStillReindexes) {
    OrderBook book;
    book.append(order(1, "A"));
    book.append(order(2, "B"));
    book.update(2, [](Order& o) { o.status = StatusSubmitted; });
    EXPECT_EQ(book.findByOrderUserId(2), 2);
    auto failingChange = [](Order& o) {
        o.orderUserId = 77;
        throw Failure("Overflow");
    };
    EXPECT_THROW(book.update(2, failingChange), Failure);
    EXPECT_EQ(book.findByOrderUserId(77), 2);
    EXPECT_EQ(book.findByOrderUserId(2), 0);
    EXPECT_THROW(book.update(3, [](Order&) {}), Failure);
    EXPECT_THROW(book.replace(0, Order{}), Failure);
}

// Many keys, removals that shift probe runs back, duplicates coming and going: the
// index must agree with a plain map of number sets at every step.
TEST(FirstMatchIndexTable, AgreesWithAReferenceThroughGrowthAndRemovals) {
    std::mt19937 rng(3);
    FirstMatchIndex<int64_t> index;
    std::map<int64_t, std::set<int32_t>> reference;
    for (int step = 0; step < 20000; ++step) {
        const int64_t key = static_cast<int64_t>(rng() % 700) << (step % 2 ? 32 : 0);
        const auto number = static_cast<int32_t>(1 + rng() % 40);
        std::set<int32_t>& numbers = reference[key];
        if (rng() % 3 == 0 || numbers.count(number)) {
            index.remove(key, number);
            numbers.erase(number);
        } else {
            index.add(key, number);
            numbers.insert(number);
        }
        if (step % 500 == 0 || step > 19900) {
            for (const auto& [k, n] : reference) {
                auto even = std::find_if(n.begin(), n.end(), [](int32_t x) { return x % 2 == 0; });
                ASSERT_EQ(index.first(k), n.empty() ? 0 : *n.begin()) << "step " << step;
                ASSERT_EQ(index.firstWhere(k, [](int32_t x) { return x % 2 == 0; }),
                          even == n.end() ? 0 : *even)
                    << "step " << step;
            }
        }
    }
    index.clear();
    EXPECT_EQ(index.first(int64_t{0}), 0);
}

TEST(ExecutionListTable, KeyedByPaddedExecutionIdWithReplaceAndFullList) {
    ExecutionList list;
    for (std::string_view id : {"E1", "E2", "E1      "})
        list.append(execution(id));
    EXPECT_EQ(list.findByExecutionId("E1"), 1);
    list.replace(1, execution("E9"));
    EXPECT_EQ(std::make_pair(list.findByExecutionId("E1"), list.findByExecutionId("E9")),
              std::make_pair(3, 1));
    EXPECT_THROW(list.replace(4, execution("E9")), Failure);
    list.replaceAll({execution("X"), execution("Y"), execution("Z")});
    EXPECT_EQ(std::make_pair(list.findByExecutionId("E9"), list.findByExecutionId("Z")),
              std::make_pair(0, 3));
}

TEST(Holdings, ListHasRoomForOneHoldingPerInstrumentAndIndexLookupsNeverFail) {
    PositionList list;
    list.reset(2);
    EXPECT_EQ(list.add(Position{1, 5, 0, 0, 0}), 1);
    EXPECT_EQ(list.add(Position{2, -3, 0, 0, 0}), 2);
    EXPECT_THROW(list.add(Position{}), Failure);
    list.reset(2);
    EXPECT_EQ(list.count(), 0);
    EXPECT_THROW(list.at(1), Failure);

    PositionIndexTable index;
    EXPECT_EQ(positionOf(index, 1), 0);
    resetPositionIndex(index, 3);
    setPositionOf(index, 3, 2);
    EXPECT_EQ((std::vector<int>{positionOf(index, 3), positionOf(index, 4), positionOf(index, 0)}),
              (std::vector<int>{2, 0, 0}));
    EXPECT_THROW(setPositionOf(index, 0, 1), Failure);
    EXPECT_THROW(setPositionOf(index, 4, 1), Failure);
}

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
    EXPECT_EQ(rows.findRow(1, RowInstrument), 0);
    rows.reset();
    EXPECT_EQ(rows.append(row(RowInstrument, 1)), 2);
    EXPECT_THROW(rows.at(3), Failure);
    EXPECT_THROW(rows.at(-1), Failure);
    for (int i = 0; i < 99; ++i) // beyond the first hundred rows
        rows.append(row(RowSeparator));
    rows.append(row(RowInstrument, 7));
    EXPECT_EQ(rows.findRow(7, RowInstrument), 102);
}

TEST(OrderGridRowList, AnInsertedRowKeepsTheInstrumentAndReferenceOfTheRowItWasInsertedBefore) {
    OrderGridRows rows;
    rows.reset();
    for (OrderGridRow r : {row(RowInstrument, 1), row(RowSeparator), row(RowOpenOrder, 1, 9)})
        rows.append(r); // rows 2 to 4
    rows.insertRow(3, RowEntryLine);
    EXPECT_EQ(std::make_pair(rows.at(4).kind, rows.at(4).ref), std::make_pair(int16_t{RowEntryLine}, 9));
    EXPECT_EQ(rows.findRow(9, RowOpenOrder), 5);
    EXPECT_THROW(rows.insertRow(6, RowEntryLine), Failure);
    EXPECT_THROW(rows.deleteRow(-1), Failure);
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
            rows.insertRow(pick(rows.rowCount() + 1), kind);
            break;
        case 3:
            if (rows.rowCount() > 2) rows.deleteRow(pick(8) == 0 ? pick(2) : 2 + pick(rows.rowCount() - 1));
            break;
        case 4:
            rows.setKind(pick(rows.rowCount() + 1), kind);
            break;
        default:
            if (pick(50) == 0) rows.reset();
        }
        for (int16_t k = 0; k <= 4; ++k)
            for (int32_t n = 0; n < 4; ++n)
                ASSERT_EQ(rows.findRow(n, k), scanSuchRow(rows, n, k)) << step;
    }
}

TEST(ExecutionRowList, EntryOneIsTheTitleAndSuchExRowFindsTheFirstExecutionRow) {
    ExecutionRows rows;
    rows.reset();
    EXPECT_EQ(rows.append({ExRowExecution, 2, 5}), 2);
    rows.append({ExRowSeparator, 0, 0});
    rows.append({ExRowExecution, 2, 5});
    // Separators refer to no execution.
    EXPECT_EQ(
        (std::vector<int32_t>{rows.findExecutionRow(5), rows.findExecutionRow(0), rows.findExecutionRow(6)}),
        (std::vector<int32_t>{2, 0, 0}));
    for (int i = 0; i < 100; ++i) // beyond the first hundred rows
        rows.append({ExRowExecution, 1, 100 + i});
    EXPECT_EQ(rows.findExecutionRow(199), 104);
    rows.reset();
    EXPECT_EQ(rows.findExecutionRow(5), 0);
    EXPECT_THROW(rows.at(2), Failure);
}

} // namespace
} // namespace kavex
