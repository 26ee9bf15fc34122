#include "views/bracket_preset_dialog.h"

#include "base/numbers.h"
#include "model/bracket_preset.h"
#include "platform/services.h"
#include "views/login_dialogs.h"

#include <cmath>

namespace kavex {

// A host that has no window for the preset dialog closes it as it was opened.
void DialogHost::runModal(BracketPresetDialog& dialog) {
    dialog.confirm();
}

void BracketPresetDialog::open(BracketPreset& preset) {
    preset_ = &preset;
    cancelled_ = false;
    const int mode = static_cast<int>(preset.presetMode);
    selected_ = preset.presetMode == static_cast<float>(mode) && mode >= 0 && mode <= 2 ? mode : -1;
    heading.setText(preset.presetName);
    // Offsets to the fill price are negative limits; the other modes show the magnitude.
    auto shown = [&](float v) { return strSingle(mode == 2 ? -std::fabs(v) : std::fabs(v)); };
    profitField.setText(shown(preset.profitValue));
    stopField.setText(shown(preset.stopValue));
    visible.setChecked(true);
}

void BracketPresetDialog::chooseOption(int mode) {
    if (preset_ == nullptr || mode < 0 || mode >= static_cast<int>(kOptions.size())) return;
    selected_ = mode;
    preset_->presetMode = static_cast<float>(mode);
}

void BracketPresetDialog::confirm() {
    if (preset_ == nullptr) {
        visible.setChecked(false);
        return;
    }
    preset_->profitValue = parseSingle(decimalCommaToPoint(profitField.text()));
    preset_->stopValue = parseSingle(decimalCommaToPoint(stopField.text()));
    if (selected_ >= 0) preset_->presetMode = static_cast<float>(selected_);
    if (preset_->profitValue == 0 || preset_->stopValue == 0) {
        prompts_.message(kZeroRefused);
        return;
    }
    visible.setChecked(false);
}

void BracketPresetDialog::cancel() {
    cancelled_ = true;
    visible.setChecked(false);
}

} // namespace kavex
