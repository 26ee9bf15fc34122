#pragma once
// The window of the preset dialog "Eingabe Gewinnmitnahme Stoploss" over its headless
// model. Closing it by any means (OK, Escape, the window's own control) stores the
// values; the model may refuse, and the window then stays open.
#include <QDialog>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kavex {

class BracketPresetDialog;

class BracketPresetDialogQt : public QDialog {
  public:
    // The model must have been opened on a preset.
    explicit BracketPresetDialogQt(BracketPresetDialog& model, QWidget* parent = nullptr);

    // Shows the model's dialog modally and returns once the model has closed; what a
    // DialogHost's runModal for this dialog does.
    static void run(BracketPresetDialog& model, QWidget* parent = nullptr);

    QLineEdit* profitEdit() const { return profit_; }
    QLineEdit* stopEdit() const { return stop_; }
    QButtonGroup* options() const { return options_; }
    QPushButton* okButton() const { return ok_; }
    QLabel* heading() const { return heading_; }

    void done(int result) override;

  private:
    BracketPresetDialog& model_;
    QLabel* heading_ = nullptr;
    QButtonGroup* options_ = nullptr;
    QLineEdit* profit_ = nullptr;
    QLineEdit* stop_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace kavex
