#include "model/execution_list.h"

#include "base/failure.h"

#include <algorithm>

namespace kavex {

const Execution& ExecutionList::at(int number) const {
    if (!valid(number)) failSubscript();
    return executions_[static_cast<std::size_t>(number - 1)];
}

int32_t ExecutionList::append(Execution execution) {
    if (count() + 1 > capacity_) {
        capacity_ += kGrowth;
        executions_.reserve(static_cast<std::size_t>(capacity_));
    }
    executions_.push_back(std::move(execution));
    byId_.add(executions_.back().executionId.str(), count());
    return count();
}

void ExecutionList::replace(int number, Execution execution) {
    if (!valid(number)) failSubscript();
    Execution& e = executions_[static_cast<std::size_t>(number - 1)];
    if (e.executionId != execution.executionId) {
        byId_.remove(e.executionId.str(), number);
        byId_.add(execution.executionId.str(), number);
    }
    e = std::move(execution);
}

void ExecutionList::replaceAll(std::vector<Execution> executions) {
    executions_ = std::move(executions);
    capacity_ = count();
    byId_.clear();
    byId_.reserve(executions_.size());
    for (int32_t n = 1; n <= count(); ++n)
        byId_.add(executions_[static_cast<std::size_t>(n - 1)].executionId.str(), n);
}

int32_t ExecutionList::findByExecutionId(std::string_view executionId) const {
    constexpr std::size_t width = 8;
    if (executionId.size() <= width && std::all_of(executionId.begin(), executionId.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x80;
        })) {
        char padded[width];
        std::fill(std::copy(executionId.begin(), executionId.end(), padded), padded + width, ' ');
        return byId_.first(std::string_view(padded, width));
    }
    return findByExecutionId(FixedText<8>(executionId));
}

} // namespace kavex
