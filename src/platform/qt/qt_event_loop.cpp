#include "platform/qt/qt_event_loop.h"

#include "base/failure.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QTimer>
#include <QTimerEvent>

#include <chrono>

namespace kavex {

class QtEventLoop::TimerHost : public QObject {
  public:
    explicit TimerHost(QtEventLoop& loop) : loop_(loop) {}

  protected:
    void timerEvent(QTimerEvent* event) override { loop_.fire(event->timerId()); }

  private:
    QtEventLoop& loop_;
};

QtEventLoop::QtEventLoop() : host_(std::make_unique<TimerHost>(*this)) {}

QtEventLoop::~QtEventLoop() {
    for (const auto& [id, timer] : timers_)
        host_->killTimer(id);
}

void QtEventLoop::processPendingEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventLoop::waitForEvents(int maxMs) {
    // The wake-up timer bounds the sleep when nothing else arrives.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(std::max(maxMs, 0));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

EventLoop::TimerId QtEventLoop::startTimer(int intervalMs, std::function<void()> callback, bool singleShot) {
    int id = host_->startTimer(std::max(intervalMs, 0), Qt::CoarseTimer);
    if (id == 0) return 0;
    timers_[id] = Timer{std::make_shared<std::function<void()>>(std::move(callback)), singleShot};
    return id;
}

void QtEventLoop::stopTimer(TimerId id) {
    if (timers_.erase(id) != 0) host_->killTimer(id);
}

void QtEventLoop::fire(int id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    // Held here: the callback may stop its own timer, which drops the table's copy.
    std::shared_ptr<std::function<void()>> callback = it->second.callback;
    if (it->second.singleShot) stopTimer(id);
    // Nothing is thrown into Qt's event loop.
    skipOnFailure([&] { (*callback)(); });
}

uint32_t QtEventLoop::tickCount() const {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

double QtEventLoop::machineDayNumber() const {
    // Whole days from 1899-12-30 to 1970-01-01.
    constexpr double kUnixEpochDay = 25569.0;
    qint64 ms = QDateTime::currentMSecsSinceEpoch();
    if (offsetCheckedMs_ < 0 || ms - offsetCheckedMs_ > 60000 || ms < offsetCheckedMs_) {
        utcOffsetDays_ = QDateTime::currentDateTime().offsetFromUtc() / 86400.0;
        offsetCheckedMs_ = ms;
    }
    return kUnixEpochDay + static_cast<double>(ms) / 86400000.0 + utcOffsetDays_;
}

LocalDateTime QtEventLoop::machineNow() const {
    QDateTime t = QDateTime::currentDateTime();
    QDate d = t.date();
    QTime tm = t.time();
    return {d.year(), d.month(), d.day(), tm.hour(), tm.minute(), tm.second(), tm.msec()};
}

} // namespace kavex
