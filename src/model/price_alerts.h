#pragma once
// Price alerts: per instrument a level above or below the last price at the time it was
// set. An alert whose level the last price reaches fires once and is gone; the row of its
// instrument stays marked until the user looks at it. Kept in "Kavex.Alerts" by ticker,
// so they survive a restart and a new instrument list.
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kavex {

class FailureLog;
class InstrumentTable;

struct PriceAlert {
    std::string ticker;
    float level = 0;
    bool above = true; // fires when the last price rises to the level, else when it falls to it
    bool operator==(const PriceAlert&) const = default;
};

class PriceAlerts {
  public:
    static constexpr const char* kFileName = "Kavex.Alerts";
    static constexpr const char* kVersionLine = "Kavex.Alerts 1";

    // Lines "ticker;level;above|below"; a bad line is logged and the others are read.
    void load(const std::filesystem::path& file, FailureLog& log);
    // CR LF, written atomically; throws Failure when it cannot be written.
    void save(const std::filesystem::path& file) const;

    // The instrument's alert, replacing an earlier one: above the last price or below it.
    void set(const std::string& ticker, float level, float last);
    void remove(const std::string& ticker);
    const PriceAlert* find(const std::string& ticker) const;
    const std::vector<PriceAlert>& all() const { return alerts_; }

    // Takes the alerts whose level the instruments' last prices reached and marks their rows.
    std::vector<PriceAlert> takeReached(const InstrumentTable& instruments);
    bool marked(const std::string& ticker) const { return marked_.count(ticker) != 0; }
    void unmark(const std::string& ticker) { marked_.erase(ticker); }

  private:
    std::vector<PriceAlert> alerts_;
    std::set<std::string> marked_;
};

// The level typed by the user: "101.5" or "101,5"; nothing for a text that is no price.
std::optional<float> parseAlertLevel(const std::string& text);

} // namespace kavex
