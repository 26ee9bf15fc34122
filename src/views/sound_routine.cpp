#include "views/sound_routine.h"

#include "base/failure.h"
#include "base/files.h"

#include <filesystem>

namespace kavex {

void SoundRoutine::play(const std::string& waveFile) {
    if (waveFile.empty()) return;
    skipOnFailure([&] {
        const std::filesystem::path path = folder_.path(waveFile); // a full path replaces the folder
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) return; // no default sound instead
        player_.play(path.string());
    });
}

} // namespace kavex
