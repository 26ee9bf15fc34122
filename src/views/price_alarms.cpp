#include "views/price_alarms.h"

#include "base/failure.h"
#include "base/files.h"
#include "base/numbers.h"
#include "base/text_list.h"
#include "model/settings_file.h"
#include "model/trading_data.h"
#include "platform/services.h"

namespace kavex {
namespace {

constexpr const char* kTag = "Alarm ";

} // namespace

PriceAlarms::PriceAlarms(TradingData& data, Prompts& prompts, Sound& sound, Label& statusLine,
                         const Settings& settings, const WorkingDirectory& folder, FailureLog& log)
    : data_(data), prompts_(prompts), sound_(sound), statusLine_(statusLine), settings_(settings),
      folder_(folder), log_(log) {}

void PriceAlarms::load() {
    data_.alerts.load(folder_.path(PriceAlerts::kFileName), log_);
}

void PriceAlarms::save() {
    guard(log_, kTag, [&] { data_.alerts.save(folder_.path(PriceAlerts::kFileName)); });
    if (alertsChanged) alertsChanged();
}

void PriceAlarms::askLevel(int instrument) {
    std::string ticker;
    float last = 0;
    guard(log_, kTag, [&] {
        ticker = data_.instruments.at(instrument).Ticker;
        last = data_.instruments.at(instrument).Last;
    });
    if (ticker.empty()) return;
    const PriceAlert* current = data_.alerts.find(ticker);
    const std::optional<std::string> answer =
        prompts_.askText("Alarm bei Kurs für " + ticker + " (Last " + strSingleTrimmed(last) + "):",
                         strSingleTrimmed(current ? current->level : last));
    if (!answer) return;
    // The box was modal: the instrument is found again by its ticker.
    const int now = data_.instruments.findByTicker(ticker);
    if (now == 0) return;
    if (trimBlanks(*answer).empty()) {
        data_.alerts.remove(ticker);
    } else {
        const std::optional<float> level = parseAlertLevel(*answer);
        if (!level) {
            prompts_.message("Kein gültiger Kurs: " + *answer);
            return;
        }
        data_.alerts.set(ticker, *level, data_.instruments.at(now).Last);
    }
    save();
}

void PriceAlarms::check() {
    if (data_.alerts.all().empty()) return;
    const std::vector<PriceAlert> reached = data_.alerts.takeReached(data_.instruments);
    if (reached.empty()) return;
    for (const PriceAlert& a : reached) {
        const int n = data_.instruments.findByTicker(a.ticker);
        statusLine_.setText("Alarm " + a.ticker + ": Last " + strSingleTrimmed(data_.instruments.at(n).Last) +
                            (a.above ? " über " : " unter ") + strSingleTrimmed(a.level));
        if (rowMarkChanged) rowMarkChanged(n);
    }
    sound_.play(settings_.soundFile.empty() ? kAlertSound : settings_.soundFile);
    save();
}

void PriceAlarms::acknowledge(int instrument) {
    if (!data_.instruments.valid(instrument)) return;
    const std::string& ticker = data_.instruments.at(instrument).Ticker;
    if (!data_.alerts.marked(ticker)) return;
    data_.alerts.unmark(ticker);
    if (rowMarkChanged) rowMarkChanged(instrument);
}

} // namespace kavex
