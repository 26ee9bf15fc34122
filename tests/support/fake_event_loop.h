#pragma once
// A deterministic event loop: time passes only when a test advances it. Due timers
// and posted events fire in order of their due time from processPendingEvents().
#include "platform/event_loop.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>

namespace kavex::test {

class FakeEventLoop : public EventLoop {
  public:
    FakeEventLoop();

    void processPendingEvents() override;
    // Moves the clock to the next due timer, at most `maxMs` on, and delivers.
    void waitForEvents(int maxMs) override;
    TimerId startTimer(int intervalMs, std::function<void()> callback, bool singleShot = false) override;
    void stopTimer(TimerId id) override { timers_.erase(id); }
    uint32_t tickCount() const override { return static_cast<uint32_t>(nowMs_); }

    // Queues an event (a socket arrival, say) for the next processPendingEvents().
    void post(std::function<void()> event) { posted_.push_back(std::move(event)); }
    // Moves the clock forward, firing every timer that falls due on the way.
    void advance(int64_t ms);
    // Sets the machine's clock.
    void setDateTime(const LocalDateTime& t);
    std::size_t activeTimers() const { return timers_.size(); }
    int64_t elapsedMs() const { return nowMs_; }

  protected:
    LocalDateTime machineNow() const override;
    double machineDayNumber() const override {
        return startDayNumber_ + static_cast<double>(nowMs_) / 86400000.0;
    }

  private:
    struct Timer {
        int intervalMs;
        int64_t dueMs;
        bool singleShot;
        std::function<void()> callback;
    };
    bool fireOneDueTimer();

    int64_t nowMs_ = 0;
    double startDayNumber_;
    TimerId nextId_ = 1;
    std::map<TimerId, Timer> timers_;
    std::deque<std::function<void()>> posted_;
};

} // namespace kavex::test
