#pragma once
// The program's event loop on Qt: pending events through QCoreApplication, timers on
// QObject timers, the tick counter on the system's monotonic clock.
//
// Timers are not re-entered: while a timer's callback waits by processing events,
// that same timer does not fire again (Qt's rule); other timers do.
#include "platform/event_loop.h"

#include <QObject>

#include <functional>
#include <memory>
#include <unordered_map>

namespace kavex {

class QtEventLoop : public EventLoop {
  public:
    QtEventLoop();
    ~QtEventLoop() override;

    void processPendingEvents() override;
    void waitForEvents(int maxMs) override;
    TimerId startTimer(int intervalMs, std::function<void()> callback, bool singleShot = false) override;
    void stopTimer(TimerId id) override;
    // Milliseconds since the machine started, wrapping at 32 bits.
    uint32_t tickCount() const override;

  protected:
    LocalDateTime machineNow() const override;
    double machineDayNumber() const override;

  private:
    // The local time's offset from UTC in days, refreshed once a minute.
    mutable double utcOffsetDays_ = 0;
    mutable qint64 offsetCheckedMs_ = -1;
    class TimerHost;
    struct Timer {
        std::shared_ptr<std::function<void()>> callback;
        bool singleShot;
    };
    void fire(int id);

    std::unique_ptr<TimerHost> host_;
    std::unordered_map<int, Timer> timers_;
};

} // namespace kavex
