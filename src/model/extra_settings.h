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
    // What the user expects back after a restart: the DEFAULT instrument (its ticker) and
    // the "CHAT" tick ("1" ticked).
    static constexpr const char* kDefaultInstrument = "DefaultInstrument";
    static constexpr const char* kChatOption = "ChatOption";
    // The order guard: largest quantity and order value per order ("0": no limit); with
    // "." and a ticker appended, for that instrument alone. The price collar in percent
    // of the last price ("0": off).
    static constexpr const char* kMaxQuantity = "MaxQuantity";
    static constexpr const char* kMaxOrderValue = "MaxOrderValue";
    static constexpr const char* kPriceCollarPercent = "PriceCollarPercent";
    // Orders from other programs: at most so many per second and per minute ("0": any),
    // and "1" when each waits for the user's approval.
    static constexpr const char* kExternalPerSecond = "ExternalOrdersPerSecond";
    static constexpr const char* kExternalPerMinute = "ExternalOrdersPerMinute";
    static constexpr const char* kExternalApproval = "ExternalApproval";
    // Keys of the trading window: "Key." and the action's name, the key's text as value.
    static constexpr const char* kKeyPrefix = "Key.";

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
    // A number that is 0 or more, such as "100" or "2.5"; `fallback` when it is not set. A
    // value that is no such number is logged as "F:LoadExtra: " name=value and reads as
    // `fallback`.
    double number(std::string_view name, double fallback, FailureLog& log) const;
    const std::vector<std::pair<std::string, std::string>>& entries() const { return entries_; }

  private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

} // namespace kavex
