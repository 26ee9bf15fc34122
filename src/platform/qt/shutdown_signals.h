#pragma once
// SIGTERM, SIGINT and SIGHUP (logout, system shutdown, `kill`, Ctrl+C, a closed terminal)
// become a call on the event loop, so that the program ends the way its window does:
// saving first. The signal handler only writes one byte into a socket pair; the event
// loop reads it and runs the callback, where anything may be done.
#include <functional>
#include <memory>

class QSocketNotifier;

namespace kavex {

class ShutdownSignals {
  public:
    // Installs the handlers; `onSignal` runs on the event loop after signals arrived
    // (signals that arrive together run it once).
    explicit ShutdownSignals(std::function<void()> onSignal);
    // Puts the default actions back.
    ~ShutdownSignals();
    ShutdownSignals(const ShutdownSignals&) = delete;
    ShutdownSignals& operator=(const ShutdownSignals&) = delete;

    bool installed() const { return notifier_ != nullptr; }

  private:
    void drain();

    std::function<void()> onSignal_;
    int pair_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace kavex
