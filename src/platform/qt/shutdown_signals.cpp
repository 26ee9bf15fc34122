#include "platform/qt/shutdown_signals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kavex {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The one place a signal handler can reach: the writing end of the current socket pair.
// A handler takes no arguments of ours, so this cannot live in the object.
std::atomic<int> writeEnd{-1};

extern "C" void onShutdownSignal(int) {
    const int savedErrno = errno;
    const int fd = writeEnd.load();
    if (fd >= 0) {
        const char byte = 1;
        // Non-blocking: when the pair is full, enough bytes are already waiting.
        [[maybe_unused]] ssize_t n = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

ShutdownSignals::ShutdownSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pair_) != 0) return;
    writeEnd.store(pair_[0]);
    notifier_ = std::make_unique<QSocketNotifier>(pair_[1], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { drain(); });
    struct sigaction action {};
    action.sa_handler = onShutdownSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals)
        ::sigaction(s, &action, nullptr);
}

ShutdownSignals::~ShutdownSignals() {
    if (!notifier_) return;
    for (int s : kSignals)
        ::signal(s, SIG_DFL);
    writeEnd.store(-1);
    notifier_.reset();
    ::close(pair_[0]);
    ::close(pair_[1]);
}

void ShutdownSignals::drain() {
    char bytes[64];
    bool delivered = false;
    while (::read(pair_[1], bytes, sizeof bytes) > 0)
        delivered = true;
    if (delivered && onSignal_) onSignal_();
}

} // namespace kavex
