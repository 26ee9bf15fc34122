#pragma once
// The program's one thread of control: pending events, timers and the clocks.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kavex {

struct LocalDateTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

class EventLoop {
  public:
    using TimerId = int;
    virtual ~EventLoop() = default;

    // Delivers every event that is already waiting (socket data, due timers, input),
    // then returns. May be called from inside an event handler.
    virtual void processPendingEvents() = 0;

    // Delivers waiting events; when there are none, first sleeps until one arrives or
    // `maxMs` milliseconds have passed. Lets a wait pass time without spinning.
    virtual void waitForEvents(int maxMs) {
        (void)maxMs;
        processPendingEvents();
    }

    // Calls `callback` every `intervalMs` milliseconds until stopped (or once).
    virtual TimerId startTimer(int intervalMs, std::function<void()> callback, bool singleShot = false) = 0;
    virtual void stopTimer(TimerId id) = 0;

    // Milliseconds of a monotonic tick counter (wraps like a 32-bit counter).
    virtual uint32_t tickCount() const = 0;

    // The program's clock: the machine's local date and time plus the offset the game
    // server's time set. Everything the program shows or writes with a time uses it.
    LocalDateTime now() const;
    // The same as a day number (see dayNumber).
    double nowDayNumber() const;
    // Takes a time of day (seconds since midnight) as the program's time from now on,
    // on the machine's current date; the machine's own clock stays as it is.
    void setTimeOfDay(int secondsOfDay);
    // The machine's clock shows the program's time again (it was set to it).
    void clearClockOffset() { offsetMs_ = 0; }
    int64_t clockOffsetMs() const { return offsetMs_; }

  protected:
    // The machine's local date and time.
    virtual LocalDateTime machineNow() const = 0;
    // The same as a day number; loops may answer faster.
    virtual double machineDayNumber() const;

  private:
    int64_t offsetMs_ = 0;
};

// Whole days since 30 December 1899 plus the fraction of the day.
double dayNumber(const LocalDateTime& t);
LocalDateTime fromDayNumber(double dayNumber);
int secondsSinceMidnight(const LocalDateTime& t);
// "hh:mm:ss"
std::string timeOfDayText(const LocalDateTime& t);
// Seconds since midnight of a time of day "h:m:s" or "h:m" (one or two digits each,
// blanks around it allowed); nothing for any other text.
std::optional<int> parseTimeOfDay(std::string_view text);

// Lets pending events run now and then during a long pass over many items, so the window
// stays responsive: at most once per step of the millisecond counter. Asking the window
// system for events costs a few microseconds even when none are waiting, more than the
// work for one item of a typical pass, so asking after every item would make the pass
// several times slower without the window answering any sooner.
class EventBreaks {
  public:
    explicit EventBreaks(EventLoop& loop) : loop_(loop), last_(loop.tickCount()) {}
    // Called between two items.
    void between() {
        if (loop_.tickCount() == last_) return;
        loop_.processPendingEvents();
        last_ = loop_.tickCount();
    }

  private:
    EventLoop& loop_;
    uint32_t last_;
};

} // namespace kavex
