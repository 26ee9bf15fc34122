#include "views/animated_logo.h"

#include "base/failure.h"
#include "base/files.h"
#include "platform/event_loop.h"

#include <algorithm>

namespace kavex {
namespace {

// Where the next GIF picture begins at or after `from`; npos when none does.
std::size_t nextSignature(const std::string& bytes, std::size_t from) {
    std::size_t a = bytes.find("GIF87a", from), b = bytes.find("GIF89a", from);
    return std::min(a, b);
}

} // namespace

AnimatedLogo::~AnimatedLogo() {
    stop();
}

std::vector<std::string> AnimatedLogo::cutFrames(const std::string& bytes) {
    std::vector<std::string> frames;
    std::size_t start = nextSignature(bytes, 0);
    while (start != std::string::npos) {
        std::size_t next = nextSignature(bytes, start + 6);
        frames.push_back(bytes.substr(start, next == std::string::npos ? std::string::npos : next - start));
        start = next;
    }
    return frames;
}

void AnimatedLogo::load() {
    stop();
    frames_.clear();
    current_ = -1;
    skipOnFailure([&] { frames_ = cutFrames(readFileBytes(folder_.path(kPictureFile))); });
    if (frames_.empty()) return;
    current_ = 0;
    if (frameChanged) frameChanged(frames_.front());
    if (frames_.size() > 1) timer_ = loop_.startTimer(kStepMs, [this] { step(); });
}

void AnimatedLogo::stop() {
    if (timer_ != 0) loop_.stopTimer(timer_);
    timer_ = 0;
}

void AnimatedLogo::step() {
    if (frames_.empty()) return;
    current_ = (current_ + 1) % static_cast<int>(frames_.size());
    if (frameChanged) frameChanged(frames_[static_cast<std::size_t>(current_)]);
}

} // namespace kavex
