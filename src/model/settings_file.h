#pragma once
// The settings file "Kavex.Ini" and the preset file "Kavex.wpv".
#include "base/files.h"
#include "model/bracket_preset.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kavex {

class FailureLog;

// Everything the settings file keeps between runs. The trading window copies its
// controls' state in before saving and applies it after loading.
struct Settings {
    std::string userName;
    std::string serverHost;
    int16_t keepServer = 0;
    std::string reservedText1;
    std::string reservedText2;
    int32_t reservedNumber = 0;
    int orderGridColumns = 20;            // highest column index of the order grid
    int executionGridColumns = 15;        // highest column index of the execution grid
    std::vector<int> orderGridWidths;     // twips per column 0..orderGridColumns
    std::vector<int> executionGridWidths; // twips per column 0..executionGridColumns
    int32_t windowWidth = 0, windowHeight = 0, windowTop = 0, windowLeft = 0;
    int16_t ShowFinishedOrders = 0;
    std::string password;
    std::string colourFileName;
    int16_t confirmation = 1;
    int16_t chatSound = 1;
    std::string soundFile = "1.wav";
    int16_t zentrivoExtern = 0;
    int16_t asciiRemote = 0;
    int16_t executionSound = 1;
    std::string bridgePort = "4100";
    std::string bridgeUser = "USER";
    std::string bridgeAddress;
};

// Caption of the button that shows or hides finished orders.
inline const char* moreButtonCaption(int16_t showFinishedOrders) {
    return showFinishedOrders == 1 ? "Weniger" : "Mehr";
}
// Hint of the user button.
inline std::string userButtonHint(const std::string& userName) {
    return "User:" + userName;
}

class SettingsFile {
  public:
    static constexpr const char* kSettingsName = "Kavex.Ini";
    static constexpr const char* kPresetName = "Kavex.wpv";

    SettingsFile(const WorkingDirectory& folder, FailureLog& log) : folder_(folder), log_(log) {}

    // Reads "Kavex.Ini" into `settings` when it exists; a failure is logged as
    // "F:load: " and what was read before stays in effect.
    void load(Settings& settings);

    // Writes "Kavex.Ini" and, for instruments 1..presets.size(), "Kavex.wpv" (left as it
    // is when there are none).
    // Failures are logged as "F:save ".
    void save(const Settings& settings, const std::vector<BracketPreset>& presets);

    static std::vector<std::string> settingsLines(const Settings& settings);
    static std::vector<std::string> presetLines(const std::vector<BracketPreset>& presets);

  private:
    const WorkingDirectory& folder_;
    FailureLog& log_;
};

// Reads the blocks of a preset file (five lines each) in file order; a short last
// block is dropped. Throws Failure when the file cannot be read.
std::vector<BracketPreset> readPresetFile(const std::filesystem::path& file);

// Widths as written in the settings file: Str form joined by ";" (" 1000; 800").
std::string widthLine(const std::vector<int>& widths);

} // namespace kavex
