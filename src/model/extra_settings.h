#pragma once
// "Kavex.Extra": settings of our own that the fixed line layout of "Kavex.Ini" has no
// room for. Adding them there would shift every later line and break the file for
// anything else that reads it, so they live in this file: a first line naming its
// version, then one "name=value" line per setting. Names this program does not know are
// kept and written back unchanged; a missing file leaves every setting at its default.
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kavex {

class FailureLog;

class ExtraSettings {
  public:
    static constexpr const char* kFileName = "Kavex.Extra";
    static constexpr const char* kVersionLine = "Kavex.Extra 1";
    // "1": the game server's time sets the machine's clock too, not only the program's.
    static constexpr const char* kMachineClockFromServer = "MachineClockFromServer";

    // Reads the file when it exists; a line that is not "name=value" is logged as
    // "F:LoadExtra: " and skipped, the others are still read.
    void load(const std::filesystem::path& file, FailureLog& log);
    // Writes the version line and every setting atomically; throws Failure.
    void save(const std::filesystem::path& file) const;

    // The value of a setting; `fallback` when it is not set.
    std::string value(std::string_view name, std::string_view fallback = {}) const;
    // True when the setting is "1".
    bool isOn(std::string_view name) const { return value(name) == "1"; }
    void set(std::string_view name, std::string_view value);

  private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

} // namespace kavex
