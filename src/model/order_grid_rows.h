#pragma once
// The order grid's row list: one descriptor per grid row, same index as the row.
// Indices 0 and 1 are the title rows; the last used index is the row count.
//
// `findRow` answers like a scan from row 1 upward but runs through a hash index, so an
// order report finds its row in constant time however long the grid is. The index holds
// a stable id per row rather than its index, and a table from id to index follows the
// rows: inserting or deleting a row moves plain integers, never rebuilds the index.
#include "model/first_match_index.h"

#include <cstdint>
#include <vector>

namespace kavex {

enum OrderGridRowKind : int16_t {
    RowSeparator = 0,
    RowInstrument = 1,
    RowEntryLine = 2,
    RowOpenOrder = 3,
    RowFinishedOrder = 4,
};

struct OrderGridRow {
    int16_t kind = RowSeparator;
    int16_t instrument = 0; // 0 for separator rows
    int32_t ref = 0;        // kind 2: entry line; kinds 3 and 4: OrderBook number; else 0

    // The record the row shows: the instrument for an instrument row, else `ref`.
    int32_t number() const { return kind == RowInstrument ? instrument : ref; }
};

class OrderGridRows {
  public:
    static constexpr int32_t kInitialCapacity = 101;
    static constexpr int32_t kGrowth = 100;

    OrderGridRows();

    int32_t rowCount() const { return count_; }
    int32_t capacity() const { return static_cast<int32_t>(rows_.size()); }

    // Checked: an index outside 0..rowCount fails with "Subscript out of range".
    const OrderGridRow& at(int index) const;

    // Empties the list to capacity 101 and row count 1, so the next row gets index 2.
    void reset();
    // Adds a row behind the last one and returns its index.
    int32_t append(OrderGridRow row);
    // Opens a descriptor at p + 1 (moving the rows above up) and sets its kind; it keeps
    // the instrument and ref it had until the caller overwrites them.
    void insertRow(int p, int16_t kind);
    // Removes descriptor p, moving the rows above it down.
    void deleteRow(int p);
    void set(int index, OrderGridRow row);
    void setKind(int index, int16_t kind);

    // First row from 1 upward showing record `number` as `kind`; for kind 3 any kind of
    // 3 or more matches. 0 when none.
    int32_t findRow(int32_t number, int16_t kind) const;

  private:
    // Rows are indexed by number within their kind; kinds 3 and above share one class,
    // so a status report that moves a row between open and finished leaves the index
    // untouched.
    static int64_t keyOf(const OrderGridRow& row) { return keyOf(row.kind, row.number()); }
    static int64_t keyOf(int16_t kind, int32_t number) {
        const int64_t kindClass = kind >= RowOpenOrder ? int64_t{RowOpenOrder} : int64_t{kind};
        return (kindClass << 32) | static_cast<uint32_t>(number);
    }
    void grow();
    // A new id for the row at `index`.
    int32_t newId(int32_t index);
    // After rows moved: the index of every row from `from` to the count.
    void renumber(int32_t from);

    std::vector<OrderGridRow> rows_; // sized to the capacity; slots above the count keep old values
    std::vector<int32_t> ids_;       // parallel to rows_; 0 for row 0, which is not indexed
    std::vector<int32_t> indexOfId_; // id -> row index; 0 once the row is gone
    int32_t count_ = 0;
    FirstMatchIndex<int64_t> index_; // (kind class, number) -> ids of the rows showing it
};

} // namespace kavex
