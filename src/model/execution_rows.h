#pragma once
// The execution grid's row list, entries numbered from 1; entry 1 stands for the title
// row and is never filled, and grid row r shows entry r + 1.
#include "model/first_match_index.h"

#include <cstdint>
#include <vector>

namespace kavex {

enum ExecutionRowKind : int16_t {
    ExRowNone = 0,
    ExRowExecution = 1,
    ExRowSeparator = 2,
};

struct ExecutionRow {
    int16_t kind = ExRowNone;
    int16_t instrument = 0; // 0 for separator rows
    int32_t execution = 0;  // ExecutionList number; 0 for separator rows
};

class ExecutionRows {
  public:
    static constexpr int32_t kGrowth = 100;

    // Number of entries including entry 1; 0 before the first build.
    int32_t rowCount() const { return static_cast<int32_t>(rows_.size()); }
    // Starts at 100 and grows in steps of 100, keeping the entries.
    int32_t capacity() const { return capacity_; }

    // Checked: an entry outside 1..rowCount fails with "Subscript out of range".
    const ExecutionRow& at(int entry) const;

    // Empties the list down to the title entry.
    void reset();
    // Adds an entry behind the last one and returns its number.
    int32_t append(ExecutionRow row);

    // First entry (from 1 upward) that shows execution `execution`; 0 when none. The
    // entry number is what a one-row redraw of the execution grid takes.
    int32_t findExecutionRow(int32_t execution) const { return byExecution_.first(execution); }

  private:
    std::vector<ExecutionRow> rows_; // rows_[e - 1] is entry e
    int32_t capacity_ = kGrowth;
    FirstMatchIndex<int32_t> byExecution_;
};

} // namespace kavex
