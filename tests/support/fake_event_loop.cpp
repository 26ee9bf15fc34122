#include "support/fake_event_loop.h"

#include <algorithm>

namespace kavex::test {

FakeEventLoop::FakeEventLoop() : startDayNumber_(dayNumber({2026, 12, 7, 9, 30, 0, 0})) {}

LocalDateTime FakeEventLoop::now() const {
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

void FakeEventLoop::stopTimer(TimerId id) {
    timers_.erase(id);
}

void FakeEventLoop::post(std::function<void()> event) {
    posted_.push_back(std::move(event));
}

bool FakeEventLoop::fireOneDueTimer() {
    auto due = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it)
        if (it->second.dueMs <= nowMs_ && (due == timers_.end() || it->second.dueMs < due->second.dueMs))
            due = it;
    if (due == timers_.end()) return false;
    TimerId id = due->first;
    std::function<void()> callback = due->second.callback;
    if (due->second.singleShot)
        timers_.erase(due);
    else
        due->second.dueMs += std::max(due->second.intervalMs, 1);
    (void)id;
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
