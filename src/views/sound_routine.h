#pragma once
// The program's sound routine: plays a wave file of the working directory (or given by
// a full path) asynchronously, and plays nothing when the file cannot be played.
#include "platform/services.h"

namespace kavex {

class WorkingDirectory;

class SoundRoutine : public Sound {
  public:
    SoundRoutine(Sound& player, const WorkingDirectory& folder) : player_(player), folder_(folder) {}
    // Returns at once; never fails.
    void play(const std::string& waveFile) override;

  private:
    Sound& player_;
    const WorkingDirectory& folder_;
};

} // namespace kavex
