#pragma once
// The local time at which the data being handled arrived.
//
// Reading the clock costs more than the rest of a price update, and the history keeps
// times far coarser than the gap between two messages of one arrival, so the clock is
// read once per arrival, when a handler first asks. Outside an arrival every question
// reads the clock.
#include "platform/event_loop.h"

namespace kavex {

class ArrivalClock {
  public:
    explicit ArrivalClock(const EventLoop& loop) : loop_(loop) {}

    // Around the handling of one arrival's messages; arrivals may nest.
    void arrivalStarts() {
        ++openArrivals_;
        known_ = false;
    }
    void arrivalEnds() {
        --openArrivals_;
        known_ = false;
    }
    // The program's clock was set: the next question reads it again.
    void clockSet() { known_ = false; }

    // Day number (see dayNumber).
    double now() {
        if (openArrivals_ == 0) return loop_.nowDayNumber();
        if (!known_) {
            time_ = loop_.nowDayNumber();
            known_ = true;
        }
        return time_;
    }

  private:
    const EventLoop& loop_;
    int openArrivals_ = 0;
    bool known_ = false;
    double time_ = 0;
};

} // namespace kavex
