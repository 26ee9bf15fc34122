#include "community/client_files.h"

#include "base/fixed_text.h"
#include "community/file_transfer.h"
#include "model/extra_settings.h"
#include "model/price_alerts.h"
#include "model/settings_file.h"

#include <algorithm>
#include <string>

namespace kavex {
namespace {

bool isPriceHistoryName(std::string_view upper) {
    // "K" + instrument number + ".dat"
    if (!upper.starts_with('K') || !upper.ends_with(".DAT") || upper.size() <= 5) return false;
    std::string_view digits = upper.substr(1, upper.size() - 5);
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

bool isClientFileName(std::string_view name) {
    const std::string upper = upperAscii(name);
    for (const char* own : {SettingsFile::kSettingsName, SettingsFile::kPresetName, ExtraSettings::kFileName,
                            PriceAlerts::kFileName, FileTransfer::kSpoolFile, "kavex.dat", "tmp.gif"})
        if (upper == upperAscii(own)) return true;
    for (const char* extension : {".COL", ".WAV", ".EXE"})
        if (upper.ends_with(extension)) return true;
    // The order journal and its older files.
    if (upper.starts_with("KAVEX.JOURNAL.")) return true;
    return upper.starts_with("KAVEXREM.") || isPriceHistoryName(upper);
}

bool isReceivableFileName(std::string_view name) {
    return isPlainFileName(name) && !isClientFileName(name);
}

} // namespace kavex
