#pragma once
// The executions reported by the server, numbers 1..count, with a hash index on
// `executionId` that answers like a scan from number 1 upward (first match wins).
#include "model/execution.h"
#include "model/first_match_index.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kavex {

class ExecutionList {
  public:
    static constexpr int32_t kGrowth = 100;

    int32_t count() const { return static_cast<int32_t>(executions_.size()); }
    int32_t capacity() const { return capacity_; }
    bool valid(int number) const { return number >= 1 && number <= count(); }

    // Checked: a number outside 1..count fails with "Subscript out of range".
    const Execution& at(int number) const;

    int32_t append(Execution execution);
    void replace(int number, Execution execution);
    // A full execution list: exactly these executions, capacity = count.
    void replaceAll(std::vector<Execution> executions);

    // Lowest number whose executionId equals `executionId` padded or cut to 8 characters.
    int32_t findByExecutionId(std::string_view executionId) const;
    int32_t findByExecutionId(const FixedText<8>& executionId) const {
        return byId_.first(executionId.str());
    }

  private:
    std::vector<Execution> executions_; // executions_[n - 1] is execution n
    int32_t capacity_ = 0;
    FirstMatchIndex<std::string> byId_;
};

} // namespace kavex
