#pragma once
// The input dialog "Eingabe Gewinnmitnahme Stoploss" (Eingabe): edits the bracket preset
// of one instrument, the profit-taking and stop-loss values and how they are read. A
// headless model; a DialogHost shows it modally.
#include "base/text_list.h"

#include <array>

namespace kavex {

class Prompts;
struct BracketPreset;

class BracketPresetDialog {
  public:
    static constexpr const char* kCaption = "Eingabe Gewinnmitnahme Stoploss";
    static constexpr const char* kProfitCaption = "Gewinnmitnahme:";
    static constexpr const char* kStopCaption = "Stoploss";
    static constexpr const char* kOkCaption = "OK";
    static constexpr const char* kCancelCaption = "Abbrechen";
    // Option n sets preset mode n.
    static constexpr std::array<const char*, 3> kOptions = {
        "Kurse direkt eingeben", "Offset zum momentanen Kurs", "Offset zum Ausführungskurs"};
    static constexpr const char* kZeroRefused = "Bitte tragen Sie einen anderen Limitkurs als Null ein !";

    explicit BracketPresetDialog(Prompts& prompts) : prompts_(prompts) {}

    // Shows `preset` (which must outlive the dialog's use) and makes the dialog visible.
    void open(BracketPreset& preset);
    // Choosing an option changes the preset's mode at once.
    void chooseOption(int mode);
    // The OK button, and closing the window by its own control: stores both fields and
    // the mode, and closes unless a value is 0.
    void confirm();
    // "Abbrechen": closes and leaves the preset as it was; the bracket is not created.
    void cancel();
    bool cancelled() const { return cancelled_; }

    // -1 when the preset's mode is none of the options.
    int selectedOption() const { return selected_; }

    Label heading, profitField, stopField;
    CheckBox visible;

  private:
    Prompts& prompts_;
    BracketPreset* preset_ = nullptr;
    int selected_ = -1;
    bool cancelled_ = false;
};

} // namespace kavex
