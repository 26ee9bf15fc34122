#include "model/execution_rows.h"

#include "base/failure.h"

namespace kavex {

const ExecutionRow& ExecutionRows::at(int entry) const {
    if (entry < 1 || entry > rowCount()) failSubscript();
    return rows_[static_cast<std::size_t>(entry - 1)];
}

void ExecutionRows::reset() {
    rows_.assign(1, ExecutionRow{});
    capacity_ = kGrowth;
    byExecution_.clear();
}

int32_t ExecutionRows::append(ExecutionRow row) {
    if (rows_.empty()) rows_.emplace_back(); // the title entry comes first
    if (rowCount() + 1 > capacity_) capacity_ += kGrowth;
    rows_.push_back(row);
    if (row.kind == ExRowExecution) byExecution_.add(row.execution, rowCount());
    return rowCount();
}

} // namespace kavex
