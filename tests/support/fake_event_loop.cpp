#include "support/fake_event_loop.h"

#include <algorithm>

namespace kavex::test {

FakeEventLoop::FakeEventLoop() : startDayNumber_(dayNumber({2026, 12, 7, 9, 30, 0, 0})) {}

LocalDateTime FakeEventLoop::machineNow() const {
    return fromDayNumber(startDayNumber_ + static_cast<double>(nowMs_) / 86400000.0);
}

void FakeEventLoop::setDateTime(const LocalDateTime& t) {
    startDayNumber_ = dayNumber(t) - static_cast<double>(nowMs_) / 86400000.0;
}

EventLoop::TimerId FakeEventLoop::startTimer(int intervalMs, std::function<void()> callback,
                                             bool singleShot) {
    TimerId id = nextId_++;
    timers_[id] = Timer{intervalMs, nowMs_ + intervalMs, singleShot, std::move(callback)};
    return id;
}

// The earliest due timer (the oldest of equals) fires; a repeating one is due again an interval on.
bool FakeEventLoop::fireOneDueTimer() {
    auto due = std::min_element(timers_.begin(), timers_.end(),
                                [](const auto& a, const auto& b) { return a.second.dueMs < b.second.dueMs; });
    if (due == timers_.end() || due->second.dueMs > nowMs_) return false;
    std::function<void()> callback = due->second.callback;
    if (due->second.singleShot)
        timers_.erase(due);
    else
        due->second.dueMs += std::max(due->second.intervalMs, 1);
    callback();
    return true;
}

void FakeEventLoop::processPendingEvents() {
    // Events posted while handling are handled in this same call, as a real loop would.
    while (!posted_.empty()) {
        auto event = std::move(posted_.front());
        posted_.pop_front();
        event();
    }
    while (fireOneDueTimer()) {
    }
}

void FakeEventLoop::advance(int64_t ms) {
    int64_t target = nowMs_ + ms;
    while (true) {
        processPendingEvents();
        int64_t next = target + 1;
        for (const auto& [id, t] : timers_)
            next = std::min(next, t.dueMs);
        if (next > target) break;
        nowMs_ = std::max(nowMs_, next);
    }
    // A handler may have waited past the target already; time never runs back.
    nowMs_ = std::max(nowMs_, target);
    processPendingEvents();
}

void FakeEventLoop::waitForEvents(int maxMs) {
    if (posted_.empty()) {
        int64_t until = nowMs_ + std::max(maxMs, 0);
        for (const auto& [id, t] : timers_)
            until = std::min(until, t.dueMs);
        nowMs_ = std::max(nowMs_, until);
    }
    processPendingEvents();
}

} // namespace kavex::test
