#pragma once
// Run-time failures and the two ways of meeting them: a statement either logs
// "F:" + tag + description and the procedure goes on, or it is skipped silently.
#include <stdexcept>
#include <string>
#include <string_view>

namespace kavex {

// Thrown by checked operations (number conversion, table access, file access).
// what() is the description that ends up in a failure line.
class Failure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] inline void failOverflow() {
    throw Failure("Overflow");
}
[[noreturn]] inline void failSubscript() {
    throw Failure("Subscript out of range");
}

// Receives failure lines; the log list and the incoming list implement it.
class FailureLog {
  public:
    virtual ~FailureLog() = default;
    virtual void addLine(std::string line) = 0;
};

// Runs one statement; a failure becomes the line "F:" + tag + description.
template <class Statement> void guard(FailureLog& log, std::string_view tag, Statement&& statement) {
    try {
        statement();
    } catch (const std::exception& e) {
        std::string line = "F:";
        line.append(tag);
        line.append(e.what());
        log.addLine(std::move(line));
    }
}

// Runs one statement; a failure skips it without a trace.
template <class Statement> void skipOnFailure(Statement&& statement) {
    try {
        statement();
    } catch (const std::exception&) {
    }
}

} // namespace kavex
