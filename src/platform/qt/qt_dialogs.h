#pragma once
// Modal dialogs and message boxes on Qt: the user/password and autostart dialogs over
// their headless models, and the Prompts interface on QMessageBox / QColorDialog.
#include "dialogs/login_dialogs.h"
#include "platform/services.h"

class QWidget;

namespace kavex {

class QtDialogHost : public DialogHost {
  public:
    explicit QtDialogHost(QWidget* parent = nullptr) : parent_(parent) {}
    void runModal(GibPW& dialog) override;
    void runModal(FTimer& dialog) override;
    void runModal(BracketPresetDialog& dialog) override;

  private:
    QWidget* parent_;
};

class QtPrompts : public Prompts {
  public:
    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void message(const std::string& text, const std::string& caption = {}) override;
    bool askYesNo(const std::string& text, const std::string& caption = {}) override;
    bool chooseColour(int& colour) override;

  private:
    QWidget* parent_;
};

} // namespace kavex
