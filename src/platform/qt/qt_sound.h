#pragma once
// Wave files played with QSoundEffect: loading and playing run in the background, and a
// file that is missing or cannot be decoded, or a machine without sound, stays silent.
#include "platform/services.h"

#include <QString>

#include <map>
#include <memory>

class QSoundEffect;

namespace kavex {

class QtSound : public Sound {
  public:
    QtSound();
    ~QtSound() override;
    QtSound(const QtSound&) = delete;
    QtSound& operator=(const QtSound&) = delete;

    void play(const std::string& waveFile) override;
    // Sound effects kept for files played before.
    std::size_t cachedEffects() const { return effects_.size(); }

  private:
    // One effect per file, so that a file played again needs no new loading.
    std::map<QString, std::unique_ptr<QSoundEffect>> effects_;
};

} // namespace kavex
