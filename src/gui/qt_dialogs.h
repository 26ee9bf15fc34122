#pragma once
// Modal dialogs on Qt: the user/password, autostart and bracket preset dialogs over
// their headless models.
#include "views/login_dialogs.h"

class QWidget;

namespace kavex {

class QtDialogHost : public DialogHost {
  public:
    explicit QtDialogHost(QWidget* parent = nullptr) : parent_(parent) {}
    void runModal(CredentialsDialog& dialog) override;
    void runModal(AutostartDialog& dialog) override;
    void runModal(BracketPresetDialog& dialog) override;

  private:
    QWidget* parent_;
};


} // namespace kavex
