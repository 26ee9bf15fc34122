#pragma once
// "Alarm bei..." in an instrument row's menu: the user names a level, the alert is kept in
// "Kavex.Alerts", and when the last price reaches it the program sounds, says so in the
// status line (and so in "Meldungen..."), marks the instrument's row and drops the alert.
#include <functional>
#include <string>

namespace kavex {

class FailureLog;
class Label;
class Prompts;
class Sound;
class WorkingDirectory;
struct Settings;
struct TradingData;

class PriceAlarms {
  public:
    static constexpr const char* kAlertSound = "KavexEx.wav";

    PriceAlarms(TradingData& data, Prompts& prompts, Sound& sound, Label& statusLine,
                const Settings& settings, const WorkingDirectory& folder, FailureLog& log);

    void load();
    // Asks for the instrument's level, offering its last price; an empty answer removes its alert.
    void askLevel(int instrument);
    // After price updates: every alert whose level was reached fires once.
    void check();
    // The user looked at the instrument: its row is no longer marked.
    void acknowledge(int instrument);

    // An instrument row's mark changed; the alerts changed (the chart shows their levels).
    std::function<void(int instrument)> rowMarkChanged;
    std::function<void()> alertsChanged;

  private:
    void save();

    TradingData& data_;
    Prompts& prompts_;
    Sound& sound_;
    Label& statusLine_;
    const Settings& settings_;
    const WorkingDirectory& folder_;
    FailureLog& log_;
};

} // namespace kavex
