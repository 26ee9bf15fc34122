#pragma once
// The product logo in the trading window. The picture file "kavex.dat" holds the frames of
// the animation as GIF pictures one after the other; the logo timer shows the next frame
// every second. Without the file (or with one frame) the view shows its still logo.
#include <functional>
#include <string>
#include <vector>

namespace kavex {

class EventLoop;
class WorkingDirectory;

class AnimatedLogo {
  public:
    static constexpr int kStepMs = 1000;
    static constexpr const char* kPictureFile = "kavex.dat";

    AnimatedLogo(EventLoop& loop, const WorkingDirectory& folder) : loop_(loop), folder_(folder) {}
    ~AnimatedLogo();
    AnimatedLogo(const AnimatedLogo&) = delete;
    AnimatedLogo& operator=(const AnimatedLogo&) = delete;

    // Cuts the picture file into its frames and, with more than one, starts the timer.
    // A missing or unreadable file leaves no frames: the still logo.
    void load();
    void stop();

    const std::vector<std::string>& frames() const { return frames_; }
    int currentFrame() const { return current_; } // index into frames(); -1 without frames
    bool animating() const { return timer_ != 0; }
    // Set by the view: the bytes of the frame to show now.
    std::function<void(const std::string& frame)> frameChanged;

    // The GIF pictures in `bytes`, each from its signature to the next one.
    static std::vector<std::string> cutFrames(const std::string& bytes);

  private:
    void step();

    EventLoop& loop_;
    const WorkingDirectory& folder_;
    std::vector<std::string> frames_;
    int current_ = -1;
    int timer_ = 0;
};

} // namespace kavex
